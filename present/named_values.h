// Reading one value of a decoded sentence or AIS message by its descriptor, as the
// named output and the readable view present it: positions in signed decimal
// degrees, times and dates split, AIS scaled into knots and degrees, "not available"
// codes and empty fields as nothing. Both views walk the same descriptors through
// these functions, so they cannot disagree.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ais/layout.h"
#include "nmea/sentence_fields.h"

namespace nmeaz {
struct ParserContext;
}

namespace present {

// The wire text of a sentence field: up to the checksum or the line end; empty when
// the sentence does not reach the field (GSA's satellites stop before its last three).
std::string_view wireField(const nmeaz::ParserContext& context, const nmeaz::SentenceLayout& layout,
                           const nmeaz::FieldLayout& field);

// A wire number ("-01.50", "+7", ".5") in JSON number grammar with every digit kept
// ("-1.50", "7", "0.5"); nothing when the text is no plain decimal number.
std::optional<std::string> jsonNumber(std::string_view text);
// What that JSON number is made of: a sign, the integer digits without leading zeros
// ("0" when there are none) and the fraction digits as they came.
struct JsonNumberParts {
    bool negative = false;
    std::string_view integer;
    std::string_view fraction;
};
std::optional<JsonNumberParts> jsonNumberParts(std::string_view text);

// "4807.038" with 'N' -> 48.1173, "01131.000" with 'W' -> -11.516666...; nothing for
// text that is no position or a hemisphere other than N, S, E or W.
std::optional<double> wireDegrees(std::string_view text, char hemisphere);

// "123519.5" -> "12:35:19.500" (at least three decimals, more when the wire has
// them); nothing for text that is not hhmmss[.s...].
std::optional<std::string> wireTime(std::string_view text);

// "230394" -> "1994-03-23" (years 80 to 99 are 19xx, the others 20xx).
std::optional<std::string> wireDate(std::string_view text);

// An AIS field as a number in the units of its named way; nothing for "not
// available" codes. For numeric and character fields only; an Eta field gives its
// packed code (aisEtaParts splits it).
std::optional<double> aisNumber(const ais::AisField& field, const void* record);

// Whether an AIS field holds text (six-bit text or hexadecimal data), not a number.
bool aisIsText(const ais::AisField& field);
// An AIS text without its '@' padding and trailing spaces.
std::string_view aisText(const ais::AisField& field, const void* record);

// Whether the named output and the readable view show this field of this record
// (not omitted, decoded and listed under the message's gate; a value that is never
// listed, whenever it was decoded).
bool aisFieldShown(const ais::AisMessageLayout& layout, const ais::AisField& field,
                   const void* record);

// The shortest text that reads back as the same double.
std::string shortestNumber(double value);

}  // namespace present
