// Test support: one small database with a PGN for every field kind the decoder
// knows (strings of each form, repeating sets counted and open-ended, match values,
// indirect, bit and dynamic lookups, variable fields), and the promises every
// decode keeps whatever the payload: nothing read or pointed at outside the data.
#pragma once

#include <cstdint>
#include <cstdlib>

#include "n2k/pgn_decoder.h"
#include "pgn_tables_builder.h"

namespace testsupport {

constexpr std::uint32_t kSamplePgns[] = {1000, 1001, 1002, 1003, 1004, 1005, 65280};

inline n2k::PgnDatabase sampleDatabase() {
    Tables t;
    // Scalars of every width and sign, at odd bit positions.
    FieldDef lookup = t.field("mode", FieldType::Lookup, 3);
    lookup.lookup = t.lookup({{0, "Zero"}, {7, "Seven"}});
    lookup.maxValidRaw = 5;
    FieldDef bits = t.field("alarms", FieldType::BitLookup, 5);
    bits.lookup = t.lookup({{0, "Low"}, {4, "High"}}, &t.raw().bitLookups);
    FieldDef function = t.field("function", FieldType::IndirectLookup, 8);
    function.lookup = t.lookup({{130, "Gateway"}}, &t.raw().indirectLookups, 25);
    function.indirectFieldOrder = 5;
    t.pgn(1000, {lookup, bits, function, t.number("signed", 13, 0.01, true, 4000),
                 t.number("class", 7), t.field("name", FieldType::IsoName, 64),
                 t.field("real", FieldType::Float, 32), t.field("bcd", FieldType::Decimal, 40)});

    // Strings of each form between numbers.
    t.pgn(1001, {t.field("fix", FieldType::StringFix, 40), t.field("lau", FieldType::StringLau, 0),
                 t.number("between", 4), t.field("lz", FieldType::StringLz, 0),
                 t.field("lau2", FieldType::StringLau, 0)});

    // A counted set and an open-ended second set.
    n2k::PgnDef& sets = t.pgn(1002, {t.number("count", 4), t.number("n2", 4), t.number("a", 12),
                                     t.field("s", FieldType::StringLau, 0), t.number("b", 3)});
    sets.sets[0] = {3, 2, 1};
    sets.sets[1] = {5, 1, 0};

    // Binary whose length a field gives, and a variable field naming PGN 1000.
    FieldDef length = t.number("length", 8);
    FieldDef data = t.field("data", FieldType::Binary, 0);
    data.bitLengthField = 1;
    t.pgn(1003, {length, data, t.field("pgn", FieldType::Pgn, 24),
                 t.field("index", FieldType::FieldIndex, 8),
                 t.field("value", FieldType::Variable, 0), t.field("rest", FieldType::Binary, 0)});

    // Dynamic key, length and value.
    n2k::FieldTypeTable keys;
    keys.name = t.text("KEYS");
    keys.count = 2;
    t.raw().fieldTypeValues.push_back(
        {1, t.text("Depth"), t.text("m"), 0.01, 16, -1, FieldType::Number});
    t.raw().fieldTypeValues.push_back({2, t.text("Mode"), t.text(""), 1, 8, 0, FieldType::Lookup});
    t.raw().fieldTypeLookups.push_back(keys);
    FieldDef key = t.field("key", FieldType::DynamicFieldKey, 12);
    key.lookup = 0;
    n2k::PgnDef& dynamic = t.pgn(1004, {key, t.field("length", FieldType::DynamicFieldLength, 4),
                                        t.field("value", FieldType::DynamicFieldValue, 0)});
    dynamic.sets[0] = {1, 3, 0};

    // One byte-wide bit set repeated to the end: more values than a record holds.
    n2k::PgnDef& many = t.pgn(1005, {t.number("bit", 1)});
    many.sets[0] = {1, 1, 0};

    // Proprietary definitions told apart by match values, and the generic one.
    for (const std::int64_t maker : {135, 1857}) {
        FieldDef code = t.number("manufacturerCode", 11);
        code.hasMatch = true;
        code.match = maker;
        t.pgn(65280, {code, t.field("reserved", FieldType::Reserved, 2),
                      t.number("industryCode", 3), t.field("text", FieldType::StringLz, 0)});
    }
    n2k::PgnDef& generic =
        t.pgn(65280, {t.number("manufacturerCode", 11), t.field("data", FieldType::Binary, 0)});
    generic.fallback = true;
    return t.build();
}

// Aborts unless every value of the record lies inside the message and every text
// inside the message or the database.
inline void checkRecord(const n2k::PgnDatabase& db, const n2k::Message& m,
                        const n2k::DecodedPgn& d) {
    const std::string_view databaseText = db.allText();
    const auto fail = [] { std::abort(); };
    if (d.count < 0 || d.count > n2k::DecodedPgn::kMaxValues ||
        (d.definition == nullptr && d.count != 0)) {
        fail();
    }
    const std::uint64_t endBit = static_cast<std::uint64_t>(m.length < 0 ? 0 : m.length) * 8;
    const auto inside = [](std::string_view part, const void* begin, std::size_t size) {
        const auto* b = static_cast<const char*>(begin);
        return part.empty() || (part.data() >= b && part.data() + part.size() <= b + size);
    };
    for (int i = 0; i < d.count; ++i) {
        const n2k::FieldValue& v = d.values[i];
        if (v.field == nullptr || std::uint64_t{v.bitOffset} + v.bitLength > endBit) {
            fail();
        }
        for (const std::string_view text : {v.text, v.unit}) {
            if (!inside(text, m.data, static_cast<std::size_t>(m.length)) &&
                !inside(text, databaseText.data(), databaseText.size())) {
                fail();
            }
        }
    }
}

}  // namespace testsupport
