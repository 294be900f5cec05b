#include "present/n2k_named.h"

#include <QDate>
#include <QStringList>

#include <charconv>
#include <cmath>
#include <numbers>

#include "present/json_writer.h"

namespace present {

namespace {

using n2k::FieldType;
using n2k::FieldValue;
using n2k::ValueKind;

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool isFiller(const FieldValue& v) {
    return v.field->type == FieldType::Reserved || v.field->type == FieldType::Spare;
}

// Texts of the database are UTF-8: only quotes, backslashes and controls need escapes.
void putUtf8String(JsonWriter& w, std::string_view text) {
    w.put('"');
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '"' || byte == '\\') {
            w.put('\\');
            w.put(c);
        } else if (byte < 0x20) {
            w.put("\\u00");
            w.put(kHexDigits[byte >> 4]);
            w.put(kHexDigits[byte & 0xF]);
        } else {
            w.put(c);
        }
    }
    w.put('"');
}

// A text of the database: copied as it is when the database holds nothing to escape.
void putDatabaseString(JsonWriter& w, const n2k::PgnDatabase& db, std::string_view text) {
    if (!db.textsAreJsonPlain()) {
        putUtf8String(w, text);
        return;
    }
    w.put('"');
    w.put(text);
    w.put('"');
}

void putUtf16String(JsonWriter& w, std::string_view littleEndian) {
    w.put('"');
    for (std::size_t i = 0; i + 1 < littleEndian.size(); i += 2) {
        const unsigned unit = static_cast<unsigned char>(littleEndian[i]) |
                              static_cast<unsigned>(static_cast<unsigned char>(littleEndian[i + 1]))
                                  << 8;
        if (unit == 0) {
            break;
        }
        if (unit >= 0x20 && unit < 0x80 && unit != '"' && unit != '\\') {
            w.put(static_cast<char>(unit));
            continue;
        }
        w.put("\\u");
        for (int shift = 12; shift >= 0; shift -= 4) {
            w.put(kHexDigits[(unit >> shift) & 0xF]);
        }
    }
    w.put('"');
}

void putUnsigned(JsonWriter& w, std::uint64_t value) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    w.put(std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
}

// Binary data as hex bytes, as the field's bits fall into bytes from its first bit:
// "06 00 06" for nineteen bits.
std::string bytesHex(const std::uint8_t* data, std::uint32_t bitOffset, std::uint32_t bitLength) {
    std::string hex;
    for (std::uint32_t at = 0; at < bitLength; at += 8) {
        const auto byte = static_cast<unsigned>(
            n2k::readBits(data, bitOffset + at, bitLength - at < 8 ? bitLength - at : 8));
        if (!hex.empty()) {
            hex += ' ';
        }
        hex += kHexDigits[byte >> 4];
        hex += kHexDigits[byte & 0xF];
    }
    return hex;
}

std::string bytesHex(const n2k::Message& m, const FieldValue& v) {
    return bytesHex(m.data, v.bitOffset, v.bitLength);
}

void putValue(JsonWriter& w, const n2k::PgnDatabase& db, const n2k::Message& m,
              const FieldValue& v) {
    switch (v.kind) {
        case ValueKind::Missing:
            w.put("null");
            return;
        case ValueKind::Number:
            w.putShortest(v.number);
            return;
        case ValueKind::Unsigned:
            putUnsigned(w, v.raw);
            return;
        case ValueKind::Name:
            putDatabaseString(w, db, v.text);
            return;
        case ValueKind::Text:
            w.putLatin1String(v.text);
            return;
        case ValueKind::Utf16:
            putUtf16String(w, v.text);
            return;
        case ValueKind::Bits: {
            w.put('[');
            bool first = true;
            for (unsigned bit = 0; bit < 64; ++bit) {
                if ((v.raw >> bit & 1) == 0) {
                    continue;
                }
                if (!first) {
                    w.put(", ");
                }
                first = false;
                const std::string_view name = db.bitLookupName(v.field->lookup, bit);
                if (name.empty()) {
                    w.putInteger(bit);
                } else {
                    putUtf8String(w, name);
                }
            }
            w.put(']');
            return;
        }
        case ValueKind::Bytes:
            w.put('"');
            w.put(bytesHex(m, v));
            w.put('"');
            return;
    }
}

