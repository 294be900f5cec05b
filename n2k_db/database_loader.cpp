#include "n2k_db/database_loader.h"

#include "n2k/pgn_tables_image.h"
#include "n2k_db/database_location.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <cstdio>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>

namespace n2kdb {

namespace {

using n2k::FieldType;

// Builds the tables: strings interned once in the text block, lookup tables found by name.
class Builder {
public:
    bool build(const QJsonObject& root, QString& error) {
        t_.version = root.value(QLatin1String("Version")).toString().toStdString();
        readLookups(root.value(QLatin1String("LookupEnumerations")).toArray(), t_.lookups,
                    lookupIndex_, QLatin1String("EnumValues"), Kind::Plain);
        readLookups(root.value(QLatin1String("LookupIndirectEnumerations")).toArray(),
                    t_.indirectLookups, indirectIndex_, QLatin1String("EnumValues"),
                    Kind::Indirect);
        readLookups(root.value(QLatin1String("LookupBitEnumerations")).toArray(), t_.bitLookups,
                    bitIndex_, QLatin1String("EnumBitValues"), Kind::Bit);
        readFieldTypeLookups(root.value(QLatin1String("LookupFieldTypeEnumerations")).toArray());

        const QJsonArray pgns = root.value(QLatin1String("PGNs")).toArray();
        if (pgns.isEmpty()) {
            error = QStringLiteral("it lists no PGNs");
            return false;
        }
        t_.pgns.reserve(static_cast<std::size_t>(pgns.size()));
        for (const QJsonValue& p : pgns) {
            if (!readPgn(p.toObject(), error)) {
                return false;
            }
        }
        std::stable_sort(t_.pgns.begin(), t_.pgns.end(),
                         [](const n2k::PgnDef& a, const n2k::PgnDef& b) { return a.pgn < b.pgn; });
        const std::string problem = n2k::checkTables(t_);
        if (!problem.empty()) {
            error = QString::fromStdString(problem);
            return false;
        }
        return true;
    }

    n2k::PgnTables take() { return std::move(t_); }

private:
    enum class Kind { Plain, Indirect, Bit };

    n2k::TextRef intern(const QString& s) {
        const std::string text = s.toStdString();
        const auto it = interned_.find(text);
        if (it != interned_.end()) {
            return it->second;
        }
        const n2k::TextRef ref{static_cast<std::uint32_t>(t_.text.size()),
                               static_cast<std::uint32_t>(text.size())};
        t_.text += text;
        interned_.emplace(text, ref);
        return ref;
    }

    // Numbers of the file as keys; what no key can be (negative, fractional, huge or
    // not a number) is held inside the range, never converted out of it.
    static std::uint64_t toKey(const QJsonValue& v) {
        const double d = v.toDouble(-1);
        if (!(d >= 0)) {
            return 0;
        }
        return d >= 18446744073709549568.0 ? ~std::uint64_t{0} : static_cast<std::uint64_t>(d);
    }
    static std::int64_t toSigned(const QJsonValue& v) {
        const double d = v.toDouble(0);
        if (!(d > -9223372036854775808.0)) {
            return d < 0 ? INT64_MIN : 0;
        }
        return d >= 9223372036854774784.0 ? INT64_MAX : static_cast<std::int64_t>(d);
    }

    void readLookups(const QJsonArray& tables, std::vector<n2k::LookupTable>& out,
                     QHash<QString, std::int32_t>& index, QLatin1String valuesKey, Kind kind) {
        for (const QJsonValue& tv : tables) {
            const QJsonObject table = tv.toObject();
            n2k::LookupTable lt;
            const QString name = table.value(QLatin1String("Name")).toString();
            lt.name = intern(name);
            lt.maxValue = toKey(table.value(QLatin1String("MaxValue")));
            lt.first = static_cast<std::uint32_t>(t_.lookupValues.size());
            for (const QJsonValue& ev : table.value(valuesKey).toArray()) {
                const QJsonObject e = ev.toObject();
                n2k::LookupValue v;
                v.name = intern(e.value(QLatin1String("Name")).toString());
                switch (kind) {
                    case Kind::Plain:
                        v.key2 = toKey(e.value(QLatin1String("Value")));
                        break;
                    case Kind::Indirect:
                        v.key1 =
                            static_cast<std::uint32_t>(toKey(e.value(QLatin1String("Value1"))));
                        v.key2 = toKey(e.value(QLatin1String("Value2")));
                        break;
                    case Kind::Bit:
                        v.key2 = toKey(e.value(QLatin1String("Bit")));
                        break;
                }
                t_.lookupValues.push_back(v);
            }
            const auto begin = t_.lookupValues.begin() + lt.first;
            std::stable_sort(begin, t_.lookupValues.end(),
                             [](const n2k::LookupValue& a, const n2k::LookupValue& b) {
                                 return a.key1 != b.key1 ? a.key1 < b.key1 : a.key2 < b.key2;
                             });
            lt.count = static_cast<std::uint32_t>(t_.lookupValues.size() - lt.first);
            index.insert(name, static_cast<std::int32_t>(out.size()));
            out.push_back(lt);
        }
    }

