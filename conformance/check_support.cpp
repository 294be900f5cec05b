#include "conformance/check_support.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "nmea/decimal.h"

namespace conformance::detail {

bool isHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return c - 'A' + 10;
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

Quoted quoted(std::string_view value) {
    Quoted out{};
    std::size_t n = 0;
    for (char c : value) {
        if (n + 4 >= sizeof out.text) {
            out.text[n++] = '.';
            out.text[n++] = '.';
            out.text[n++] = '.';
            break;
        }
        const auto u = static_cast<unsigned char>(c);
        out.text[n++] = (u < 0x20 || u > 0x7E) ? '?' : c;
    }
    out.text[n] = '\0';
    return out;
}

void report(Findings& out, RuleId rule, Severity severity, int field, const char* name,
            const char* format, ...) {
    if (out.count >= kMaxFindings)
        return;
    Finding& finding = out.items[static_cast<std::size_t>(out.count++)];
    finding.rule = rule;
    finding.severity = severity;
    finding.field = field;
    finding.fieldName = name;
    va_list args;
    va_start(args, format);
    std::vsnprintf(finding.message.data(), finding.message.size(), format, args);
    va_end(args);
}

// A whole decimal integer (optional sign); false for anything else.
bool wholeInteger(std::string_view text, long& value) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size() || text.size() - i > 9)
        return false;
    long v = 0;
    for (; i < text.size(); ++i) {
        if (!isDigit(text[i]))
            return false;
        v = v * 10 + (text[i] - '0');
    }
    value = negative ? -v : v;
    return true;
}

