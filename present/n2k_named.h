// What one decoded PGN says, for programs and for people, both from one walk of the
// decoder's record: the named JSON object (the database's field ids, values in its
// units, lookups by name, missing values null, repeating sets as arrays of objects)
// and the inspector's rows (field name, readable value, unit symbol).
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <string>
#include <string_view>

#include "n2k/message.h"
#include "n2k/pgn_decoder.h"

namespace present {

// Appends one JSON object (no newline):
// {"pgn": 129025, "prio": 2, "src": 3, "dst": 255, "description": "Position, Rapid Update",
//  "fields": {"latitude": 60.1234567, "longitude": 24.9876543}}
// A PGN the database lacks is written with "unknown": true and its bytes in hex.
void appendNamedPgn(const n2k::PgnDatabase& database, const n2k::Message& message,
                    const n2k::DecodedPgn& decoded, std::string& out);

struct PgnRow {
    QString name;   // "Water Temperature", "PRN (3)" for the third item of a set
    QString value;  // readable, with its unit symbol; empty for a missing value
    QString unit;   // the unit symbol alone ("°", "kn", "°C", "hPa"), empty for none
    // What a plot of the row needs: the database's field id ("waterTemperature"), the
    // item of a repeating set as the name numbers it (0 outside sets), and whether the
    // value is shown as a number in `unit`.
    QByteArray id = {};
    int item = 0;
    bool number = false;
};

// A value as the readable rows show it when they show it as a number: converted to
// its readable unit (degrees, knots, degrees Celsius, hectopascals), with the decimals
// the row rounds it to.
struct ShownNumber {
    double value = 0;
    QString unit;
    int decimals = 0;
};

// Whether the rows show a field's values as numbers in a unit: numbers, floats,
// durations and numeric dynamic values; not words, bit sets, texts, bytes, dates,
// times of day or identifiers (PGNs, NAMEs, MMSIs). `unit` is the field's own.
bool shownAsNumber(n2k::FieldType type, std::string_view unit);
// The number a row shows for `value`; false for a value that is no such number
// (shownAsNumber) or is missing.
bool shownNumber(const n2k::FieldValue& value, ShownNumber& out);

// One row per decoded field, reserved and spare bits left out.
QList<PgnRow> pgnRows(const n2k::PgnDatabase& database, const n2k::Message& message,
                      const n2k::DecodedPgn& decoded);

}  // namespace present
