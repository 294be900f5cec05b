#include "data_files/data_file.h"

#include <unistd.h>

#include <filesystem>

namespace datafiles {

namespace fs = std::filesystem;

std::string dataFilePath(std::string_view executablePath, std::string_view dataFromBinDir,
                         std::string_view fileName) {
    const fs::path folder = fs::path(executablePath).parent_path();
    const fs::path beside = folder / fileName;
    std::error_code error;
    if (fs::exists(beside, error)) {
        return beside.string();
    }
    return (folder / dataFromBinDir / fileName).lexically_normal().string();
}

std::string runningExecutable() {
    char buffer[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

}  // namespace datafiles
