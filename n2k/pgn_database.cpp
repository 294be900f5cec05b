#include "n2k/pgn_database.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace n2k {

namespace {

constexpr std::array<std::string_view, kFieldTypeCount> kFieldTypeNames = {
    "NUMBER",
    "FLOAT",
    "DECIMAL",
    "LOOKUP",
    "INDIRECT_LOOKUP",
    "BITLOOKUP",
    "DYNAMIC_FIELD_KEY",
    "DYNAMIC_FIELD_LENGTH",
    "DYNAMIC_FIELD_VALUE",
    "TIME",
    "DURATION",
    "DATE",
    "PGN",
    "ISO_NAME",
    "STRING_FIX",
    "STRING_LZ",
    "STRING_LAU",
    "BINARY",
    "RESERVED",
    "SPARE",
    "MMSI",
    "VARIABLE",
    "FIELD_INDEX",
};

// Field types read as one unsigned or signed number of at most 64 bits.
bool isScalar(FieldType type) {
    switch (type) {
        case FieldType::Number:
        case FieldType::Lookup:
        case FieldType::IndirectLookup:
        case FieldType::BitLookup:
        case FieldType::DynamicFieldKey:
        case FieldType::DynamicFieldLength:
        case FieldType::Time:
        case FieldType::Duration:
        case FieldType::Date:
        case FieldType::Pgn:
        case FieldType::IsoName:
        case FieldType::Mmsi:
        case FieldType::FieldIndex:
        case FieldType::Decimal:
            return true;
        default:
            return false;
    }
}

bool inside(const PgnTables& t, TextRef ref) {
    return std::size_t{ref.offset} + ref.length <= t.text.size();
}

std::string checkTable(const PgnTables& t, const LookupTable& table, bool bits) {
    if (!inside(t, table.name) || std::size_t{table.first} + table.count > t.lookupValues.size()) {
        return "a lookup table reaches past its values";
    }
    const auto values =
        std::span<const LookupValue>(t.lookupValues).subspan(table.first, table.count);
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!inside(t, values[i].name) || (bits && values[i].key2 > 63)) {
            return "a lookup value is out of range";
        }
        if (i > 0 &&
            (values[i - 1].key1 > values[i].key1 ||
             (values[i - 1].key1 == values[i].key1 && values[i - 1].key2 > values[i].key2))) {
            return "the values of a lookup table are not sorted";
        }
    }
    return {};
}

std::string checkField(const PgnTables& t, const FieldDef& f, std::uint32_t fieldCount) {
    if (!inside(t, f.id) || !inside(t, f.name) || !inside(t, f.unit) || !inside(t, f.description)) {
        return "a field's text reaches past the text block";
    }
    if (static_cast<int>(f.type) >= kFieldTypeCount) {
        return "a field has no known type";
    }
    if (isScalar(f.type) && (f.bitLength < 1 || f.bitLength > 64)) {
        return "a numeric field is longer than 64 bits or empty";
    }
    if (f.type == FieldType::Float && f.bitLength != 32) {
        return "a FLOAT field is not 32 bits long";
    }
    if (f.bitLengthField >= f.order || f.indirectFieldOrder == f.order ||
        f.indirectFieldOrder > fieldCount || f.order > fieldCount) {
        return "a field refers to a field that does not come before it";
    }
    std::size_t tables = 0;
    switch (f.type) {
        case FieldType::Lookup:
            tables = t.lookups.size();
            break;
        case FieldType::IndirectLookup:
            tables = t.indirectLookups.size();
            break;
        case FieldType::BitLookup:
            tables = t.bitLookups.size();
            break;
        case FieldType::DynamicFieldKey:
            tables = t.fieldTypeLookups.size();
            break;
        default:
            if (f.lookup != -1) {
                return "a field of a type without lookups names a table";
            }
            return {};
    }
    if (f.lookup < -1 || (f.lookup >= 0 && static_cast<std::size_t>(f.lookup) >= tables)) {
        return "a field names a lookup table that does not exist";
    }
    return {};
}

