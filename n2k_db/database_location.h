// Where the programs find the PGN database: the file the environment names, else
// canboat.json beside the program (the build tree), else in the installed data
// directory reached from the program's folder (../share/tidewright/).
#pragma once

#include <string>
#include <string_view>

namespace n2kdb {

// The environment variable that names the database file, for a database of one's own.
constexpr const char* kPgnDatabaseVariable = "TIDEWRIGHT_PGN_DATABASE";

// The first of the places above that holds the file; when none does, the installed
// place, so that a message about the missing file names a plain path.
std::string pgnDatabasePath(std::string_view executablePath, std::string_view dataFromBinDir,
                            const char* environmentValue);

// The same for the running program.
std::string pgnDatabasePath();

}  // namespace n2kdb
