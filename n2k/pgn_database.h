// The NMEA 2000 PGN database in memory: flat, read-only tables of plain structs that
// the decoder, the readable rows, the named output and the PGN document all walk. The
// loader (n2k_db/) fills a PgnTables from the JSON database and hands it over whole;
// after that nothing changes, so any number of readers may share one database.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace n2k {

// A text of the database: a piece of its one string block.
struct TextRef {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
};

// The most fields one PGN definition may have (the database's largest has 32).
constexpr std::uint32_t kMaxFieldsPerPgn = 64;

// The field types of the database, named there in upper case (fieldTypeName).
enum class FieldType : std::uint8_t {
    Number,
    Float,
    Decimal,
    Lookup,
    IndirectLookup,
    BitLookup,
    DynamicFieldKey,
    DynamicFieldLength,
    DynamicFieldValue,
    Time,
    Duration,
    Date,
    Pgn,
    IsoName,
    StringFix,
    StringLz,
    StringLau,
    Binary,
    Reserved,
    Spare,
    Mmsi,
    Variable,
    FieldIndex,
};
constexpr int kFieldTypeCount = static_cast<int>(FieldType::FieldIndex) + 1;

// The decimal places a step of `resolution` needs (at most 12): what scaled values
// are rounded to, so that 0.0001 * 873 reads 0.0873 and not 0.08730000000000002.
int decimalsOf(double resolution);

// The database's name of a field type ("NUMBER", "STRING_LAU"); empty when unknown.
std::string_view fieldTypeName(FieldType type);
// The field type of a database name; false when the name is none of them.
bool fieldTypeFromName(std::string_view name, FieldType& type);

// How a PGN travels: in one frame, as a fast packet, through the ISO transport
// protocol, or either of the first two.
enum class PgnTransport : std::uint8_t { Single, Fast, Iso, Mixed };

struct FieldDef {
    TextRef id;           // camelCase: the named output's key
    TextRef name;         // "Water Temperature": readable rows and the document
    TextRef unit;         // "rad", "m/s", "K"; empty for none
    TextRef description;  // may be empty
    double resolution = 1;
    double offset = 0;
    double rangeMin = 0;
    double rangeMax = 0;
    // Raw values above this (as an unsigned count, or the positive maximum of a
    // signed field) stand for "no data", "error" or a reserved value: the top values
    // of the field's range that the database keeps out of RangeMax.
    std::uint64_t maxValidRaw = ~std::uint64_t{0};
    std::int64_t match = 0;            // with hasMatch: the value that selects this definition
    std::uint32_t bitOffset = 0;       // informative; the decoder walks fields in order
    std::uint32_t bitLength = 0;       // 0: variable (strings, variable binary)
    std::int32_t lookup = -1;          // the table of its kind (plain, indirect, bit, field type)
    std::uint16_t order = 0;           // 1-based position in its PGN
    std::uint16_t bitLengthField = 0;  // order of the field that holds this one's length in bits
    std::uint16_t indirectFieldOrder =
        0;                      // order of the field with the first key (before or after)
    std::uint8_t decimals = 0;  // decimal places the resolution gives (0.0001 -> 4, 0.25 -> 2)
    FieldType type = FieldType::Number;
    bool isSigned = false;
    bool hasMatch = false;
    bool hasRange = false;
    bool onlyWhenProprietary = false;  // present only when the PGN it refers to is proprietary
};

// A group of consecutive fields repeated `count field` times, or to the end of the data.
struct RepeatingSet {
    std::uint16_t startField = 0;  // order of its first field; 0: no such set
    std::uint16_t size = 0;        // how many fields it holds
    std::uint16_t countField = 0;  // order of the field with the repetition count; 0: to the end
};

struct PgnDef {
    std::uint32_t pgn = 0;
    TextRef id;
    TextRef description;
    std::uint32_t firstField = 0;  // into PgnTables::fields
    std::uint32_t fieldCount = 0;
    std::uint32_t length = 0;  // bytes; 0 when it varies or is not known
    RepeatingSet sets[2];
    PgnTransport transport = PgnTransport::Single;
    std::uint8_t matchCount = 0;  // fields with a match value
    bool fallback = false;        // the generic definition of a whole range of PGNs
    bool complete = false;
};

// One value of a lookup table: key2 is used by indirect tables (key1 is the value of
// the field they depend on); bit tables keep the bit number in key2.
struct LookupValue {
    std::uint32_t key1 = 0;
    std::uint64_t key2 = 0;
    TextRef name;
};