// A decimal number: optional sign, digits, optional fraction, at least one digit.
bool wholeNumber(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    int digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (isDigit(text[i])) {
            ++digits;
        } else if (text[i] == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digits > 0;
}

int twoDigits(std::string_view text, std::size_t at) {
    return (text[at] - '0') * 10 + (text[at + 1] - '0');
}

// Digits from `from` to `to`, then an optional '.' and at least one digit.
bool digitsWithFraction(std::string_view text, std::size_t wholeDigits) {
    if (text.size() < wholeDigits)
        return false;
    for (std::size_t i = 0; i < wholeDigits; ++i) {
        if (!isDigit(text[i]))
            return false;
    }
    if (text.size() == wholeDigits)
        return true;
    if (text[wholeDigits] != '.' || text.size() == wholeDigits + 1)
        return false;
    for (std::size_t i = wholeDigits + 1; i < text.size(); ++i) {
        if (!isDigit(text[i]))
            return false;
    }
    return true;
}

namespace {

const char* domainLetters(const nmeaz::DomainRule& rule, char* buffer, std::size_t size) {
    std::size_t n = 0;
    for (const char* p = rule.letters; *p != '\0' && n + 4 < size; ++p) {
        if (n > 0) {
            buffer[n++] = ',';
            buffer[n++] = ' ';
        }
        buffer[n++] = *p;
    }
    buffer[n] = '\0';
    return buffer;
}

}  // namespace

// One field against its domain: form, then range and letters.
void checkField(Findings& out, int index, const char* name, nmeaz::Domain domain,
                std::string_view text, bool before) {
    const nmeaz::DomainRule& rule = nmeaz::domainRule(domain);
    if (text.empty()) {
        if (rule.need == nmeaz::Need::Always) {
            report(out, RuleId::FieldRequired, Severity::Error, index, name,
                   "field %d (%s) is empty; a %s is required", index, name, rule.name);
        } else if (rule.need == nmeaz::Need::WithValue && before) {
            report(out, RuleId::FieldRequired, Severity::Error, index, name,
                   "field %d (%s) is empty, but the value before it needs its %s", index, name,
                   rule.name);
        }
        return;
    }
    char letters[40];
    const Quoted value = quoted(text);
    double number = 0;
    bool ranged = false;
    switch (rule.form) {
        case nmeaz::Form::Any:
            return;
        case nmeaz::Form::Character:
            if (text.size() != 1) {
                report(out, RuleId::FieldFormat, Severity::Error, index, name,
                       "field %d (%s) is '%s'; expected one character", index, name, value.text);
            }
            return;
        case nmeaz::Form::Letters:
            if (text.size() != 1 || std::strchr(rule.letters, text[0]) == nullptr) {
                report(out, RuleId::FieldEnum, Severity::Error, index, name,
                       "field %d (%s) is '%s'; expected %s %s", index, name, value.text, rule.name,
                       domainLetters(rule, letters, sizeof letters));
            }
            return;
        case nmeaz::Form::ModeString:
            for (char c : text) {
                if (std::strchr(rule.letters, c) == nullptr) {
                    report(out, RuleId::FieldEnum, Severity::Error, index, name,
                           "field %d (%s) is '%s'; expected %s of %s", index, name, value.text,
                           rule.name, domainLetters(rule, letters, sizeof letters));
                    return;
                }
            }
            return;
        case nmeaz::Form::Integer: {
            long whole = 0;
            if (!wholeInteger(text, whole)) {
                report(out, RuleId::FieldFormat, Severity::Error, index, name,
                       "field %d (%s) is '%s'; expected an integer", index, name, value.text);
                return;
            }
            number = static_cast<double>(whole);
            ranged = true;
            break;
        }
        case nmeaz::Form::Number:
            if (!wholeNumber(text)) {
                report(out, RuleId::FieldFormat, Severity::Error, index, name,
                       "field %d (%s) is '%s'; expected a number", index, name, value.text);
                return;
            }
            number = nmeaz::decimalToDouble(text.data(), text.data() + text.size());
            ranged = true;
            break;
        case nmeaz::Form::Time: {
            const bool shaped = digitsWithFraction(text, 6);
            if (!shaped || twoDigits(text, 0) > 23 || twoDigits(text, 2) > 59 ||
                twoDigits(text, 4) > 60) {
                report(out, RuleId::FieldFormat, Severity::Error, index, name,
                       "field %d (%s) is '%s'; expected a time hhmmss.ss with hours below 24, "
                       "minutes and seconds below 60",
                       index, name, value.text);
            }
            return;
        }
        case nmeaz::Form::Date: {
            const bool shaped = text.size() == 6 && digitsWithFraction(text, 6);
            if (!shaped || twoDigits(text, 0) < 1 || twoDigits(text, 0) > 31 ||
                twoDigits(text, 2) < 1 || twoDigits(text, 2) > 12) {
                report(out, RuleId::FieldFormat, Severity::Error, index, name,
                       "field %d (%s) is '%s'; expected a date ddmmyy", index, name, value.text);
            }
            return;
        }
        case nmeaz::Form::Latitude:
        case nmeaz::Form::Longitude: {
            const bool latitude = rule.form == nmeaz::Form::Latitude;
            const std::size_t degreeDigits = latitude ? 2 : 3;
            if (!digitsWithFraction(text, degreeDigits + 2) || twoDigits(text, degreeDigits) > 59) {
                report(out, RuleId::FieldFormat, Severity::Error, index, name,
                       "field %d (%s) is '%s'; expected %s with minutes below 60", index, name,
                       value.text, latitude ? "ddmm.mm" : "dddmm.mm");
                return;
            }
            const double minutes =
                nmeaz::decimalToDouble(text.data() + degreeDigits, text.data() + text.size());
            int degrees = 0;
            for (std::size_t i = 0; i < degreeDigits; ++i)
                degrees = degrees * 10 + (text[i] - '0');
            if (degrees + minutes / 60.0 > rule.high) {
                report(out, RuleId::FieldRange, Severity::Error, index, name,
                       "field %d (%s) is '%s'; more than %g degrees", index, name, value.text,
                       rule.high);
            }
            return;
        }
    }
    if (!ranged || !(rule.low < rule.high))
        return;
    const bool above = rule.highOpen ? number >= rule.high : number > rule.high;
    if (number < rule.low || above) {
        report(out, rule.coded ? RuleId::FieldEnum : RuleId::FieldRange, Severity::Error, index,
               name, "field %d (%s) is '%s'; expected %s from %g to %s%g", index, name, value.text,
               rule.name, rule.low, rule.highOpen ? "below " : "", rule.high);
    }
}

}  // namespace conformance::detail
