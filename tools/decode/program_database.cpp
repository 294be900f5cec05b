#include "program_database.h"

#include <QString>
#include <cstdio>

#include "n2k_db/database_loader.h"

namespace decode {

const n2k::PgnDatabase* programPgnDatabase() {
    static n2k::PgnDatabase database;
    static const bool loaded = [] {
        QString error;
        if (!n2kdb::loadProgramPgnDatabase(database, error)) {
            std::fprintf(stderr, "tidewright-decode: NMEA 2000 PGNs are written raw: %s\n",
                         qPrintable(error));
            return false;
        }
        return true;
    }();
    return loaded ? &database : nullptr;
}

}  // namespace decode
