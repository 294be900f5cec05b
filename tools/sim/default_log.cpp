#include "default_log.h"

#include <unistd.h>

namespace sim {

namespace {

constexpr std::string_view kFileName = "default.nmea";

std::string runningExecutable() {
    char buffer[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

}  // namespace

std::string defaultLogPath(std::string_view executablePath, std::string_view dataFromBinDir) {
    const std::string_view::size_type slash = executablePath.rfind('/');
    const std::string folder(slash == std::string_view::npos ? std::string_view()
                                                             : executablePath.substr(0, slash + 1));
    std::string beside = folder + std::string(kFileName);
    if (::access(beside.c_str(), F_OK) == 0) {
        return beside;
    }
    std::string installed = folder + std::string(dataFromBinDir);
    if (!installed.empty() && installed.back() != '/') {
        installed += '/';
    }
    return installed + std::string(kFileName);
}

std::string defaultLogPath() {
    return defaultLogPath(runningExecutable(), TIDEWRIGHT_SIM_DATA_FROM_BINDIR);
}

}  // namespace sim
