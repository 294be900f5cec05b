#include "default_log.h"

#include <unistd.h>

#include <filesystem>

namespace sim {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kFileName = "default.nmea";

std::string runningExecutable() {
    char buffer[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

}  // namespace

std::string defaultLogPath(std::string_view executablePath, std::string_view dataFromBinDir) {
    const fs::path folder = fs::path(executablePath).parent_path();
    const fs::path beside = folder / kFileName;
    std::error_code error;
    if (fs::exists(beside, error)) {
        return beside.string();
    }
    // Normalised, so that a message about a missing log names a plain path.
    return (folder / dataFromBinDir / kFileName).lexically_normal().string();
}

std::string defaultLogPath() {
    return defaultLogPath(runningExecutable(), TIDEWRIGHT_SIM_DATA_FROM_BINDIR);
}

}  // namespace sim
