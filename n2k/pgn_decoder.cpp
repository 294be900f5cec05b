#include "n2k/pgn_decoder.h"

#include <cmath>
#include <cstring>

namespace n2k {

namespace {

// Proprietary PGNs: the manufacturer's code leads their data, and a PGN-valued field
// that names one of them brings along fields that only such PGNs have.
bool isProprietary(std::uint64_t pgn) {
    return pgn == 61184 || (pgn >= 65280 && pgn <= 65535) || pgn == 126720 ||
           (pgn >= 130816 && pgn <= 131071);
}

std::uint64_t allOnes(std::uint32_t bits) {
    return bits >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << bits) - 1;
}

std::int64_t signExtend(std::uint64_t raw, std::uint32_t bits) {
    if (bits >= 64) {
        return static_cast<std::int64_t>(raw);
    }
    const std::uint64_t sign = std::uint64_t{1} << (bits - 1);
    return static_cast<std::int64_t>((raw ^ sign)) - static_cast<std::int64_t>(sign);
}

// Whether a raw value is "no data", an error or reserved: above the field's top
// valid value. One-bit fields have no room for such values.
bool isReservedRaw(const FieldDef& f, std::uint64_t raw, std::uint32_t bits) {
    if (bits < 2) {
        return false;
    }
    if (f.isSigned) {
        const std::int64_t value = signExtend(raw, bits);
        return value > 0 && static_cast<std::uint64_t>(value) > f.maxValidRaw;
    }
    return raw > f.maxValidRaw;
}

constexpr double kPowersOfTen[13] = {1,   1e1, 1e2, 1e3,  1e4,  1e5, 1e6,
                                     1e7, 1e8, 1e9, 1e10, 1e11, 1e12};

// A scaled value rounded to the places its resolution has: the nearest double to
// what the device meant.
double scaled(double raw, double resolution, double offset, int decimals) {
    const double value = raw * resolution + offset;
    const double p = kPowersOfTen[decimals < 0 ? 0 : decimals > 12 ? 12 : decimals];
    const double rounded = std::round(value * p) / p;
    return std::isfinite(rounded) ? rounded : value;
}

// Fixed strings are padded with NULs, 0xFF, '@' or spaces.
std::string_view trimPadding(std::string_view text) {
    while (!text.empty()) {
        const auto c = static_cast<unsigned char>(text.back());
        if (c != 0 && c != 0xFF && c != '@' && c != ' ') {
            break;
        }
        text.remove_suffix(1);
    }
    return text;
}

constexpr std::uint32_t kMaxFields = kMaxFieldsPerPgn;

class Walk {
public:
    Walk(const PgnDatabase& db, const Message& m, const PgnDef& def, DecodedPgn& out)
        : db_(db),
          data_(m.data),
          endBit_(static_cast<std::uint32_t>(m.length < 0             ? 0
                                             : m.length > kMaxPayload ? kMaxPayload
                                                                      : m.length) *
                  8),
          fields_(db.fields(def)),
          out_(out) {}

    void run(const PgnDef& def) {
        std::uint32_t order = 1;
        const auto n = static_cast<std::uint32_t>(fields_.size());
        while (order <= n) {
            const RepeatingSet* set = nullptr;
            std::uint8_t setNumber = 0;
            for (std::uint8_t s = 0; s < 2; ++s) {
                if (def.sets[s].startField == order) {
                    set = &def.sets[s];
                    setNumber = static_cast<std::uint8_t>(s + 1);
                }
            }
            if (set == nullptr) {
                if (!field(fields_[order - 1], 0, 0)) {
                    break;
                }
                ++order;
                continue;
            }
            if (!repeat(*set, setNumber)) {
                break;
            }
            order += set->size;
        }
        nameIndirectLookups();
    }

private:
    // An indirect lookup's first key may come after it (the device class follows the
    // device function), so its names are looked up once the whole PGN is read: the
    // key is the value of the named field in the same set and item.
    void nameIndirectLookups() {
        for (int i = 0; i < out_.count; ++i) {
            FieldValue& v = out_.values[i];
            if (v.field->type != FieldType::IndirectLookup || v.kind != ValueKind::Unsigned) {
                continue;
            }
            for (int k = 0; k < out_.count; ++k) {
                const FieldValue& key = out_.values[k];
                if (key.field->order == v.field->indirectFieldOrder && key.set == v.set &&
                    key.item == v.item && key.kind != ValueKind::Missing) {
                    named(v,
                          db_.indirectLookupName(v.field->lookup,
                                                 static_cast<std::uint32_t>(key.raw), v.raw),
                          false);
                    break;
                }
            }
        }
    }

