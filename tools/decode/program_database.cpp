#include "program_database.h"

#include "n2k_db/database_loader.h"

namespace decode {

const n2k::PgnDatabase* programPgnDatabase() {
    return n2kdb::programPgnDatabaseOrSay("tidewright-decode");
}

}  // namespace decode
