// The database-driven decoder on small hand-made databases: each field kind, the
// choice among several definitions of one PGN, repeating sets, strings, missing
// values, unknown PGNs and payloads shorter than their definitions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include "n2k/pgn_decoder.h"
#include "pgn_tables_builder.h"
#include "sample_database.h"

namespace {

using n2k::FieldDef;
using n2k::FieldType;
using n2k::ValueKind;
using testsupport::Tables;

std::unique_ptr<n2k::Message> message(std::uint32_t pgn, std::vector<std::uint8_t> bytes) {
    auto m = std::make_unique<n2k::Message>();
    m->pgn = pgn;
    m->length = static_cast<int>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), m->data);
    return m;
}

struct Decoded {
    std::unique_ptr<n2k::DecodedPgn> record = std::make_unique<n2k::DecodedPgn>();
    const n2k::FieldValue& operator[](int i) const { return record->values[i]; }
    int count() const { return record->count; }
};

Decoded decode(const n2k::PgnDatabase& db, const n2k::Message& m) {
    Decoded d;
    n2k::PgnDecoder decoder(db);
    decoder.decode(m, *d.record);
    return d;
}

// ---------------------------------------------------------------------------------

TEST(ReadBits, AgreesWithBitByBitReading) {
    std::mt19937 random(7);
    std::uint8_t data[16];
    for (int round = 0; round < 2000; ++round) {
        for (auto& b : data) {
            b = static_cast<std::uint8_t>(random());
        }
        const std::uint32_t length = 1 + random() % 64;
        const std::uint32_t offset = random() % (128 - length + 1);
        std::uint64_t expected = 0;
        for (std::uint32_t i = 0; i < length; ++i) {
            const std::uint32_t bit = offset + i;
            expected |= std::uint64_t{(data[bit / 8] >> (bit % 8)) & 1u} << i;
        }
        ASSERT_EQ(n2k::readBits(data, offset, length), expected) << offset << "+" << length;
    }
}

struct NumberCase {
    const char* name;
    std::uint32_t bits;
    double resolution;
    bool isSigned;
    std::uint64_t maxValidRaw;
    std::vector<std::uint8_t> bytes;
    ValueKind kind;
    double value;
};

TEST(Decoder, NumbersScaledSignedAndMissing) {
    const NumberCase cases[] = {
        {"unsigned 16 scaled", 16, 0.01, false, 65532, {0x31, 0x75}, ValueKind::Number, 300.01},
        {"signed 16 negative", 16, 0.0001, true, 32764, {0x9C, 0xFF}, ValueKind::Number, -0.01},
        {"signed 32 position",
         32,
         1e-7,
         true,
         900000000,
         {0x87, 0x1C, 0xD6, 0x23},
         ValueKind::Number,
         60.1234567},
        {"unsigned all ones: no data", 16, 0.01, false, 65532, {0xFF, 0xFF}, ValueKind::Missing, 0},
        {"unsigned error value", 16, 0.01, false, 65532, {0xFE, 0xFF}, ValueKind::Missing, 0},
        {"unsigned top valid value",
         16,
         0.01,
         false,
         65532,
         {0xFC, 0xFF},
         ValueKind::Number,
         655.32},
        {"signed positive maximum: no data",
         16,
         1,
         true,
         32765,
         {0xFF, 0x7F},
         ValueKind::Missing,
         0},
        {"signed all ones is minus one", 16, 1, true, 32765, {0xFF, 0xFF}, ValueKind::Number, -1},
        {"one bit set is a value", 1, 1, false, 1, {0x01}, ValueKind::Number, 1},
        {"8-bit reserved top", 8, 1, false, 252, {0xFD}, ValueKind::Missing, 0},
        {"64-bit latitude at 1e-16",
         64,
         1e-16,
         true,
         ~std::uint64_t{0} >> 2,
         {0x00, 0x1C, 0x92, 0xAE, 0x07, 0x56, 0x61, 0x07},
         ValueKind::Number,
         53.1800822},
    };
    for (const NumberCase& c : cases) {
        Tables t;
        t.pgn(1000, {t.number("x", c.bits, c.resolution, c.isSigned, c.maxValidRaw)});
        const auto db = t.build();
        const auto d = decode(db, *message(1000, c.bytes));
        ASSERT_EQ(d.count(), 1) << c.name;
        EXPECT_EQ(d[0].kind, c.kind) << c.name;
        if (c.kind == ValueKind::Number) {
            EXPECT_DOUBLE_EQ(d[0].number, c.value) << c.name;
        }
    }
}

