#include "conformance/checker.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "ais/bits.h"
#include "conformance/ais_lengths.h"
#include "conformance/talkers.h"
#include "nmea/checksum.h"
#include "nmea/decimal.h"
#include "nmea/sentence_fields.h"

namespace conformance {

bool Findings::hasError() const {
    for (const Finding& finding : *this) {
        if (finding.severity == Severity::Error)
            return true;
    }
    return false;
}

bool parseVersion(std::string_view text, Version& version) {
    if (text == "2.3" || text == "2.x") {
        version = Version::V2;
    } else if (text == "3.01") {
        version = Version::V301;
    } else if (text == "4.10") {
        version = Version::V410;
    } else if (text == "4.11") {
        version = Version::V411;
    } else {
        return false;
    }
    return true;
}

namespace {

constexpr int kMaxSplitFields = 64;

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

// A field value as a message quotes it: printable, at most about 30 characters.
struct Quoted {
    char text[36];
};
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

__attribute__((format(printf, 6, 7))) void report(Findings& out, RuleId rule, Severity severity,
                                                  int field, const char* name, const char* format,
                                                  ...) {
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

const nmeaz::SentenceLayout* layoutNamed(std::string_view formatter) {
    if (formatter == "VDO")
        formatter = "VDM";
    for (const nmeaz::SentenceLayout& layout : nmeaz::kSentenceLayouts) {
        if (formatter[0] == layout.formatter[0] && formatter[1] == layout.formatter[1] &&
            formatter[2] == layout.formatter[2])
            return &layout;
    }
    return nullptr;
}

bool countAllowed(const nmeaz::FieldCounts& counts, Version version, int count) {
    if (count < 0 || count > 63)
        return false;
    const std::uint64_t bit = std::uint64_t{1} << count;
    if (version == Version::Any) {
        for (std::uint64_t mask : counts.byVersion) {
            if ((mask & bit) != 0)
                return true;
        }
        return false;
    }
    return (counts.byVersion[static_cast<std::size_t>(version) - 1] & bit) != 0;
}

// "8", "11, 12 or 13", "4, 8, 12, 16 …": the counts a version (or any) allows.
void describeCounts(const nmeaz::FieldCounts& counts, Version version, char* buffer,
                    std::size_t size) {
    std::uint64_t mask = 0;
    if (version == Version::Any) {
        for (std::uint64_t m : counts.byVersion)
            mask |= m;
    } else {
        mask = counts.byVersion[static_cast<std::size_t>(version) - 1];
    }
    std::size_t n = 0;
    buffer[0] = '\0';
    int listed = 0;
    for (int count = 0; count < 64 && n + 8 < size; ++count) {
        if ((mask & (std::uint64_t{1} << count)) == 0)
            continue;
        if (listed == 6) {
            n += static_cast<std::size_t>(std::snprintf(buffer + n, size - n, " ..."));
            break;
        }
        n += static_cast<std::size_t>(
            std::snprintf(buffer + n, size - n, listed == 0 ? "%d" : ", %d", count));
        ++listed;
    }
    if (listed == 0)
        std::snprintf(buffer, size, "none (not in this version)");
}

bool checksumRequired(Version version, std::string_view formatter) {
    if (version == Version::V301 || version == Version::V410 || version == Version::V411)
        return true;
    return formatter == "RMA" || formatter == "RMB" || formatter == "RMC";
}

// The bytes a line ends with, as a message names them.
const char* endingName(std::string_view ending) {
    if (ending.empty())
        return "no line end";
    if (ending == "\n")
        return "LF without CR";
    if (ending == "\r\r\n")
        return "CR CR LF";
    if (ending == "\r")
        return "CR without LF";
    return "an unusual line end";
}

}  // namespace

Checker::GroupSlot& Checker::slot(std::array<GroupSlot, kGroupSlots>& slots, int& victim,
                                  const char* key) {
    for (GroupSlot& s : slots) {
        if (s.used && std::memcmp(s.key, key, sizeof s.key) == 0)
            return s;
    }
    for (GroupSlot& s : slots) {
        if (!s.used) {
            s = GroupSlot{};
            std::memcpy(s.key, key, sizeof s.key);
            return s;
        }
    }
    GroupSlot& s = slots[static_cast<std::size_t>(victim)];
    victim = (victim + 1) % kGroupSlots;
    s = GroupSlot{};
    std::memcpy(s.key, key, sizeof s.key);
    return s;
}

void Checker::reset() {
    gsv_ = {};
    ais_ = {};
    gsvVictim_ = 0;
    aisVictim_ = 0;
}

int Checker::check(std::string_view line, Findings& out) {
    out.count = 0;
    std::size_t end = line.size();
    while (end > 0 && (line[end - 1] == '\r' || line[end - 1] == '\n'))
        --end;
    const std::string_view ending = line.substr(end);
    const std::string_view content = line.substr(0, end);
    if (content.empty() || (content[0] != '$' && content[0] != '!'))
        return 0;

    if (ending != "\r\n") {
        report(out, RuleId::LineEnd, Severity::Warning, -1, nullptr,
               "the sentence ends with %s; expected CR LF", endingName(ending));
    }
    if (content.size() + 2 > 82) {
        report(out, RuleId::TooLong, Severity::Error, -1, nullptr,
               "%zu characters with CR LF; at most 82", content.size() + 2);
    }

    const std::size_t star = content.find('*');
    const std::string_view body =
        content.substr(1, star == std::string_view::npos ? std::string_view::npos : star - 1);

    // The address: a talker and a formatter, or P and a maker's code.
    const std::size_t comma = body.find(',');
    const std::string_view address = body.substr(0, comma);
    const bool proprietary = !address.empty() && address[0] == 'P';
    const std::string_view formatter =
        !proprietary && address.size() == 5 ? address.substr(2) : std::string_view{};

    if (star == std::string_view::npos) {
        const Severity severity =
            checksumRequired(version_, formatter) ? Severity::Error : Severity::Warning;
        report(out, RuleId::ChecksumMissing, severity, -1, nullptr, "no checksum%s",
               severity == Severity::Error ? "; this sentence requires one" : "");
    } else {
        const std::string_view after = content.substr(star + 1);
        const bool twoDigits = after.size() >= 2 && isHex(after[0]) && isHex(after[1]);
        if (!twoDigits) {
            report(out, RuleId::ChecksumMismatch, Severity::Error, -1, nullptr,
                   "the checksum '%s' is not two hexadecimal digits", quoted(after).text);
        } else {
            const int carried = hexValue(after[0]) * 16 + hexValue(after[1]);
            const int computed = nmeaz::checksumOf(body);
            if (carried != computed) {
                report(out, RuleId::ChecksumMismatch, Severity::Error, -1, nullptr,
                       "the checksum is %c%c; the sentence sums to %02X", after[0], after[1],
                       computed);
            }
            if ((after[0] >= 'a' && after[0] <= 'f') || (after[1] >= 'a' && after[1] <= 'f')) {
                report(out, RuleId::ChecksumCase, Severity::Error, -1, nullptr,
                       "the checksum %c%c is written in lower case", after[0], after[1]);
            }
            if (after.size() > 2) {
                report(out, RuleId::TrailingData, Severity::Error, -1, nullptr,
                       "%zu characters after the checksum: '%s'", after.size() - 2,
                       quoted(after.substr(2)).text);
            }
        }
    }

    for (std::size_t i = 0; i < body.size(); ++i) {
        const auto c = static_cast<unsigned char>(body[i]);
        const char* problem = nullptr;
        if (c < 0x20 || c > 0x7E) {
            problem = "is not printable ASCII";
        } else if (c == '$' || c == '!' || c == '\\' || c == '~') {
            problem = "is reserved";
        } else if (c == '^') {
            if (i + 2 >= body.size() || !isHex(body[i + 1]) || !isHex(body[i + 2]))
                problem = "does not start a ^hh escape";
            else
                i += 2;
        }
        if (problem != nullptr) {
            report(out, RuleId::BadCharacter, Severity::Error, -1, nullptr,
                   "character 0x%02X at column %zu %s", c, i + 2, problem);
            break;
        }
    }

    if (proprietary) {
        if (address.size() < 4) {
            report(out, RuleId::TalkerUnknown, Severity::Warning, 0, "address",
                   "proprietary address '%s' has no three-letter maker's code",
                   quoted(address).text);
        }
        return out.count;
    }
    if (address.size() != 5) {
        report(out, RuleId::FieldFormat, Severity::Error, 0, "address",
               "the address '%s' is not a talker and a three-letter formatter",
               quoted(address).text);
        return out.count;
    }
    if (!knownTalker(address[0], address[1])) {
        report(out, RuleId::TalkerUnknown, Severity::Warning, 0, "talker",
               "talker '%c%c' is not in the standard's list", address[0], address[1]);
    }

    const nmeaz::SentenceLayout* layout = layoutNamed(formatter);
    if (layout == nullptr)
        return out.count;

    // The fields after the address, field 1 first.
    std::array<std::string_view, kMaxSplitFields + 1> fields{};
    int count = 0;
    if (comma != std::string_view::npos) {
        std::size_t start = comma + 1;
        for (;;) {
            const std::size_t next = body.find(',', start);
            ++count;
            if (count <= kMaxSplitFields) {
                fields[static_cast<std::size_t>(count)] =
                    body.substr(start, next == std::string_view::npos ? next : next - start);
            }
            if (next == std::string_view::npos)
                break;
            start = next + 1;
        }
    }

    const nmeaz::FieldCounts& counts = nmeaz::fieldCountsOf(*layout);
    if (!countAllowed(counts, version_, count)) {
        char allowed[64];
        describeCounts(counts, version_, allowed, sizeof allowed);
        report(out, RuleId::FieldCount, Severity::Error, -1, nullptr,
               "%s has %d fields; expected %s%s%s", layout->formatter, count, allowed,
               version_ == Version::Any ? "" : " in ",
               version_ == Version::Any
                   ? ""
                   : nmeaz::kStandardVersionNames[static_cast<std::size_t>(version_) - 1]);
    }
    if (count > kMaxSplitFields)
        return out.count;

    const bool gsv = formatter == "GSV";
    const bool ais = formatter == "VDM" || formatter == "VDO";
    const bool gsvSignal = gsv && count % 4 == 0;
    for (std::size_t i = 0; i < layout->fields.size(); ++i) {
        const nmeaz::FieldLayout& field = layout->fields[i];
        const int index = field.from > 0 ? field.from : count + 1 + field.from;
        if (index < 1 || index > count || (gsvSignal && index == count))
            continue;
        if (ais && (index == 1 || index == 2 || index == 3 || index == 4 || index == 6))
            continue;  // the AIS rules check these
        const bool before = index > 1 && !fields[static_cast<std::size_t>(index - 1)].empty();
        checkField(out, index, nmeaz::namedOf(field), nmeaz::domainOf(*layout, i),
                   fields[static_cast<std::size_t>(index)], before);
    }

    if (gsv && count >= 3)
        checkGsv(address, fields.data(), count, out);
    if (ais && count == 6)
        checkAis(address, fields.data(), out);
    return out.count;
}

void Checker::checkGsv(std::string_view address, const std::string_view* fields, int count,
                       Findings& out) {
    long total = 0, index = 0, inView = 0;
    if (!wholeInteger(fields[1], total) || !wholeInteger(fields[2], index) ||
        !wholeInteger(fields[3], inView) || total < 1 || index < 1)
        return;
    const char key[4] = {address[0], address[1],
                         count % 4 == 0 && !fields[count].empty() ? fields[count][0] : '-', 0};
    const int lastSatelliteField = count - (count % 4 == 0 ? 1 : 0);
    int listed = 0;
    for (int first = 4; first <= lastSatelliteField; first += 4) {
        if (!fields[first].empty())
            ++listed;
    }
    GroupSlot& s = slot(gsv_, gsvVictim_, key);
    const bool known = s.used;
    s.used = true;
    const auto warn = [&](const char* text, long a, long b) {
        report(out, RuleId::GsvGroup, Severity::Warning, -1, nullptr, text, a, b);
    };
    if (index > total) {
        warn("part %ld of a group of %ld", index, total);
        s.active = false;
        return;
    }
    if (index == 1) {
        if (s.active)
            warn("the group before ended after part %ld of %ld", s.next - 1L, s.total);
        s.active = true;
        s.total = static_cast<int>(total);
        s.announced = static_cast<int>(inView);
        s.seen = 0;
    } else if (!s.active) {
        if (known)
            warn("part %ld of %ld without the parts before it", index, total);
        s.active = false;
        return;
    } else {
        if (index != s.next)
            warn("part %ld follows part %ld", index, s.next - 1L);
        if (total != s.total)
            warn("a group of %ld parts continues one of %ld", total, static_cast<long>(s.total));
        if (inView != s.announced)
            warn("%ld satellites in view, the group began with %ld", inView,
                 static_cast<long>(s.announced));
    }
    s.next = static_cast<int>(index) + 1;
    s.seen += listed;
    if (s.seen > s.announced && s.seen - listed <= s.announced)
        warn("%ld satellites listed, %ld announced in view", static_cast<long>(s.seen),
             static_cast<long>(s.announced));
    if (index == total)
        s.active = false;
}

void Checker::checkAis(std::string_view address, const std::string_view* fields, Findings& out) {
    long total = 0, number = 0, fill = 0;
    const std::string_view sequence = fields[3];
    const std::string_view channel = fields[4];
    const std::string_view payload = fields[5];
    const bool counted = wholeInteger(fields[1], total) && wholeInteger(fields[2], number) &&
                         total >= 1 && total <= 9 && number >= 1 && number <= total;
    if (!counted) {
        report(out, RuleId::AisFragments, Severity::Error, 1, "fragment_total",
               "fragment '%s' of '%s'; expected a number from 1 to a count from 1 to 9",
               quoted(fields[2]).text, quoted(fields[1]).text);
    }
    if (!sequence.empty() && (sequence.size() != 1 || !isDigit(sequence[0]))) {
        report(out, RuleId::AisFragments, Severity::Error, 3, "sequence_id",
               "sequence id '%s'; expected one digit", quoted(sequence).text);
    } else if (counted && total > 1 && sequence.empty()) {
        report(out, RuleId::AisFragments, Severity::Error, 3, "sequence_id",
               "a message in %ld fragments without a sequence id", total);
    }
    if (!channel.empty() && (channel.size() != 1 || std::strchr("AB12", channel[0]) == nullptr)) {
        report(out, RuleId::AisFragments, Severity::Error, 4, "channel",
               "channel '%s'; expected A, B, 1 or 2", quoted(channel).text);
    }
    const bool fillRead = wholeInteger(fields[6], fill) && fill >= 0 && fill <= 5;
    if (!fillRead) {
        report(out, RuleId::AisFillBits, Severity::Error, 6, "fill_bits",
               "fill bits '%s'; expected 0 to 5", quoted(fields[6]).text);
    } else if (counted && number < total && fill != 0) {
        report(out, RuleId::AisFillBits, Severity::Error, 6, "fill_bits",
               "%ld fill bits on fragment %ld of %ld; only the last may have any", fill, number,
               total);
    }
    for (std::size_t i = 0; i < payload.size(); ++i) {
        const char c = payload[i];
        if (!((c >= '0' && c <= 'W') || (c >= '`' && c <= 'w'))) {
            report(out, RuleId::FieldFormat, Severity::Error, 5, "payload",
                   "payload character '%c' at %zu is not six-bit armour", c, i + 1);
            break;
        }
    }
    if (!counted || !fillRead || payload.empty())
        return;

    const long bits = 6L * static_cast<long>(payload.size());
    const auto lengthCheck = [&](int type, int part, long messageBits) {
        const AisLength length = aisLengthOf(type, part);
        if (length.low == 0)
            return;
        if (messageBits < length.low || messageBits > length.high) {
            report(out, RuleId::AisPayloadLength, Severity::Error, 5, "payload",
                   "message %d carries %ld bits; expected %d to %d", type, messageBits, length.low,
                   length.high);
        }
    };
    const auto typeOf = [](std::string_view p) { return ais::aisArmourValue(p[0]); };
    const auto partOf = [](std::string_view p) {
        return p.size() > 6 ? (ais::aisArmourValue(p[6]) >> 2) & 3 : 0;
    };
    if (total == 1) {
        lengthCheck(typeOf(payload), partOf(payload), bits - fill);
        return;
    }
    const char key[4] = {address[0], address[1], address[4], sequence.empty() ? '-' : sequence[0]};
    GroupSlot& s = slot(ais_, aisVictim_, key);
    const bool known = s.used;
    s.used = true;
    const char channelLetter = channel.empty() ? '\0' : channel[0];
    if (number == 1) {
        if (s.active) {
            report(out, RuleId::AisFragments, Severity::Error, 2, "fragment_number",
                   "the message before with sequence id %c ended after fragment %d of %d", key[3],
                   s.next - 1, s.total);
        }
        s.active = true;
        s.total = static_cast<int>(total);
        s.channel = channelLetter;
        s.seen = 0;
        s.type = typeOf(payload);
        s.part = partOf(payload);
    } else if (!s.active) {
        if (known) {
            report(out, RuleId::AisFragments, Severity::Error, 2, "fragment_number",
                   "fragment %ld of %ld without the fragments before it", number, total);
        }
        return;
    } else {
        if (number != s.next || total != s.total) {
            report(out, RuleId::AisFragments, Severity::Error, 2, "fragment_number",
                   "fragment %ld of %ld follows fragment %d of %d", number, total, s.next - 1,
                   s.total);
            s.active = false;
            return;
        }
        if (channelLetter != s.channel) {
            report(out, RuleId::AisFragments, Severity::Error, 4, "channel",
                   "fragment %ld on channel '%c', the message began on '%c'", number,
                   channelLetter == '\0' ? '-' : channelLetter,
                   s.channel == '\0' ? '-' : s.channel);
        }
    }
    s.next = static_cast<int>(number) + 1;
    s.seen += static_cast<int>(bits);
    if (number == total) {
        lengthCheck(s.type, s.part, s.seen - fill);
        s.active = false;
    }
}

}  // namespace conformance
