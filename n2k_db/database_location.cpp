#include "n2k_db/database_location.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace n2kdb {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kFileName = "canboat.json";

std::string runningExecutable() {
    char buffer[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

}  // namespace

std::string pgnDatabasePath(std::string_view executablePath, std::string_view dataFromBinDir,
                            const char* environmentValue) {
    if (environmentValue != nullptr && *environmentValue != '\0') {
        return environmentValue;
    }
    const fs::path folder = fs::path(executablePath).parent_path();
    const fs::path beside = folder / kFileName;
    std::error_code error;
    if (fs::exists(beside, error)) {
        return beside.string();
    }
    return (folder / dataFromBinDir / kFileName).lexically_normal().string();
}

std::string pgnDatabasePath() {
    return pgnDatabasePath(runningExecutable(), TIDEWRIGHT_PGN_DATA_FROM_BINDIR,
                           std::getenv(kPgnDatabaseVariable));
}

}  // namespace n2kdb
