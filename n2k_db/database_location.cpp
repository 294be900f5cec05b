#include "n2k_db/database_location.h"

#include <cstdlib>

#include "data_files/data_file.h"

namespace n2kdb {

std::string pgnDatabasePath(std::string_view executablePath, std::string_view dataFromBinDir,
                            const char* environmentValue) {
    if (environmentValue != nullptr && *environmentValue != '\0') {
        return environmentValue;
    }
    return datafiles::dataFilePath(executablePath, dataFromBinDir, "canboat.json");
}

std::string pgnDatabasePath() {
    return pgnDatabasePath(datafiles::runningExecutable(), TIDEWRIGHT_PGN_DATA_FROM_BINDIR,
                           std::getenv(kPgnDatabaseVariable));
}

}  // namespace n2kdb