// A number converted to its readable unit: angles in degrees, speeds in knots,
// temperatures in degrees Celsius, pressures in hectopascals.
ShownNumber convertedNumber(const FieldValue& v) {
    const std::string_view unit = v.unit;
    ShownNumber n{v.number, QString::fromUtf8(unit.data(), static_cast<qsizetype>(unit.size())),
                  v.field->decimals};
    if (unit == "rad") {
        n = {v.number * 180 / std::numbers::pi, QStringLiteral("°"), 1};
    } else if (unit == "rad/s") {
        n = {v.number * 180 / std::numbers::pi, QStringLiteral("°/s"), 2};
    } else if (unit == "deg") {
        n.unit = QStringLiteral("°");
    } else if (unit == "m/s") {
        n = {v.number * 3600.0 / 1852.0, QStringLiteral("kn"), 2};
    } else if (unit == "K") {
        n = {v.number - 273.15, QStringLiteral("°C"), 2};
    } else if (unit == "Pa") {
        n = {v.number / 100, QStringLiteral("hPa"), 2};
    }
    return n;
}

// The readable form of a number: a date, a time of day, or the number in its unit.
void readableNumber(const FieldValue& v, PgnRow& row) {
    const std::string_view unit = v.unit;
    const double value = v.number;
    const int decimals = v.field->decimals;
    if (v.field->type == FieldType::Date && unit == "d") {
        const QDate date = QDate(1970, 1, 1).addDays(static_cast<qint64>(value));
        row.value = date.toString(Qt::ISODate);
        return;
    }
    if (v.field->type == FieldType::Time && unit == "s" && value >= 0 && value < 86400 * 2) {
        // Counted in the field's own steps, so that 59.99995 cannot print as ":60".
        long long scale = 1;
        for (int d = 0; d < decimals && d < 9; ++d) {
            scale *= 10;
        }
        const long long steps = std::llround(value * static_cast<double>(scale));
        const long long whole = steps / scale;
        row.value = QStringLiteral("%1:%2:%3")
                        .arg(whole / 3600, 2, 10, QLatin1Char('0'))
                        .arg(whole / 60 % 60, 2, 10, QLatin1Char('0'))
                        .arg(whole % 60, 2, 10, QLatin1Char('0'));
        if (scale > 1) {
            row.value += QStringLiteral(".%1").arg(steps % scale, decimals < 9 ? decimals : 9, 10,
                                                   QLatin1Char('0'));
        }
        return;
    }
    const ShownNumber n = convertedNumber(v);
    row.unit = n.unit;
    row.value = QString::number(n.value, 'f', n.decimals);
    if (!n.unit.isEmpty()) {
        row.value +=
            (n.unit.startsWith(QStringLiteral("°")) ? QString() : QStringLiteral(" ")) + n.unit;
    }
}

QString readableValue(const n2k::PgnDatabase& db, const n2k::Message& m, const FieldValue& v,
                      PgnRow& row) {
    switch (v.kind) {
        case ValueKind::Missing:
            return {};
        case ValueKind::Number:
            readableNumber(v, row);
            return row.value;
        case ValueKind::Unsigned:
            return QString::number(v.raw);
        case ValueKind::Name:
            return QString::fromUtf8(v.text.data(), static_cast<qsizetype>(v.text.size()));
        case ValueKind::Text:
            return QString::fromLatin1(v.text.data(), static_cast<qsizetype>(v.text.size()));
        case ValueKind::Utf16: {
            QString text;
            for (std::size_t i = 0; i + 1 < v.text.size(); i += 2) {
                const auto unit = static_cast<char16_t>(
                    static_cast<unsigned char>(v.text[i]) |
                    static_cast<unsigned>(static_cast<unsigned char>(v.text[i + 1])) << 8);
                text += QChar(unit);
            }
            return text;
        }
        case ValueKind::Bits: {
            QStringList names;
            for (unsigned bit = 0; bit < 64; ++bit) {
                if ((v.raw >> bit & 1) != 0) {
                    const std::string_view name = db.bitLookupName(v.field->lookup, bit);
                    names << (name.empty() ? QStringLiteral("bit %1").arg(bit)
                                           : QString::fromUtf8(
                                                 name.data(), static_cast<qsizetype>(name.size())));
                }
            }
            return names.join(QStringLiteral(", "));
        }
        case ValueKind::Bytes:
            return QString::fromLatin1(bytesHex(m, v));
    }
    return {};
}

}  // namespace