    bool repeat(const RepeatingSet& set, std::uint8_t setNumber) {
        const bool toEnd = set.countField == 0;
        const std::uint64_t count = toEnd ? ~std::uint64_t{0} : known(set.countField);
        for (std::uint64_t item = 0; item < count && item <= 0xFFFF; ++item) {
            if (toEnd && pos_ >= endBit_) {
                return true;
            }
            const std::uint32_t before = pos_;
            for (std::uint16_t k = 0; k < set.size; ++k) {
                if (!field(fields_[set.startField - 1 + k], setNumber,
                           static_cast<std::uint16_t>(item))) {
                    return false;
                }
            }
            if (pos_ == before) {
                return true;  // a set of empty fields would repeat forever
            }
        }
        return true;
    }

    // The raw value of an earlier field, 0 when it was missing.
    std::uint64_t known(std::uint16_t order) const {
        return order > 0 && order <= kMaxFields && (have_ >> (order - 1) & 1) != 0 ? raw_[order - 1]
                                                                                   : 0;
    }

    FieldValue* emit(const FieldDef& f, std::uint8_t set, std::uint16_t item, std::uint32_t bits) {
        if (out_.count >= DecodedPgn::kMaxValues) {
            out_.truncated = true;
            return nullptr;
        }
        FieldValue& v = out_.values[out_.count++];
        v = FieldValue{};
        v.field = &f;
        v.set = set;
        v.item = item;
        v.unit = db_.text(f.unit);
        v.bitOffset = pos_;
        v.bitLength = bits;
        return &v;
    }

    // How many bits the field takes here; false when its length cannot be known.
    bool lengthOf(const FieldDef& f, std::uint32_t& bits) {
        const std::uint32_t left = endBit_ - pos_;
        if (f.bitLengthField != 0) {
            // A length past the data's end is cut short below, like any other field.
            const std::uint64_t stated = known(f.bitLengthField);
            bits = stated > left ? left + 1 : static_cast<std::uint32_t>(stated);
            return true;
        }
        switch (f.type) {
            case FieldType::StringLz:
                if (pos_ % 8 != 0 || left < 8) {
                    return false;
                }
                // The length byte counts neither itself nor the terminating NUL.
                bits = (static_cast<std::uint32_t>(data_[pos_ / 8]) + 2) * 8;
                return true;
            case FieldType::StringLau: {
                if (pos_ % 8 != 0 || left < 8) {
                    return false;
                }
                // The length byte counts itself and the encoding byte.
                const std::uint32_t total = data_[pos_ / 8];
                bits = (total < 2 ? 2 : total) * 8;
                return true;
            }
            case FieldType::DynamicFieldValue:
                if (dynamicBits_ != 0) {
                    bits = dynamicBits_;
                } else if (dynamic_ != nullptr && dynamic_->bits != 0) {
                    bits = dynamic_->bits;
                } else {
                    bits = left;  // nothing tells its length: it takes the rest
                }
                return true;
            default:
                bits = f.bitLength != 0 ? f.bitLength : left;  // variable binary: the rest
                return true;
        }
    }