TEST(Decoder, FieldsAtOddBitPositionsWithOffsetAndUnit) {
    Tables t;
    FieldDef low = t.number("low", 3);
    FieldDef mid = t.number("mid", 13, 0.5, true);
    mid.offset = 10;
    mid.unit = t.text("m");
    FieldDef wide = t.field("name", FieldType::IsoName, 64);
    t.pgn(1000, {low, mid, wide});
    const auto db = t.build();
    // low = 5; mid = -3 (13-bit two's complement) -> -1.5 + 10.
    const std::uint16_t packed = static_cast<std::uint16_t>(5 | ((0x2000 - 3) << 3));
    const auto d = decode(
        db, *message(1000, {static_cast<std::uint8_t>(packed & 0xFF),
                            static_cast<std::uint8_t>(packed >> 8), 1, 2, 3, 4, 5, 6, 7, 0x80}));
    ASSERT_EQ(d.count(), 3);
    EXPECT_EQ(d[0].number, 5);
    EXPECT_DOUBLE_EQ(d[1].number, 8.5);
    EXPECT_EQ(d[1].unit, "m");
    EXPECT_EQ(d[1].bitOffset, 3u);
    EXPECT_EQ(d[2].kind, ValueKind::Unsigned);
    EXPECT_EQ(d[2].raw, 0x8007060504030201u);
}

TEST(Decoder, LookupsPlainIndirectAndBits) {
    Tables t;
    FieldDef plain = t.field("mode", FieldType::Lookup, 4);
    plain.lookup = t.lookup({{1, "One"}, {15, "Named top"}});
    plain.maxValidRaw = 13;
    FieldDef plain2 = plain;
    plain2.id = t.text("mode2");
    FieldDef cls = t.field("class", FieldType::Number, 8);
    FieldDef function = t.field("function", FieldType::IndirectLookup, 8);
    std::vector<n2k::LookupTable>& indirect = t.raw().indirectLookups;
    function.lookup = t.lookup({{130, "Gateway"}}, &indirect, 25);
    function.indirectFieldOrder = 3;
    FieldDef bits = t.field("alarms", FieldType::BitLookup, 8);
    bits.lookup = t.lookup({{0, "Low"}, {3, "High"}}, &t.raw().bitLookups);
    FieldDef unnamed = plain;
    unnamed.id = t.text("mode3");
    FieldDef missing = plain;
    missing.id = t.text("mode4");
    t.pgn(1000, {plain, plain2, cls, function, bits, unnamed, missing});
    // A table of its own for the second plain field: the first one's.
    const auto db = t.build();
    // mode=1 mode2=15 | class=25 | function=130 | alarms=0b1001 | mode3=2 mode4=14
    const auto d = decode(db, *message(1000, {0xF1, 25, 130, 0x09, 0xE2}));
    ASSERT_EQ(d.count(), 7);
    EXPECT_EQ(d[0].kind, ValueKind::Name);
    EXPECT_EQ(d[0].text, "One");
    EXPECT_EQ(d[1].text, "Named top") << "a name given to the top value wins over 'no data'";
    EXPECT_EQ(d[3].text, "Gateway");
    EXPECT_EQ(d[4].kind, ValueKind::Bits);
    EXPECT_EQ(d[4].raw, 9u);
    EXPECT_EQ(db.bitLookupName(d[4].field->lookup, 3), "High");
    EXPECT_EQ(d[5].kind, ValueKind::Unsigned) << "a value without a name stays a number";
    EXPECT_EQ(d[5].raw, 2u);
    EXPECT_EQ(d[6].kind, ValueKind::Missing);
}

