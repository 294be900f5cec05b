#include "default_log.h"

#include "data_files/data_file.h"

namespace sim {

std::string defaultLogPath(std::string_view executablePath, std::string_view dataFromBinDir) {
    return datafiles::dataFilePath(executablePath, dataFromBinDir, "default.nmea");
}

std::string defaultLogPath() {
    return defaultLogPath(datafiles::runningExecutable(), TIDEWRIGHT_SIM_DATA_FROM_BINDIR);
}

std::string defaultN2kLogPath() {
    return datafiles::dataFilePath(datafiles::runningExecutable(), TIDEWRIGHT_SIM_DATA_FROM_BINDIR,
                                   "default.n2k");
}

}  // namespace sim