    // Decodes one field at the current position; false ends the walk.
    bool field(const FieldDef& f, std::uint8_t set, std::uint16_t item) {
        if (f.onlyWhenProprietary && !isProprietary(lastPgn_)) {
            return true;
        }
        if (pos_ >= endBit_) {
            return false;
        }
        // A VARIABLE field borrows the form of another PGN's field.
        const FieldDef* form = f.type == FieldType::Variable ? variableDefinition() : nullptr;
        std::uint32_t bits = 0;
        if (form != nullptr) {
            bits = form->bitLength;
        } else if (!lengthOf(f, bits)) {
            emit(f, set, item, endBit_ - pos_);
            return false;
        }
        if (bits > endBit_ - pos_) {
            // Cut short by the end of the data: what there is says nothing reliable.
            emit(f, set, item, endBit_ - pos_);
            pos_ = endBit_;
            return false;
        }
        FieldValue* v = emit(f, set, item, bits);
        if (v == nullptr) {
            return false;
        }
        if (form != nullptr) {
            decodeValue(*form, *v, bits, false);
            v->unit = db_.text(form->unit);
        } else {
            decodeValue(f, *v, bits);
        }
        pos_ += bits;
        return true;
    }

    // A VARIABLE field takes the form of the field that earlier PGN and field-index
    // values name; nullptr when they name none that can be read here.
    const FieldDef* variableDefinition() const {
        const auto defs = db_.definitionsOf(static_cast<std::uint32_t>(lastPgn_));
        if (defs.empty() || lastFieldIndex_ == 0) {
            return nullptr;
        }
        const auto fields = db_.fields(defs.front());
        if (lastFieldIndex_ > fields.size()) {
            return nullptr;
        }
        const FieldDef& ref = fields[lastFieldIndex_ - 1];
        if (ref.bitLength == 0 || ref.bitLengthField != 0 || ref.type == FieldType::Variable ||
            ref.type == FieldType::IndirectLookup || ref.type == FieldType::DynamicFieldValue) {
            return nullptr;
        }
        return &ref;
    }

    void remember(const FieldDef& f, std::uint64_t raw) {
        if (f.order > 0 && f.order <= kMaxFields) {
            raw_[f.order - 1] = raw;
            have_ |= std::uint64_t{1} << (f.order - 1);
        }
    }