    void readFieldTypeLookups(const QJsonArray& tables) {
        for (const QJsonValue& tv : tables) {
            const QJsonObject table = tv.toObject();
            n2k::FieldTypeTable ft;
            const QString name = table.value(QLatin1String("Name")).toString();
            ft.name = intern(name);
            ft.first = static_cast<std::uint32_t>(t_.fieldTypeValues.size());
            for (const QJsonValue& ev :
                 table.value(QLatin1String("EnumFieldTypeValues")).toArray()) {
                const QJsonObject e = ev.toObject();
                n2k::FieldTypeValue v;
                v.key = toKey(e.value(QLatin1String("value")));
                v.name = intern(e.value(QLatin1String("name")).toString());
                v.unit = intern(e.value(QLatin1String("Unit")).toString());
                v.resolution = e.value(QLatin1String("Resolution")).toDouble(1);
                // The bit count is written as text in this table.
                const QJsonValue bits = e.value(QLatin1String("Bits"));
                v.bits = static_cast<std::uint32_t>(bits.isString() ? bits.toString().toUInt()
                                                                    : bits.toInt());
                if (!n2k::fieldTypeFromName(
                        e.value(QLatin1String("FieldType")).toString().toStdString(), v.type)) {
                    v.type = FieldType::Binary;
                }
                const QString lookup = e.value(QLatin1String("LookupEnumeration")).toString();
                v.lookup = lookup.isEmpty() ? -1 : lookupIndex_.value(lookup, -1);
                t_.fieldTypeValues.push_back(v);
            }
            std::stable_sort(t_.fieldTypeValues.begin() + ft.first, t_.fieldTypeValues.end(),
                             [](const n2k::FieldTypeValue& a, const n2k::FieldTypeValue& b) {
                                 return a.key < b.key;
                             });
            ft.count = static_cast<std::uint32_t>(t_.fieldTypeValues.size() - ft.first);
            fieldTypeIndex_.insert(name, static_cast<std::int32_t>(t_.fieldTypeLookups.size()));
            t_.fieldTypeLookups.push_back(ft);
        }
    }

    // The top raw value that still means a value: what RangeMax allows, below the
    // field's all-ones (unsigned) or largest positive (signed) value.
    static std::uint64_t maxValidRaw(const n2k::FieldDef& f) {
        const std::uint32_t bits = f.bitLength;
        std::uint64_t top = ~std::uint64_t{0};
        if (bits >= 1 && bits < 64) {
            top =
                f.isSigned ? (std::uint64_t{1} << (bits - 1)) - 1 : (std::uint64_t{1} << bits) - 1;
        } else if (bits == 64 && f.isSigned) {
            top = ~std::uint64_t{0} >> 1;
        }
        // Numbers of two bits or more keep their top value for "no data" whatever the
        // range says (a 64-bit range is beyond a double's precision).
        if (bits >= 2 && top > 0) {
            --top;
        }
        if (!f.hasRange) {
            return top;
        }
        const double raw = std::floor((f.rangeMax - f.offset) / f.resolution + 0.5);
        if (!(raw >= 0)) {
            return 0;
        }
        if (raw >= 18446744073709551615.0) {
            return top;
        }
        return std::min(top, static_cast<std::uint64_t>(raw));
    }

