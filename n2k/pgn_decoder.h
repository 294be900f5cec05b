// Decodes whole PGNs with the loaded database: picks the definition (match values
// choose among a proprietary PGN's several), then walks its fields in order into a
// fixed record that the writers (named JSON, readable rows) walk in turn. Nothing is
// allocated; nothing is read past the message's length.
#pragma once

#include <cstdint>
#include <string_view>

#include "n2k/message.h"
#include "n2k/pgn_database.h"

namespace n2k {

enum class ValueKind : std::uint8_t {
    Missing,   // "no data", error or reserved value, or a field cut short by the data's end
    Number,    // `number` in the field's unit (resolution and offset applied)
    Unsigned,  // `raw` as a whole number: ISO NAME, PGN, BCD digits, an unnamed lookup value
    Name,      // `text`: a lookup name from the database; `raw` holds the key
    Bits,      // a bit lookup: the set bits in `raw`, named by bitLookupName
    Text,      // `text`: a string's bytes inside the message (ASCII or UTF-8)
    Utf16,     // `text`: a string's bytes inside the message, UTF-16 little endian
    Bytes,     // `bitOffset`/`bitLength`: binary data, reserved or spare bits
};

struct FieldValue {
    const FieldDef* field = nullptr;
    ValueKind kind = ValueKind::Missing;
    std::uint8_t set = 0;    // 0: a field outside the repeating sets; 1 or 2: the set
    std::uint16_t item = 0;  // the repetition within its set, from 0
    double number = 0;
    std::uint64_t raw = 0;
    std::string_view text;
    std::string_view unit;  // the field's, or a dynamic field's own
    std::uint32_t bitOffset = 0;
    std::uint32_t bitLength = 0;
};

// One decoded PGN. Values point into the database and into the message, so the
// record is good while both are.
struct DecodedPgn {
    static constexpr int kMaxValues = 320;

    // nullptr: the database lacks the PGN; shown raw and counted as unknown.
    const PgnDef* definition = nullptr;
    int count = 0;
    bool truncated = false;  // more values than kMaxValues; the rest were not decoded
    FieldValue values[kMaxValues];
};

class PgnDecoder {
public:
    explicit PgnDecoder(const PgnDatabase& database) : db_(database) {}

    // The definition that fits the message: the first whose match values agree with
    // the data, else the PGN's generic fallback; nullptr when the database lacks it.
    const PgnDef* select(const Message& message) const;

    void decode(const Message& message, DecodedPgn& out);

    std::uint64_t decodedCount() const { return decoded_; }
    std::uint64_t unknownCount() const { return unknown_; }
    const PgnDatabase& database() const { return db_; }

private:
    const PgnDatabase& db_;
    std::uint64_t decoded_ = 0;
    std::uint64_t unknown_ = 0;
};

// The bits [bitOffset, bitOffset + bitLength) of `data` as a little-endian unsigned
// number; bitLength at most 64, and the caller keeps the bits inside the data.
std::uint64_t readBits(const std::uint8_t* data, std::uint32_t bitOffset, std::uint32_t bitLength);

}  // namespace n2k
