// What the checker's parts share: reading digits and numbers from the wire without
// the C library's locale, quoting a value in a message, and adding a finding.
#pragma once

#include <string_view>

#include "conformance/checker.h"
#include "nmea/field_domains.h"

namespace conformance::detail {

bool isHex(char c);
int hexValue(char c);
bool isDigit(char c);

// A field value as a message quotes it: printable, at most about 30 characters.
struct Quoted {
    char text[36];
};
Quoted quoted(std::string_view value);

// Adds a finding (while there is room) with a printf-style message.
__attribute__((format(printf, 6, 7))) void report(Findings& out, RuleId rule, Severity severity,
                                                  int field, const char* name, const char* format,
                                                  ...);

// A whole decimal integer (optional sign, at most nine digits); false for anything else.
bool wholeInteger(std::string_view text, long& value);
// A decimal number: optional sign, digits, optional fraction, at least one digit.
bool wholeNumber(std::string_view text);
int twoDigits(std::string_view text, std::size_t at);
// `wholeDigits` digits, then optionally a '.' and at least one digit.
bool digitsWithFraction(std::string_view text, std::size_t wholeDigits);

// One field against its domain: its form, then its range and letters; an empty field
// against whether it is needed (`before`: the field before it holds a value).
void checkField(Findings& out, int index, const char* name, nmeaz::Domain domain,
                std::string_view text, bool before);

}  // namespace conformance::detail