    // `own`: the field belongs to this PGN; a VARIABLE field borrows another PGN's
    // field, whose value must not stand in for this PGN's field of the same order.
    void decodeValue(const FieldDef& f, FieldValue& v, std::uint32_t bits, bool own = true) {
        const std::uint8_t* at = data_ + pos_ / 8;
        switch (f.type) {
            case FieldType::StringFix:
                return text(v, trimPadding(chars(at, bits / 8)), pos_ % 8 == 0);
            case FieldType::StringLz: {
                std::string_view body = chars(at + 1, bits / 8 - 2);
                while (!body.empty() && body.back() == '\0') {
                    body.remove_suffix(1);
                }
                return text(v, body, true);
            }
            case FieldType::StringLau: {
                const std::string_view body = chars(at + 2, bits / 8 - 2);
                if (at[1] == 0) {
                    v.kind = body.size() % 2 == 0 ? ValueKind::Utf16 : ValueKind::Missing;
                    v.text = body;
                    return;
                }
                return text(v, trimPadding(body), true);
            }
            case FieldType::Binary:
            case FieldType::Reserved:
            case FieldType::Spare:
            case FieldType::Variable:
                v.kind = ValueKind::Bytes;
                return;
            case FieldType::DynamicFieldValue:
                return dynamicValue(v, bits);
            case FieldType::Float: {
                const auto raw = static_cast<std::uint32_t>(readBits(data_, pos_, 32));
                float value = 0;
                std::memcpy(&value, &raw, sizeof value);
                if (value == value) {  // NaN stands for no data
                    v.kind = ValueKind::Number;
                    v.number = static_cast<double>(value) * f.resolution + f.offset;
                }
                return;
            }
            default:
                break;
        }

        const std::uint64_t raw = readBits(data_, pos_, bits);
        v.raw = raw;
        const bool reserved = isReservedRaw(f, raw, bits);
        if (!reserved && own) {
            remember(f, raw);
        }
        switch (f.type) {
            case FieldType::Lookup:
                // Unnamed, the top two values of a lookup are "unknown" and "error",
                // as for numbers.
                return named(v, db_.lookupName(f.lookup, raw),
                             reserved || (bits >= 2 && raw >= allOnes(bits) - 1));
            case FieldType::IndirectLookup:
                v.kind = reserved ? ValueKind::Missing : ValueKind::Unsigned;  // named at the end
                return;
            case FieldType::BitLookup:
                // No flag set reads as no value, as other decoders write it.
                v.kind = reserved || raw == 0 ? ValueKind::Missing : ValueKind::Bits;
                return;
            case FieldType::DynamicFieldKey:
                dynamic_ = db_.fieldTypeValue(f.lookup, raw);
                return named(v, dynamic_ != nullptr ? db_.text(dynamic_->name) : std::string_view(),
                             reserved);
            case FieldType::DynamicFieldLength:
                dynamicBits_ = reserved ? 0 : static_cast<std::uint32_t>(raw) * 8;
                break;
            case FieldType::Pgn:
                lastPgn_ = reserved ? 0 : raw;
                break;
            case FieldType::FieldIndex:
                lastFieldIndex_ = reserved ? 0 : raw;
                break;
            case FieldType::Decimal:
                return decimal(v, at, bits);
            default:
                break;
        }
        if (reserved) {
            return;
        }
        switch (f.type) {
            case FieldType::Pgn:
            case FieldType::IsoName:
            case FieldType::Mmsi:
            case FieldType::FieldIndex:
            case FieldType::DynamicFieldLength:
                v.kind = ValueKind::Unsigned;
                return;
            default:
                v.kind = ValueKind::Number;
                v.number = scaled(f.isSigned ? static_cast<double>(signExtend(raw, bits))
                                             : static_cast<double>(raw),
                                  f.resolution, f.offset, f.decimals);
                return;
        }
    }

    std::string_view chars(const std::uint8_t* at, std::uint32_t size) const {
        return std::string_view(reinterpret_cast<const char*>(at), size);
    }

    static void text(FieldValue& v, std::string_view body, bool aligned) {
        if (aligned && !body.empty()) {
            v.kind = ValueKind::Text;
            v.text = body;
        }
    }

    static void named(FieldValue& v, std::string_view name, bool reserved) {
        if (!name.empty()) {
            v.kind = ValueKind::Name;
            v.text = name;
        } else if (!reserved) {
            v.kind = ValueKind::Unsigned;
        }
    }

    // Binary-coded decimal: two digits a byte, the first in the high nibble.
    void decimal(FieldValue& v, const std::uint8_t* at, std::uint32_t bits) {
        if (pos_ % 8 != 0 || bits % 8 != 0 || bits > 72) {
            v.kind = ValueKind::Bytes;
            return;
        }
        std::uint64_t value = 0;
        for (std::uint32_t i = 0; i < bits / 8; ++i) {
            const unsigned hi = at[i] >> 4;
            const unsigned lo = at[i] & 0xF;
            if (hi > 9 || lo > 9) {
                return;  // not digits: no data
            }
            value = value * 100 + hi * 10 + lo;
        }
        v.kind = ValueKind::Unsigned;
        v.raw = value;
    }