bool shownAsNumber(n2k::FieldType type, std::string_view unit) {
    switch (type) {
        case FieldType::Number:
        case FieldType::Float:
        case FieldType::Duration:
        case FieldType::DynamicFieldValue:
            return true;
        case FieldType::Date:
            return unit != "d";
        case FieldType::Time:
            return unit != "s";
        default:
            return false;
    }
}

bool shownNumber(const FieldValue& v, ShownNumber& out) {
    if (v.kind != ValueKind::Number || !shownAsNumber(v.field->type, v.unit)) {
        return false;
    }
    out = convertedNumber(v);
    return true;
}

void appendNamedPgn(const n2k::PgnDatabase& db, const n2k::Message& m,
                    const n2k::DecodedPgn& decoded, std::string& out) {
    JsonWriter w(out);
    w.put("{\"pgn\": ");
    w.putInteger(m.pgn);
    w.put(", \"prio\": ");
    w.putInteger(m.priority);
    w.put(", \"src\": ");
    w.putInteger(m.source);
    w.put(", \"dst\": ");
    w.putInteger(m.destination);
    if (decoded.definition == nullptr) {
        w.put(", \"unknown\": true, \"data\": \"");
        const int length = m.length < 0                  ? 0
                           : m.length > n2k::kMaxPayload ? n2k::kMaxPayload
                                                         : m.length;
        w.put(bytesHex(m.data, 0, static_cast<std::uint32_t>(length) * 8));
        w.put("\"}");
        return;
    }
    w.put(", \"description\": ");
    putDatabaseString(w, db, db.text(decoded.definition->description));
    w.put(", \"fields\": {");
    bool first = true;  // the first member of the innermost open object
    int openSet = 0;
    int openItem = -1;
    for (int i = 0; i < decoded.count; ++i) {
        const FieldValue& v = decoded.values[i];
        if (isFiller(v)) {
            continue;
        }
        if (v.set != openSet) {
            if (openSet != 0) {
                w.put("}]");
                first = false;
            }
            if (v.set != 0) {
                w.put(first ? "" : ", ");
                w.put(v.set == 1 ? "\"list\": [" : "\"list2\": [");
                openItem = -1;
            }
            openSet = v.set;
        }
        if (v.set != 0 && v.item != openItem) {
            w.put(openItem < 0 ? "{" : "}, {");
            openItem = v.item;
            first = true;
        }
        if (!first) {
            w.put(", ");
        }
        first = false;
        putDatabaseString(w, db, db.text(v.field->id));
        w.put(": ");
        putValue(w, db, m, v);
    }
    if (openSet != 0) {
        w.put("}]");
    }
    w.put("}}");
}

QList<PgnRow> pgnRows(const n2k::PgnDatabase& db, const n2k::Message& m,
                      const n2k::DecodedPgn& decoded) {
    QList<PgnRow> rows;
    rows.reserve(decoded.count);
    for (int i = 0; i < decoded.count; ++i) {
        const FieldValue& v = decoded.values[i];
        if (isFiller(v)) {
            continue;
        }
        PgnRow row;
        const std::string_view name = db.text(v.field->name);
        row.name = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
        if (v.set != 0) {
            row.item = v.item + 1;
            row.name += QStringLiteral(" (%1)").arg(row.item);
        }
        const std::string_view id = db.text(v.field->id);
        row.id = QByteArray(id.data(), static_cast<qsizetype>(id.size()));
        row.value = readableValue(db, m, v, row);
        ShownNumber shown;
        row.number = shownNumber(v, shown);
        rows.push_back(row);
    }
    return rows;
}

}  // namespace present
