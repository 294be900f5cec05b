#include "conformance/checker.h"

#include <cstdio>

#include "conformance/check_support.h"
#include "conformance/talkers.h"
#include "nmea/checksum.h"
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

using namespace detail;

constexpr int kMaxSplitFields = 64;

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

}  // namespace conformance