    bool readField(const QJsonObject& o, n2k::FieldDef& f, QString& error) {
        const QString typeName = o.value(QLatin1String("FieldType")).toString();
        if (!n2k::fieldTypeFromName(typeName.toStdString(), f.type)) {
            error = QStringLiteral("field type \"%1\" is unknown").arg(typeName);
            return false;
        }
        f.order = static_cast<std::uint16_t>(o.value(QLatin1String("Order")).toInt());
        f.id = intern(o.value(QLatin1String("Id")).toString());
        f.name = intern(o.value(QLatin1String("Name")).toString());
        f.unit = intern(o.value(QLatin1String("Unit")).toString());
        f.description = intern(o.value(QLatin1String("Description")).toString());
        f.bitLength = static_cast<std::uint32_t>(o.value(QLatin1String("BitLength")).toInt());
        f.bitOffset = static_cast<std::uint32_t>(o.value(QLatin1String("BitOffset")).toInt());
        f.resolution = o.value(QLatin1String("Resolution")).toDouble(1);
        if (f.resolution == 0 || !std::isfinite(f.resolution)) {
            f.resolution = 1;
        }
        f.offset = o.value(QLatin1String("Offset")).toDouble(0);
        f.decimals = static_cast<std::uint8_t>(
            std::max(n2k::decimalsOf(f.resolution), n2k::decimalsOf(f.offset)));
        f.isSigned = o.value(QLatin1String("Signed")).toBool(false);
        f.hasRange = o.contains(QLatin1String("RangeMax"));
        f.rangeMin = o.value(QLatin1String("RangeMin")).toDouble(0);
        f.rangeMax = o.value(QLatin1String("RangeMax")).toDouble(0);
        f.maxValidRaw = maxValidRaw(f);
        f.hasMatch = o.contains(QLatin1String("Match"));
        f.match = toSigned(o.value(QLatin1String("Match")));
        f.bitLengthField =
            static_cast<std::uint16_t>(o.value(QLatin1String("BitLengthField")).toInt());
        f.indirectFieldOrder = static_cast<std::uint16_t>(
            o.value(QLatin1String("LookupIndirectEnumerationFieldOrder")).toInt());
        f.onlyWhenProprietary =
            o.value(QLatin1String("Condition")).toString() == QLatin1String("PGNIsProprietary");

        const auto tableOf = [&](const char* key, const QHash<QString, std::int32_t>& index) {
            const QString name = o.value(QLatin1String(key)).toString();
            f.lookup = index.value(name, -1);
            if (f.lookup < 0) {
                error = QStringLiteral("field %1 names the unknown table \"%2\"")
                            .arg(o.value(QLatin1String("Id")).toString(), name);
            }
            return f.lookup >= 0;
        };
        switch (f.type) {
            case FieldType::Lookup:
                return tableOf("LookupEnumeration", lookupIndex_);
            case FieldType::IndirectLookup:
                return tableOf("LookupIndirectEnumeration", indirectIndex_);
            case FieldType::BitLookup:
                return tableOf("LookupBitEnumeration", bitIndex_);
            case FieldType::DynamicFieldKey:
                return tableOf("LookupFieldTypeEnumeration", fieldTypeIndex_);
            default:
                return true;
        }
    }

    static n2k::PgnTransport transportOf(const QString& type) {
        if (type == QLatin1String("Fast")) {
            return n2k::PgnTransport::Fast;
        }
        if (type == QLatin1String("ISO")) {
            return n2k::PgnTransport::Iso;
        }
        if (type == QLatin1String("Mixed")) {
            return n2k::PgnTransport::Mixed;
        }
        return n2k::PgnTransport::Single;
    }

    bool readPgn(const QJsonObject& o, QString& error) {
        n2k::PgnDef p;
        p.pgn = static_cast<std::uint32_t>(
            std::min<std::uint64_t>(toKey(o.value(QLatin1String("PGN"))), 0xFFFFFFFF));
        p.id = intern(o.value(QLatin1String("Id")).toString());
        p.description = intern(o.value(QLatin1String("Description")).toString());
        p.length = static_cast<std::uint32_t>(o.value(QLatin1String("Length")).toInt());
        p.transport = transportOf(o.value(QLatin1String("Type")).toString());
        p.fallback = o.value(QLatin1String("Fallback")).toBool(false);
        p.complete = o.value(QLatin1String("Complete")).toBool(false);
        for (int s = 0; s < 2; ++s) {
            const QString prefix = QStringLiteral("RepeatingFieldSet%1").arg(s + 1);
            p.sets[s].size =
                static_cast<std::uint16_t>(o.value(prefix + QLatin1String("Size")).toInt());
            p.sets[s].startField =
                static_cast<std::uint16_t>(o.value(prefix + QLatin1String("StartField")).toInt());
            p.sets[s].countField =
                static_cast<std::uint16_t>(o.value(prefix + QLatin1String("CountField")).toInt());
        }
        p.firstField = static_cast<std::uint32_t>(t_.fields.size());
        for (const QJsonValue& fv : o.value(QLatin1String("Fields")).toArray()) {
            n2k::FieldDef f;
            if (!readField(fv.toObject(), f, error)) {
                error = QStringLiteral("PGN %1: %2").arg(p.pgn).arg(error);
                return false;
            }
            p.matchCount = static_cast<std::uint8_t>(p.matchCount + (f.hasMatch ? 1 : 0));
            t_.fields.push_back(f);
        }
        p.fieldCount = static_cast<std::uint32_t>(t_.fields.size() - p.firstField);
        t_.pgns.push_back(p);
        return true;
    }

