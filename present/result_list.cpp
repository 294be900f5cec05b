#include "present/result_list.h"

#include <algorithm>
#include <cstring>

#include "nmea/sentence_fields.h"
#include "present/nmea_fields.h"
#include "present/record_member.h"
#include "present/value_format.h"

namespace present {

namespace {

using namespace nmeaz;

const SentenceLayout* listedLayout(int code) {
    if (code <= 0 || code >= kCodeAisBase) {
        return nullptr;
    }
    const SentenceLayout* layout = layoutFor(code);
    return layout != nullptr && layout->listed ? layout : nullptr;
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
    return listedLayout(code) != nullptr;
}

QStringList sentenceResultList(int code, const void* record) {
    const SentenceLayout* layout = listedLayout(code);
    if (layout == nullptr || record == nullptr) {
        return QStringList();
    }
    const auto fields = layout->fields;
    QStringList list;
    list.reserve(static_cast<qsizetype>(fields.size()));
    NmeaFieldRef leading = layout->leadingField >= 0 ? &fields[layout->leadingField] : nullptr;
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
