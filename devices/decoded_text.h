// A decoded PGN's field, found by its database id ("modelId", "manufacturerCode"), as
// plain text: lookup values by name, strings without their padding, numbers as the
// database gives them. For views that pick a few fields of a known PGN.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "n2k/pgn_decoder.h"

namespace devices {

// The first field (outside repeating sets) with that id; nullptr when there is none.
const n2k::FieldValue* findField(const n2k::DecodedPgn& decoded, const n2k::PgnDatabase& database,
                                 std::string_view id);

// Its text; empty for a missing value, binary data or a field the PGN lacks.
std::string fieldText(const n2k::DecodedPgn& decoded, const n2k::PgnDatabase& database,
                      std::string_view id);

// Its whole-number value (raw key of a lookup, number rounded); nullopt when missing.
std::optional<std::uint64_t> fieldNumber(const n2k::DecodedPgn& decoded,
                                         const n2k::PgnDatabase& database, std::string_view id);

}  // namespace devices
