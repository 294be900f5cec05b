// The readable view of a decoded sentence or AIS message: the named values of the
// named output written for people ("48°07.0380′ N", "12:35:19", "22.4 kn"), one row
// per entry of the type's result list, so row k still sits beside catalogue row k.
#pragma once

#include <QList>
#include <QString>

#include "present/parse_cycle.h"

namespace present {

struct ReadableRow {
    QString value;  // with its unit symbol, empty for an empty field, "n/a" for AIS codes
    QString unit;   // the unit symbol alone ("kn", "°", "m"), empty for none
};

// The rows of what the cycle is publishing; empty for a type without a result list.
QList<ReadableRow> readableRows(const DecodedSentence& decoded);

// The scaled values of an AIS record (the weather and sea values of message 8, the
// draught of message 5) that it carries, each with its name in the named output
// ("air_temperature") and its readable form; values not available are left out.
struct NamedReadableRow {
    QString name;
    ReadableRow row;
};
QList<NamedReadableRow> aisScaledRows(const ais::AisMessageLayout& layout, const void* record);

}  // namespace present
