// docs/n2k.md: every PGN definition of the loaded database with its fields, as the
// decoder and the named output read them. A test compares the file in the repository
// with this text, so the document cannot fall behind the database.
#pragma once

#include <string>

#include "n2k/pgn_database.h"

namespace present {

std::string n2kDocument(const n2k::PgnDatabase& database);

}  // namespace present
