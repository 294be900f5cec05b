#include "present/nmea_fields.h"

#include <cstdlib>
#include <cstring>

#include "present/record_member.h"
#include "present/value_format.h"

namespace present {

namespace {}  // namespace

std::span<const nmeaz::FieldLayout> nmeaRecordFields(int code) {
    const nmeaz::SentenceLayout* layout = nmeaz::layoutFor(code);
    return layout ? layout->fields : std::span<const nmeaz::FieldLayout>();
}

NmeaFieldRef nmeaField(int code, std::string_view name) {
    for (const nmeaz::FieldLayout& field : nmeaRecordFields(code)) {
        if (name == field.name) {
            return &field;
        }
    }
    // The display tables name fields of the records; a mismatch is a build mistake
    // that must not slip through silently.
    std::abort();
}

void appendNmeaField(QString& out, NmeaFieldRef field, const void* record) {
    switch (field->kind) {
        case FieldKind::Double:
            appendNumber(out, readMember<double>(record, field->offset));
            return;
        case FieldKind::Int:
            appendInteger(out, readMember<int>(record, field->offset));
            return;
        case FieldKind::Char:
            appendCharacter(out, readMember<char>(record, field->offset));
            return;
        case FieldKind::Text: {
            const char* text = readMember<const char*>(record, field->offset);
            if (text != nullptr) {
                out.append(QLatin1StringView(text));
            }
            return;
        }
    }
}

QString formatNmeaField(NmeaFieldRef field, const void* record) {
    QString out;
    appendNmeaField(out, field, record);
    return out;
}

}  // namespace present