std::string checkPgn(const PgnTables& t, const PgnDef& p) {
    if (!inside(t, p.id) || !inside(t, p.description) ||
        std::size_t{p.firstField} + p.fieldCount > t.fields.size() ||
        p.fieldCount > kMaxFieldsPerPgn) {
        return "a PGN reaches past the tables";
    }
    if (p.transport > PgnTransport::Mixed) {
        return "PGN " + std::to_string(p.pgn) + " has no known transport";
    }
    for (std::uint32_t i = 0; i < p.fieldCount; ++i) {
        const FieldDef& f = t.fields[p.firstField + i];
        if (f.order != i + 1) {
            return "the fields of PGN " + std::to_string(p.pgn) + " are out of order";
        }
        if (std::string e = checkField(t, f, p.fieldCount); !e.empty()) {
            return e + " (PGN " + std::to_string(p.pgn) + ")";
        }
    }
    std::uint32_t after = 0;  // a second set starts after the first one ends
    for (const RepeatingSet& set : p.sets) {
        if (set.startField == 0) {
            continue;
        }
        if (set.size == 0 || set.startField <= after ||
            std::uint32_t{set.startField} + set.size - 1 > p.fieldCount ||
            set.countField >= set.startField) {
            return "a repeating set of PGN " + std::to_string(p.pgn) + " is out of range";
        }
        after = set.startField + set.size - 1;
    }
    if (p.sets[0].startField == 0 && p.sets[1].startField != 0) {
        return "PGN " + std::to_string(p.pgn) + " has a second repeating set without a first";
    }
    return {};
}

}  // namespace

int decimalsOf(double resolution) {
    double step = resolution < 0 ? -resolution : resolution;
    if (!(step > 0) || !std::isfinite(step)) {
        return 0;
    }
    for (int d = 0; d < 12; ++d) {
        if (step >= 1 && std::fabs(step - std::round(step)) <= 1e-9 * step) {
            return d;
        }
        step *= 10;
    }
    return 12;
}

std::string_view fieldTypeName(FieldType type) {
    const auto i = static_cast<std::size_t>(type);
    return i < kFieldTypeNames.size() ? kFieldTypeNames[i] : std::string_view();
}

bool fieldTypeFromName(std::string_view name, FieldType& type) {
    for (std::size_t i = 0; i < kFieldTypeNames.size(); ++i) {
        if (kFieldTypeNames[i] == name) {
            type = static_cast<FieldType>(i);
            return true;
        }
    }
    return false;
}

namespace {

std::size_t slotHash(std::uint32_t pgn, std::size_t mask) {
    return static_cast<std::size_t>((pgn * 0x9E3779B1u) >> 7) & mask;
}

}  // namespace

void PgnDatabase::buildIndex() {
    textsAreJsonPlain_ = std::none_of(t_.text.begin(), t_.text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == '"' || byte == '\\';
    });
    std::size_t size = 16;
    while (size < 2 * t_.pgns.size()) {
        size *= 2;
    }
    index_.assign(size, IndexSlot{});
    const std::size_t mask = size - 1;
    for (std::size_t i = 0; i < t_.pgns.size();) {
        const std::uint32_t pgn = t_.pgns[i].pgn;
        std::size_t end = i;
        bool fast = false;
        while (end < t_.pgns.size() && t_.pgns[end].pgn == pgn) {
            fast = fast || t_.pgns[end].transport == PgnTransport::Fast;
            ++end;
        }
        std::size_t slot = slotHash(pgn, mask);
        while (index_[slot].count != 0) {
            slot = (slot + 1) & mask;
        }
        index_[slot] = IndexSlot{pgn, static_cast<std::uint32_t>(i),
                                 static_cast<std::uint32_t>(end - i), fast};
        i = end;
    }
}

const PgnDatabase::IndexSlot* PgnDatabase::slotOf(std::uint32_t pgn) const {
    if (index_.empty()) {
        return nullptr;
    }
    const std::size_t mask = index_.size() - 1;
    for (std::size_t slot = slotHash(pgn, mask);; slot = (slot + 1) & mask) {
        const IndexSlot& s = index_[slot];
        if (s.count == 0) {
            return nullptr;
        }
        if (s.pgn == pgn) {
            return &s;
        }
    }
}

