#include "present/result_list.h"

#include <algorithm>
#include <cstring>

#include "nmea/sentence_parsers.h"
#include "present/nmea_fields.h"
#include "present/value_format.h"

namespace present {

namespace {

using namespace nmeaz;

struct ListKind {
    int code;
    // The list follows the record order, except that this field, when named, comes
    // first: GLL lists its time first like the other position sentences.
    const char* leadingField;
};

constexpr ListKind kListKinds[] = {
    {kCodeGga, nullptr}, {kCodeRmc, nullptr}, {kCodeGll, "utc"},   {kCodeDpt, nullptr},
    {kCodeGsa, nullptr}, {kCodeHdg, nullptr}, {kCodeMtw, nullptr}, {kCodeMwd, nullptr},
    {kCodeRma, nullptr}, {kCodeRsa, nullptr}, {kCodeVhw, nullptr}, {kCodeVlw, nullptr},
    {kCodeXte, nullptr}, {kCodeZda, nullptr},
};
static_assert(std::size(kListKinds) == 14);

const ListKind* listKind(int code) {
    for (const ListKind& kind : kListKinds) {
        if (kind.code == code) {
            return &kind;
        }
    }
    return nullptr;
}

template <typename T>
T readMember(const void* record, std::size_t offset) {
    T value;
    std::memcpy(&value, static_cast<const char*>(record) + offset, sizeof value);
    return value;
}

long long aisInteger(const ais::AisField& field, const void* record) {
    if (field.store == ais::AisStore::Signed) {
        return readMember<std::int32_t>(record, field.offset);
    }
    return readMember<std::uint32_t>(record, field.offset);
}

QString aisEntry(const ais::AisField& field, const void* record) {
    switch (field.way) {
        case ais::AisListWay::Integer:
            return formatInteger(aisInteger(field, record));
        case ais::AisListWay::Character:
            return formatCharacter(readMember<char>(record, field.offset));
        case ais::AisListWay::Text:
            return formatText(static_cast<const char*>(record) + field.offset,
                              static_cast<int>(field.size));
        case ais::AisListWay::Degrees:
            return formatDegrees(aisInteger(field, record));
        case ais::AisListWay::Tenths:
            return formatTenths(aisInteger(field, record));
        case ais::AisListWay::Degrees10:
            return formatDegrees(aisInteger(field, record) * 1000);
        case ais::AisListWay::Degrees1000:
            return formatDegrees(aisInteger(field, record) * 10);
    }
    return QString();
}

}  // namespace

bool hasSentenceList(int code) {
    return listKind(code) != nullptr;
}

QStringList sentenceResultList(int code, const void* record) {
    const ListKind* kind = listKind(code);
    if (kind == nullptr || record == nullptr) {
        return QStringList();
    }
    const auto fields = nmeaRecordFields(code);
    QStringList list;
    list.reserve(static_cast<qsizetype>(fields.size()));
    NmeaFieldRef leading = kind->leadingField ? nmeaField(code, kind->leadingField) : nullptr;
    if (leading != nullptr) {
        list.append(formatNmeaField(leading, record));
    }
    for (const nmeaz::FieldLayout& field : fields) {
        if (&field != leading) {
            list.append(formatNmeaField(&field, record));
        }
    }
    return list;
}

QStringList aisResultList(const ais::AisMessageLayout& layout, const void* record) {
    QStringList list;
    list.reserve(layout.maxListEntries);
    for (const ais::AisField& field : layout.fields) {
        if (!ais::aisFieldListed(layout, field, record)) {
            continue;
        }
        // A field the message did not carry is listed empty, not as the zero it reads.
        list.append(ais::aisFieldPresent(layout, field, record) ? aisEntry(field, record)
                                                                : QString());
    }
    return list;
}

}  // namespace present