    n2k::PgnTables t_;
    std::unordered_map<std::string, n2k::TextRef> interned_;
    QHash<QString, std::int32_t> lookupIndex_;
    QHash<QString, std::int32_t> indirectIndex_;
    QHash<QString, std::int32_t> bitIndex_;
    QHash<QString, std::int32_t> fieldTypeIndex_;
};

}  // namespace

bool parsePgnDatabase(const QByteArray& json, n2k::PgnDatabase& out, QString& error) {
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (doc.isNull()) {
        error = QStringLiteral("not JSON: %1 at byte %2")
                    .arg(parseError.errorString())
                    .arg(parseError.offset);
        return false;
    }
    if (!doc.isObject()) {
        error = QStringLiteral("not a PGN database: the top level is not an object");
        return false;
    }
    Builder builder;
    if (!builder.build(doc.object(), error)) {
        error = QStringLiteral("not a usable PGN database: %1").arg(error);
        return false;
    }
    out = n2k::PgnDatabase(builder.take());
    return true;
}

QString tablesImagePath(const QString& databasePath) {
    return databasePath + QStringLiteral(".tables");
}

bool loadPgnDatabase(const QString& path, n2k::PgnDatabase& out, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read the PGN database %1: %2").arg(path, file.errorString());
        return false;
    }
    const QByteArray json = file.readAll();
    // The prepared tables beside the database, when they were made from these very
    // bytes, spare the JSON parse; anything else about them sends us to the JSON.
    QFile imageFile(tablesImagePath(path));
    if (imageFile.open(QIODevice::ReadOnly)) {
        const QByteArray image = imageFile.readAll();
        n2k::PgnTables tables;
        if (n2k::readTablesImage(
                std::string_view(image.constData(), std::size_t(image.size())),
                std::uint64_t(json.size()),
                n2k::databaseHash(std::string_view(json.constData(), std::size_t(json.size()))),
                tables)) {
            out = n2k::PgnDatabase(std::move(tables));
            return true;
        }
    }
    if (!parsePgnDatabase(json, out, error)) {
        error = QStringLiteral("PGN database %1: %2").arg(path, error);
        return false;
    }
    return true;
}

bool writeTablesImageFor(const QString& databasePath, const QString& imagePath, QString& error) {
    QFile file(databasePath);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read the PGN database %1: %2")
                    .arg(databasePath, file.errorString());
        return false;
    }
    const QByteArray json = file.readAll();
    n2k::PgnDatabase database;
    if (!parsePgnDatabase(json, database, error)) {
        error = QStringLiteral("PGN database %1: %2").arg(databasePath, error);
        return false;
    }
    const std::string image = n2k::writeTablesImage(
        database.tables(), std::uint64_t(json.size()),
        n2k::databaseHash(std::string_view(json.constData(), std::size_t(json.size()))));
    QSaveFile out(imagePath);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(image.data(), qint64(image.size())) != qint64(image.size()) || !out.commit()) {
        error = QStringLiteral("cannot write %1: %2").arg(imagePath, out.errorString());
        return false;
    }
    return true;
}

bool loadProgramPgnDatabase(n2k::PgnDatabase& out, QString& error) {
    return loadPgnDatabase(QString::fromStdString(pgnDatabasePath()), out, error);
}

const n2k::PgnDatabase* programPgnDatabase(QString& error) {
    static n2k::PgnDatabase database;
    static QString failure;
    static const bool loaded = loadProgramPgnDatabase(database, failure);
    error = failure;
    return loaded ? &database : nullptr;
}

const n2k::PgnDatabase* programPgnDatabaseOrSay(const char* program) {
    QString error;
    const n2k::PgnDatabase* database = programPgnDatabase(error);
    static bool said = false;
    if (database == nullptr && !said) {
        said = true;
        std::fprintf(stderr, "%s: NMEA 2000 PGNs are shown raw: %s\n", program, qPrintable(error));
    }
    return database;
}

}  // namespace n2kdb