std::span<const PgnDef> PgnDatabase::definitionsOf(std::uint32_t pgn) const {
    const IndexSlot* slot = slotOf(pgn);
    if (slot == nullptr) {
        return {};
    }
    return std::span<const PgnDef>(t_.pgns).subspan(slot->first, slot->count);
}

bool PgnDatabase::isFastPacket(std::uint32_t pgn) const {
    const IndexSlot* slot = slotOf(pgn);
    return slot != nullptr && slot->fast;
}

std::string_view PgnDatabase::find(const PgnDatabase& db, std::span<const LookupTable> tables,
                                   std::int32_t table, std::uint32_t key1, std::uint64_t key2) {
    if (table < 0 || static_cast<std::size_t>(table) >= tables.size()) {
        return {};
    }
    const auto values = db.values(tables[static_cast<std::size_t>(table)]);
    const auto it =
        std::lower_bound(values.begin(), values.end(), LookupValue{key1, key2, {}},
                         [](const LookupValue& a, const LookupValue& b) {
                             return a.key1 != b.key1 ? a.key1 < b.key1 : a.key2 < b.key2;
                         });
    if (it == values.end() || it->key1 != key1 || it->key2 != key2) {
        return {};
    }
    return db.text(it->name);
}

std::string_view PgnDatabase::lookupName(std::int32_t table, std::uint64_t value) const {
    return find(*this, t_.lookups, table, 0, value);
}

std::string_view PgnDatabase::indirectLookupName(std::int32_t table, std::uint32_t key1,
                                                 std::uint64_t value) const {
    return find(*this, t_.indirectLookups, table, key1, value);
}

std::string_view PgnDatabase::bitLookupName(std::int32_t table, unsigned bit) const {
    return find(*this, t_.bitLookups, table, 0, bit);
}

const FieldTypeValue* PgnDatabase::fieldTypeValue(std::int32_t table, std::uint64_t key) const {
    if (table < 0 || static_cast<std::size_t>(table) >= t_.fieldTypeLookups.size()) {
        return nullptr;
    }
    const FieldTypeTable& t = t_.fieldTypeLookups[static_cast<std::size_t>(table)];
    const auto values =
        std::span<const FieldTypeValue>(t_.fieldTypeValues).subspan(t.first, t.count);
    const auto it =
        std::lower_bound(values.begin(), values.end(), key,
                         [](const FieldTypeValue& v, std::uint64_t k) { return v.key < k; });
    return it != values.end() && it->key == key ? &*it : nullptr;
}

std::string checkTables(const PgnTables& t) {
    for (std::size_t i = 0; i < t.pgns.size(); ++i) {
        if (i > 0 && t.pgns[i - 1].pgn > t.pgns[i].pgn) {
            return "the PGN definitions are not sorted";
        }
        if (std::string e = checkPgn(t, t.pgns[i]); !e.empty()) {
            return e;
        }
    }
    for (const auto* group : {&t.lookups, &t.indirectLookups}) {
        for (const LookupTable& table : *group) {
            if (std::string e = checkTable(t, table, false); !e.empty()) {
                return e;
            }
        }
    }
    for (const LookupTable& table : t.bitLookups) {
        if (std::string e = checkTable(t, table, true); !e.empty()) {
            return e;
        }
    }
    for (const FieldTypeTable& table : t.fieldTypeLookups) {
        if (!inside(t, table.name) ||
            std::size_t{table.first} + table.count > t.fieldTypeValues.size()) {
            return "a field type table reaches past its values";
        }
        for (std::uint32_t i = table.first; i < table.first + table.count; ++i) {
            const FieldTypeValue& v = t.fieldTypeValues[i];
            if (!inside(t, v.name) || !inside(t, v.unit) || v.bits > 64 ||
                (v.lookup >= 0 && static_cast<std::size_t>(v.lookup) >= t.lookups.size()) ||
                (i > table.first && t.fieldTypeValues[i - 1].key > v.key)) {
                return "a field type value is out of range";
            }
        }
    }
    return {};
}

}  // namespace n2k
