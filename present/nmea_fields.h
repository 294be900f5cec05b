// Reading sentence record fields for display, by walking the sentence layout table.
#pragma once

#include <QString>
#include <span>
#include <string_view>

#include "nmea/sentence_fields.h"

namespace present {

using nmeaz::FieldKind;
using NmeaFieldRef = const nmeaz::FieldLayout*;

// The record fields of the type with this parse code, in record order; empty for an
// unknown code.
std::span<const nmeaz::FieldLayout> nmeaRecordFields(int code);

// The field of that name in the record of the type with this parse code. A name the
// record does not have is a programming error.
NmeaFieldRef nmeaField(int code, std::string_view name);

// Writes the field of the record by its kind: double as a number, int as an integer,
// char as the character itself.
void appendNmeaField(QString& out, NmeaFieldRef field, const void* record);
QString formatNmeaField(NmeaFieldRef field, const void* record);

}  // namespace present