struct LookupTable {
    TextRef name;
    std::uint32_t first = 0;  // into PgnTables::lookupValues, sorted by (key1, key2)
    std::uint32_t count = 0;
    std::uint64_t maxValue = 0;
};

// A key of a dynamic field: the key names the value's meaning and says how it is coded.
struct FieldTypeValue {
    std::uint64_t key = 0;
    TextRef name;
    TextRef unit;
    double resolution = 1;
    std::uint32_t bits = 0;
    std::int32_t lookup = -1;  // a plain lookup table, for LOOKUP values
    FieldType type = FieldType::Number;
};

struct FieldTypeTable {
    TextRef name;
    std::uint32_t first = 0;  // into PgnTables::fieldTypeValues, sorted by key
    std::uint32_t count = 0;
};

// Everything the loader hands over.
struct PgnTables {
    std::string text;  // every string of the database, back to back
    std::string version;
    std::vector<PgnDef> pgns;  // sorted by PGN; the database's order within one PGN
    std::vector<FieldDef> fields;
    std::vector<LookupTable> lookups;
    std::vector<LookupTable> indirectLookups;
    std::vector<LookupTable> bitLookups;
    std::vector<LookupValue> lookupValues;  // shared by the three kinds of table
    std::vector<FieldTypeTable> fieldTypeLookups;
    std::vector<FieldTypeValue> fieldTypeValues;
};

class PgnDatabase {
public:
    PgnDatabase() = default;
    explicit PgnDatabase(PgnTables tables) : t_(std::move(tables)) { buildIndex(); }

    bool empty() const { return t_.pgns.empty(); }
    // Whether no text of the database holds a quote, a backslash or a control
    // character: JSON writers may then copy its names as they are.
    bool textsAreJsonPlain() const { return textsAreJsonPlain_; }
    // Everything loaded, as the loader handed it over.
    const PgnTables& tables() const { return t_; }
    std::string_view version() const { return t_.version; }
    // The whole text block: every name, id, unit and description.
    std::string_view allText() const { return t_.text; }
    std::string_view text(TextRef ref) const {
        return std::string_view(t_.text).substr(ref.offset, ref.length);
    }

    std::span<const PgnDef> pgns() const { return t_.pgns; }
    std::span<const FieldDef> fields(const PgnDef& pgn) const {
        return std::span<const FieldDef>(t_.fields).subspan(pgn.firstField, pgn.fieldCount);
    }
    // Every definition of one PGN, in the database's order (empty when it lacks the PGN).
    std::span<const PgnDef> definitionsOf(std::uint32_t pgn) const;

    // Whether the PGN travels as a fast packet: what frame reassembly must know.
    bool isFastPacket(std::uint32_t pgn) const;

    // Names of lookup values; empty when the table has no name for the value.
    std::string_view lookupName(std::int32_t table, std::uint64_t value) const;
    std::string_view indirectLookupName(std::int32_t table, std::uint32_t key1,
                                        std::uint64_t value) const;
    std::string_view bitLookupName(std::int32_t table, unsigned bit) const;
    // The coding of a dynamic field's value by its key; nullptr when the key is unknown.
    const FieldTypeValue* fieldTypeValue(std::int32_t table, std::uint64_t key) const;

    std::span<const LookupTable> lookups() const { return t_.lookups; }
    std::span<const LookupTable> indirectLookups() const { return t_.indirectLookups; }
    std::span<const LookupTable> bitLookups() const { return t_.bitLookups; }
    std::span<const LookupValue> values(const LookupTable& table) const {
        return std::span<const LookupValue>(t_.lookupValues).subspan(table.first, table.count);
    }
    std::span<const FieldTypeTable> fieldTypeLookups() const { return t_.fieldTypeLookups; }

private:
    static std::string_view find(const PgnDatabase& db, std::span<const LookupTable> tables,
                                 std::int32_t table, std::uint32_t key1, std::uint64_t key2);

    // Every PGN's definitions by hash: looked up for each frame and each message, where
    // a search of the sorted definitions showed in profiles.
    struct IndexSlot {
        std::uint32_t pgn = 0;
        std::uint32_t first = 0;  // into t_.pgns
        std::uint32_t count = 0;  // 0: an empty slot
        bool fast = false;
    };
    void buildIndex();
    const IndexSlot* slotOf(std::uint32_t pgn) const;

    PgnTables t_;
    std::vector<IndexSlot> index_;  // a power of two in size, at most half full
    bool textsAreJsonPlain_ = false;
};

// Checks what the decoder relies on (field orders, lengths, table indexes and sort
// orders); returns an empty text when the tables are sound, else what is wrong.
std::string checkTables(const PgnTables& tables);

}  // namespace n2k
