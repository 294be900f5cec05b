// The loaded PGN tables as a compact image: what the JSON database becomes once read,
// kept beside it so that a program starts without parsing two megabytes of JSON. The
// image names the JSON it was made from (size and a hash of its bytes), so an edited
// or replaced database is never paired with a stale image. Numbers are written
// little-endian, member by member, so the image is the same on every machine and
// every build of it is byte-identical.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "n2k/pgn_database.h"

namespace n2k {

// A 64-bit hash of the database's bytes: what ties an image to its JSON.
std::uint64_t databaseHash(std::string_view json);

// The image of `tables`, made from a JSON text of `jsonSize` bytes and `jsonHash`.
std::string writeTablesImage(const PgnTables& tables, std::uint64_t jsonSize,
                             std::uint64_t jsonHash);

// Reads an image back. False, with `out` unspecified, when it is not an image of this
// format, was made from another JSON text, is cut short, or its tables fail
// checkTables(): the caller then reads the JSON.
bool readTablesImage(std::string_view image, std::uint64_t jsonSize, std::uint64_t jsonHash,
                     PgnTables& out);

}  // namespace n2k