// Unnamed, the top two values of a lookup are unknown and error; a bit lookup with
// no flag set says nothing either.
TEST(Decoder, LookupValuesThatMeanNoData) {
    Tables t;
    FieldDef two = t.field("two", FieldType::Lookup, 2);
    two.lookup = t.lookup({{0, "No"}, {1, "Yes"}});
    FieldDef flags = t.field("flags", FieldType::BitLookup, 6);
    flags.lookup = t.lookup({{0, "Low"}}, &t.raw().bitLookups);
    t.pgn(1000, {two, flags});
    const auto db = t.build();
    const struct {
        std::uint8_t byte;
        ValueKind two;
        ValueKind flags;
    } cases[] = {
        {0b000001'01, ValueKind::Name, ValueKind::Bits},
        {0b000000'10, ValueKind::Missing, ValueKind::Missing},
        {0b000000'11, ValueKind::Missing, ValueKind::Missing},
    };
    for (const auto& c : cases) {
        const auto d = decode(db, *message(1000, {c.byte}));
        ASSERT_EQ(d.count(), 2);
        EXPECT_EQ(d[0].kind, c.two) << int{c.byte};
        EXPECT_EQ(d[1].kind, c.flags) << int{c.byte};
    }
}

TEST(Decoder, Strings) {
    Tables t;
    FieldDef fixed = t.field("fixed", FieldType::StringFix, 48);
    FieldDef lau = t.field("lau", FieldType::StringLau, 0);
    FieldDef wide = t.field("wide", FieldType::StringLau, 0);
    FieldDef lz = t.field("lz", FieldType::StringLz, 0);
    FieldDef empty = t.field("empty", FieldType::StringFix, 16);
    FieldDef after = t.number("after", 8);
    t.pgn(1000, {fixed, lau, wide, lz, empty, after});
    const auto db = t.build();
    // Text values point into the message: it must outlive the record.
    const auto m = message(1000, {'A',  'B',  'C', '@', ' ', 0xFF,  //
                                  5,    1,    'x', 'y', 'z',        //
                                  6,    0,    'h', 0,   'i', 0,     //
                                  2,    'o',  'k', 0,               //
                                  0xFF, 0x00,                       //
                                  42});
    const auto d = decode(db, *m);
    ASSERT_EQ(d.count(), 6);
    EXPECT_EQ(d[0].text, "ABC");
    EXPECT_EQ(d[1].kind, ValueKind::Text);
    EXPECT_EQ(d[1].text, "xyz");
    EXPECT_EQ(d[2].kind, ValueKind::Utf16);
    EXPECT_EQ(d[2].text, std::string_view("h\0i\0", 4));
    EXPECT_EQ(d[3].text, "ok");
    EXPECT_EQ(d[4].kind, ValueKind::Missing) << "padding alone is no text";
    EXPECT_EQ(d[5].number, 42) << "the walk continues after strings of varying length";
}

TEST(Decoder, StringLengthsThatLie) {
    Tables t;
    t.pgn(1000, {t.field("lau", FieldType::StringLau, 0), t.number("after", 8)});
    const auto db = t.build();
    // A length of 200 in a 4-byte payload: cut short, nothing read past the data.
    const auto longer = decode(db, *message(1000, {200, 1, 'a', 'b'}));
    ASSERT_EQ(longer.count(), 1);
    EXPECT_EQ(longer[0].kind, ValueKind::Missing);
    // A length below the two bytes it counts: an empty string, the walk goes on.
    const auto shorter = decode(db, *message(1000, {0, 1, 7}));
    ASSERT_EQ(shorter.count(), 2);
    EXPECT_EQ(shorter[0].kind, ValueKind::Missing);
    EXPECT_EQ(shorter[1].number, 7);
}

TEST(Decoder, RepeatingSetsByCountAndToTheEnd) {
    Tables t;
    FieldDef count = t.number("count", 8);
    FieldDef prn = t.number("prn", 8);
    FieldDef snr = t.number("snr", 8, 0.5);
    FieldDef tail = t.number("tail", 8);
    n2k::PgnDef& counted = t.pgn(1000, {count, prn, snr, tail});
    counted.sets[0] = {2, 2, 1};
    n2k::PgnDef& open = t.pgn(1001, {t.number("head", 8), t.number("v", 8)});
    open.sets[0] = {2, 1, 0};
    const auto db = t.build();

    const auto d = decode(db, *message(1000, {2, 7, 80, 9, 90, 0xAA}));
    ASSERT_EQ(d.count(), 6);
    EXPECT_EQ(d[1].set, 1);
    EXPECT_EQ(d[1].item, 0);
    EXPECT_EQ(d[3].item, 1);
    EXPECT_EQ(d[3].number, 9);
    EXPECT_EQ(d[4].number, 45);
    EXPECT_EQ(d[5].set, 0);
    EXPECT_EQ(d[5].number, 0xAA);

    // No repetitions at all, and a count that promises more than the data holds.
    EXPECT_EQ(decode(db, *message(1000, {0, 0xAA})).count(), 2);
    const auto cut = decode(db, *message(1000, {50, 1, 2, 3}));
    EXPECT_EQ(cut.count(), 4);

    const auto toEnd = decode(db, *message(1001, {1, 5, 6, 7}));
    ASSERT_EQ(toEnd.count(), 4);
    EXPECT_EQ(toEnd[3].item, 2);
}

TEST(Decoder, SecondRepeatingSet) {
    Tables t;
    n2k::PgnDef& p =
        t.pgn(1000, {t.number("n1", 8), t.number("n2", 8), t.number("a", 8), t.number("b", 8)});
    p.sets[0] = {3, 1, 1};
    p.sets[1] = {4, 1, 2};
    const auto db = t.build();
    const auto d = decode(db, *message(1000, {1, 2, 10, 20, 21}));
    ASSERT_EQ(d.count(), 5);
    EXPECT_EQ(d[2].set, 1);
    EXPECT_EQ(d[3].set, 2);
    EXPECT_EQ(d[4].item, 1);
    EXPECT_EQ(d[4].number, 21);
}

TEST(Decoder, TooManyValuesAreCutAtTheRecordsEnd) {
    Tables t;
    n2k::PgnDef& p = t.pgn(1000, {t.number("bit", 1)});
    p.sets[0] = {1, 1, 0};
    const auto db = t.build();
    std::vector<std::uint8_t> bytes(100, 0x55);
    const auto d = decode(db, *message(1000, bytes));
    EXPECT_EQ(d.count(), n2k::DecodedPgn::kMaxValues);
    EXPECT_TRUE(d.record->truncated);
}

TEST(Decoder, MatchValuesPickTheDefinition) {
    Tables t;
    const auto proprietary = [&](std::int64_t manufacturer, std::string_view field) {
        FieldDef maker = t.number("manufacturerCode", 11);
        maker.hasMatch = true;
        maker.match = manufacturer;
        FieldDef reserved = t.field("reserved", FieldType::Reserved, 2);
        FieldDef industry = t.number("industryCode", 3);
        industry.hasMatch = true;
        industry.match = 4;
        return std::vector<FieldDef>{maker, reserved, industry, t.number(field, 8)};
    };
    t.pgn(130820, proprietary(135, "fusion"));
    t.pgn(130820, proprietary(1857, "simrad"));
    n2k::PgnDef& generic = t.pgn(130820, {t.number("manufacturerCode", 11), t.number("data", 8)});
    generic.fallback = true;
    const auto db = t.build();
    n2k::PgnDecoder decoder(db);

    const auto code = [](unsigned maker, unsigned industry, std::uint8_t value) {
        const unsigned head = maker | (3u << 11) | (industry << 13);
        return std::vector<std::uint8_t>{static_cast<std::uint8_t>(head & 0xFF),
                                         static_cast<std::uint8_t>(head >> 8), value};
    };
    EXPECT_EQ(db.text(db.fields(*decoder.select(*message(130820, code(135, 4, 1))))[3].id),
              "fusion");
    EXPECT_EQ(db.text(db.fields(*decoder.select(*message(130820, code(1857, 4, 1))))[3].id),
              "simrad");
    // Another maker, or the right maker in another industry: the generic definition.
    EXPECT_TRUE(decoder.select(*message(130820, code(999, 4, 1)))->fallback);
    EXPECT_TRUE(decoder.select(*message(130820, code(135, 2, 1)))->fallback);
    // Too short to hold the match fields: no specific definition applies.
    EXPECT_TRUE(decoder.select(*message(130820, {0x87}))->fallback);
}

TEST(Decoder, UnknownPgnIsCountedAndHasNoValues) {
    Tables t;
    t.pgn(1000, {t.number("x", 8)});
    const auto db = t.build();
    n2k::PgnDecoder decoder(db);
    auto record = std::make_unique<n2k::DecodedPgn>();
    decoder.decode(*message(2000, {1, 2, 3}), *record);
    EXPECT_EQ(record->definition, nullptr);
    EXPECT_EQ(record->count, 0);
    decoder.decode(*message(1000, {1}), *record);
    EXPECT_NE(record->definition, nullptr);
    EXPECT_EQ(decoder.unknownCount(), 1u);
    EXPECT_EQ(decoder.decodedCount(), 1u);
}

TEST(Decoder, ShortPayloadsNeverReadPastTheData) {
    Tables t;
    t.pgn(1000, {t.number("a", 8), t.number("b", 16), t.number("c", 32),
                 t.field("bin", FieldType::Binary, 0)});
    const auto db = t.build();
    struct Case {
        std::vector<std::uint8_t> bytes;
        int count;
        ValueKind last;
    };
    const Case cases[] = {
        {{}, 0, ValueKind::Missing},
        {{1}, 1, ValueKind::Number},
        {{1, 2}, 2, ValueKind::Missing},  // b cut short
        {{1, 2, 3}, 2, ValueKind::Number},
        {{1, 2, 3, 4, 5}, 3, ValueKind::Missing},
        {{1, 2, 3, 4, 5, 6, 7}, 3, ValueKind::Number},
        {{1, 2, 3, 4, 5, 6, 7, 8, 9}, 4, ValueKind::Bytes},
    };
    for (const Case& c : cases) {
        const auto d = decode(db, *message(1000, c.bytes));
        ASSERT_EQ(d.count(), c.count) << c.bytes.size() << " bytes";
        if (c.count > 0) {
            EXPECT_EQ(d[c.count - 1].kind, c.last) << c.bytes.size() << " bytes";
            EXPECT_LE(d[c.count - 1].bitOffset + d[c.count - 1].bitLength, c.bytes.size() * 8);
        }
    }
    // A length beyond any payload is held to the largest one.
    auto hostile = message(1000, {1, 2, 3});
    hostile->length = 1 << 30;
    EXPECT_EQ(decode(db, *hostile).count(), 4);
    hostile->length = -5;
    EXPECT_EQ(decode(db, *hostile).count(), 0);
}

TEST(Decoder, BinaryWithLengthFieldDecimalAndFloat) {
    Tables t;
    FieldDef bits = t.number("bits", 8);
    FieldDef data = t.field("data", FieldType::Binary, 0);
    data.bitLengthField = 1;
    FieldDef bcd = t.field("address", FieldType::Decimal, 16);
    FieldDef real = t.field("salinity", FieldType::Float, 32);
    t.pgn(1000, {bits, data, bcd, real});
    const auto db = t.build();
    const auto d = decode(db, *message(1000, {12, 0xAB, 0x0C, 0x12, 0x34, 0x00, 0x00, 0x20, 0x41}));
    ASSERT_EQ(d.count(), 4);
    EXPECT_EQ(d[1].kind, ValueKind::Bytes);
    EXPECT_EQ(d[1].bitLength, 12u);
    // 12 bits of binary leave the BCD field at bit 20: not byte-aligned, kept as bytes.
    EXPECT_EQ(d[2].kind, ValueKind::Bytes);

    Tables aligned;
    aligned.pgn(1000, {aligned.field("address", FieldType::Decimal, 16),
                       aligned.field("salinity", FieldType::Float, 32)});
    const auto db2 = aligned.build();
    const auto e = decode(db2, *message(1000, {0x12, 0x34, 0x00, 0x00, 0x20, 0x41}));
    EXPECT_EQ(e[0].kind, ValueKind::Unsigned);
    EXPECT_EQ(e[0].raw, 1234u);
    EXPECT_EQ(e[1].number, 10.0);
    EXPECT_EQ(decode(db2, *message(1000, {0x1F, 0x34, 0, 0, 0xC0, 0x7F}))[0].kind,
              ValueKind::Missing);
    EXPECT_EQ(decode(db2, *message(1000, {0x12, 0x34, 0, 0, 0xC0, 0x7F}))[1].kind,
              ValueKind::Missing)
        << "NaN is no data";
}

TEST(Decoder, DynamicFieldsAndVariableFields) {
    Tables t;
    n2k::FieldTypeTable table;
    table.name = t.text("KEYS");
    t.raw().fieldTypeValues.push_back(
        {4, t.text("Depth"), t.text("m"), 0.01, 16, -1, FieldType::Number});
    table.count = 1;
    t.raw().fieldTypeLookups.push_back(table);
    FieldDef key = t.field("key", FieldType::DynamicFieldKey, 16);
    key.lookup = 0;
    FieldDef value = t.field("value", FieldType::DynamicFieldValue, 0);
    t.pgn(1000, {key, value});

    FieldDef pgn = t.field("pgn", FieldType::Pgn, 24);
    FieldDef index = t.field("index", FieldType::FieldIndex, 8);
    FieldDef variable = t.field("value", FieldType::Variable, 0);
    t.pgn(1001, {pgn, index, variable});
    t.pgn(1002, {t.number("first", 8), t.number("second", 16, 0.1)});
    const auto db = t.build();

    const auto d = decode(db, *message(1000, {4, 0, 0x10, 0x27}));
    ASSERT_EQ(d.count(), 2);
    EXPECT_EQ(d[0].text, "Depth");
    EXPECT_DOUBLE_EQ(d[1].number, 100.0);
    EXPECT_EQ(d[1].unit, "m");

    // The value takes the form of field 2 of PGN 1002: 16 bits at 0.1.
    const auto v = decode(db, *message(1001, {0xEA, 0x03, 0, 2, 0x0A, 0x00}));
    ASSERT_EQ(v.count(), 3);
    EXPECT_DOUBLE_EQ(v[2].number, 1.0);
    EXPECT_EQ(v[2].bitLength, 16u);
    // A reference to nothing known keeps the rest as bytes.
    const auto unknown = decode(db, *message(1001, {0x01, 0, 0, 9, 1, 2, 3}));
    ASSERT_EQ(unknown.count(), 3);
    EXPECT_EQ(unknown[2].kind, ValueKind::Bytes);
    EXPECT_EQ(unknown[2].bitLength, 24u);
}

// Whatever the bytes and the length, every value stays inside the data (the fuzz
// target checks the same promises with guided inputs).
TEST(Decoder, RandomPayloadsOfEveryKindStayInsideTheData) {
    const auto db = testsupport::sampleDatabase();
    n2k::PgnDecoder decoder(db);
    auto m = std::make_unique<n2k::Message>();
    auto record = std::make_unique<n2k::DecodedPgn>();
    std::mt19937 random(11);
    int truncated = 0;
    for (int round = 0; round < 20000; ++round) {
        m->pgn = testsupport::kSamplePgns[random() % std::size(testsupport::kSamplePgns)];
        m->length = static_cast<int>(random() % (round % 50 == 0 ? n2k::kMaxPayload + 1 : 40));
        for (int i = 0; i < m->length; ++i) {
            m->data[i] = static_cast<std::uint8_t>(random() % 4 == 0 ? 0xFF : random());
        }
        decoder.decode(*m, *record);
        testsupport::checkRecord(db, *m, *record);
        truncated += record->truncated ? 1 : 0;
    }
    EXPECT_GT(truncated, 0);
    EXPECT_EQ(decoder.unknownCount(), 0u);
}

TEST(CheckTables, FindsWhatTheDecoderWouldTripOver) {
    Tables t;
    FieldDef f = t.number("x", 8);
    f.bitLengthField = 1;  // itself
    t.pgn(1000, {f});
    EXPECT_NE(n2k::checkTables(t.raw()), "");

    Tables lookup;
    FieldDef l = lookup.field("l", FieldType::Lookup, 8);
    l.lookup = 3;
    lookup.pgn(1000, {l});
    EXPECT_NE(n2k::checkTables(lookup.raw()), "");

    Tables sets;
    n2k::PgnDef& p = sets.pgn(1000, {sets.number("a", 8)});
    p.sets[0] = {1, 1, 1};  // counted by a field inside itself
    EXPECT_NE(n2k::checkTables(sets.raw()), "");
}

TEST(DecimalsOf, ResolutionsOfTheDatabase) {
    EXPECT_EQ(n2k::decimalsOf(1), 0);
    EXPECT_EQ(n2k::decimalsOf(100), 0);
    EXPECT_EQ(n2k::decimalsOf(0.01), 2);
    EXPECT_EQ(n2k::decimalsOf(0.25), 2);
    EXPECT_EQ(n2k::decimalsOf(0.0001), 4);
    EXPECT_EQ(n2k::decimalsOf(1e-7), 7);
    EXPECT_EQ(n2k::decimalsOf(3.125e-8), 11);
    EXPECT_EQ(n2k::decimalsOf(1e-16), 12) << "at most twelve places";
    EXPECT_EQ(n2k::decimalsOf(0), 0);
}

}  // namespace
