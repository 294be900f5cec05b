#include "program_database.h"

#include <QString>
#include <cstdio>

#include "n2k_db/database_loader.h"

namespace decode {

const n2k::PgnDatabase* programPgnDatabase() {
    QString error;
    const n2k::PgnDatabase* database = n2kdb::programPgnDatabase(error);
    static bool said = false;
    if (database == nullptr && !said) {
        said = true;
        std::fprintf(stderr, "tidewright-decode: NMEA 2000 PGNs are written raw: %s\n",
                     qPrintable(error));
    }
    return database;
}

}  // namespace decode