    void dynamicValue(FieldValue& v, std::uint32_t bits) {
        if (dynamic_ == nullptr || bits == 0 || bits > 64) {
            v.kind = ValueKind::Bytes;
            return;
        }
        v.unit = db_.text(dynamic_->unit);
        const std::uint64_t raw = readBits(data_, pos_, bits);
        v.raw = raw;
        if (dynamic_->type == FieldType::Lookup) {
            named(v, db_.lookupName(dynamic_->lookup, raw), false);
            return;
        }
        if (bits >= 2 && raw == allOnes(bits)) {
            return;  // all ones: no data
        }
        v.kind = ValueKind::Number;
        v.number = scaled(static_cast<double>(raw), dynamic_->resolution, 0,
                          decimalsOf(dynamic_->resolution));
    }

    const PgnDatabase& db_;
    const std::uint8_t* data_;
    const std::uint32_t endBit_;
    const std::span<const FieldDef> fields_;
    DecodedPgn& out_;
    std::uint32_t pos_ = 0;
    std::uint64_t raw_[kMaxFields];  // read only where have_ has the field's bit
    std::uint64_t have_ = 0;
    std::uint64_t lastPgn_ = 0;
    std::uint64_t lastFieldIndex_ = 0;
    const FieldTypeValue* dynamic_ = nullptr;
    std::uint32_t dynamicBits_ = 0;
};

// Whether every match value of the definition agrees with the data. Match fields sit
// at fixed places near the start; one behind a field of varying length never matches.
bool matches(const PgnDatabase& db, const PgnDef& def, const Message& m) {
    const std::uint32_t endBit =
        static_cast<std::uint32_t>(
            m.length < 0 ? 0 : (m.length > kMaxPayload ? kMaxPayload : m.length)) *
        8;
    std::uint32_t pos = 0;
    int left = def.matchCount;
    for (const FieldDef& f : db.fields(def)) {
        if (left == 0) {
            return true;
        }
        if (f.bitLength == 0 || f.bitLengthField != 0) {
            return false;
        }
        if (f.hasMatch) {
            if (f.bitLength > 64 || pos + f.bitLength > endBit) {
                return false;
            }
            const std::uint64_t raw = readBits(m.data, pos, f.bitLength);
            const std::int64_t value =
                f.isSigned ? signExtend(raw, f.bitLength) : static_cast<std::int64_t>(raw);
            if (value != f.match) {
                return false;
            }
            --left;
        }
        pos += f.bitLength;
    }
    return left == 0;
}

}  // namespace

std::uint64_t readBits(const std::uint8_t* data, std::uint32_t bitOffset, std::uint32_t bitLength) {
    if (bitLength == 0) {
        return 0;
    }
    std::uint32_t byte = bitOffset / 8;
    const std::uint32_t shift = bitOffset % 8;
    std::uint64_t value = data[byte++] >> shift;
    std::uint32_t got = 8 - shift;
    while (got < bitLength) {
        value |= std::uint64_t{data[byte++]} << got;
        got += 8;
    }
    return bitLength >= 64 ? value : value & ((std::uint64_t{1} << bitLength) - 1);
}

const PgnDef* PgnDecoder::select(const Message& message) const {
    const auto defs = db_.definitionsOf(message.pgn);
    // The most specific first: definitions with match values, then a plain one, and
    // the generic fallback of the PGN's range last.
    for (const PgnDef& d : defs) {
        if (d.matchCount > 0 && !d.fallback && matches(db_, d, message)) {
            return &d;
        }
    }
    const PgnDef* fallback = nullptr;
    for (const PgnDef& d : defs) {
        if (d.matchCount == 0 && !d.fallback) {
            return &d;
        }
        if (d.fallback && fallback == nullptr && (d.matchCount == 0 || matches(db_, d, message))) {
            fallback = &d;
        }
    }
    return fallback;
}

void PgnDecoder::decode(const Message& message, DecodedPgn& out) {
    out.count = 0;
    out.truncated = false;
    out.definition = select(message);
    if (out.definition == nullptr) {
        ++unknown_;
        return;
    }
    ++decoded_;
    Walk(db_, message, *out.definition, out).run(*out.definition);
}

}  // namespace n2k
