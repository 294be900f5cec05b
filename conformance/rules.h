// The conformance rules: each with a stable id, a severity, the versions of the
// standard it applies to and one sentence that breaks it. The checker, --lint's
// output, the monitor and docs/conformance.md all name rules from this table.
#pragma once

#include <cstdint>
#include <iterator>
#include <string_view>

namespace conformance {

enum class Severity : std::uint8_t { Warning, Error };

constexpr const char* severityName(Severity severity) {
    return severity == Severity::Error ? "error" : "warning";
}

enum class RuleId : std::uint8_t {
    LineEnd,
    ChecksumMissing,
    ChecksumCase,
    ChecksumMismatch,
    TooLong,
    BadCharacter,
    TrailingData,
    TalkerUnknown,
    FieldCount,
    FieldFormat,
    FieldRange,
    FieldEnum,
    FieldRequired,
    GsvGroup,
    AisFillBits,
    AisPayloadLength,
    AisFragments,
    Count,
};
inline constexpr int kRuleCount = static_cast<int>(RuleId::Count);

struct Rule {
    RuleId id;
    const char* name;  // the stable id: "field-range"
    Severity severity;
    const char* versions;  // as the documentation writes them
    const char* checks;    // one line: what the rule asks of a sentence
    // A sentence that breaks the rule (after a GSV or VDM that sets the scene, where
    // the rule needs one), with its line end as received.
    const char* setup;
    const char* example;
};

inline constexpr Rule kRules[] = {
    {RuleId::LineEnd, "line-end", Severity::Warning, "all",
     "CR LF ends the sentence; LF alone or CR CR LF is a warning", nullptr, "$IIMTW,17.8,C*1D\n"},
    {RuleId::ChecksumMissing, "checksum-missing", Severity::Warning, "all",
     "the checksum is present (an error from 3.01 on, and for RMA, RMB and RMC in 2.x)", nullptr,
     "$IIMTW,17.8,C\r\n"},
    {RuleId::ChecksumCase, "checksum-case", Severity::Error, "all",
     "the checksum digits are upper case", nullptr, "$IIHDT,270.8,T*2f\r\n"},
    {RuleId::ChecksumMismatch, "checksum-mismatch", Severity::Error, "all",
     "the checksum is two hexadecimal digits and matches the sentence", nullptr,
     "$IIMTW,17.8,C*1\r\n"},
    {RuleId::TooLong, "too-long", Severity::Error, "all",
     "at most 82 characters from the start character to the line end included", nullptr,
     "$IITXT,01,01,01,A text that is far too long for one sentence of the standard by far*06\r\n"},
    {RuleId::BadCharacter, "bad-character", Severity::Error, "all",
     "only printable ASCII; reserved characters (`!$*,\\^~`) only in their roles; `^hh` "
     "escapes well formed",
     nullptr, "$IITXT,01,01,01,50~ off*6D\r\n"},
    {RuleId::TrailingData, "trailing-data", Severity::Error, "all",
     "nothing between the checksum and the line end", nullptr, "$IIMTW,17.8,C*1D junk\r\n"},
    {RuleId::TalkerUnknown, "talker-unknown", Severity::Warning, "4.11",
     "the talker is in the standard's list, or the sentence is proprietary (P and a maker's code)",
     nullptr, "$XXMTW,17.8,C*1D\r\n"},
    {RuleId::FieldCount, "field-count", Severity::Error, "per version",
     "the field count is one the sentence type has in some version (or in the chosen one)", nullptr,
     "$WIMWD,270.0,T,,M,12.4,N*25\r\n"},
    {RuleId::FieldFormat, "field-format", Severity::Error, "all",
     "the field parses as its kind: time, date, latitude, longitude, number, integer, character",
     nullptr, "$GPZDA,256012.00,07,12,2026,00,00*66\r\n"},
    {RuleId::FieldRange, "field-range", Severity::Error, "all",
     "values in range: latitude, longitude, angles below 360, elevation, SNR, days, months",
     nullptr, "$IIHDT,372.0,T*24\r\n"},
    {RuleId::FieldEnum, "field-enum", Severity::Error, "all",
     "hemisphere, status, mode indicator, unit letters, fix quality and the other letter sets",
     nullptr, "$IIMTW,17.8,F*18\r\n"},
    {RuleId::FieldRequired, "field-required", Severity::Error, "all",
     "fields the sentence cannot be used without (a hemisphere, a unit, a status) are not empty",
     nullptr, "$IIMTW,17.8,*5E\r\n"},
    {RuleId::GsvGroup, "gsv-group", Severity::Warning, "all",
     "GSV parts 1..N in order with the same total and satellites in view, no more satellites "
     "than announced",
     "$GPGSV,3,1,09,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45*75\r\n",
     "$GPGSV,3,3,09,25,10,050,33*43\r\n"},
    {RuleId::AisFillBits, "ais-fill-bits", Severity::Error, "all",
     "VDM/VDO fill bits 0 to 5, and 0 except on the last fragment", nullptr,
     "!AIVDM,1,1,,A,13aEOK?P00PD2wVMdLDRhgvL289?,7*21\r\n"},
    {RuleId::AisPayloadLength, "ais-payload-length", Severity::Error, "all",
     "the payload's bit length fits its message type", nullptr,
     "!AIVDM,1,1,,A,13aEOK?P00PD2wVMdLDRhgvL2,0*18\r\n"},
    {RuleId::AisFragments, "ais-fragments", Severity::Error, "all",
     "fragment numbers and counts consistent, channel A, B, 1 or 2", nullptr,
     "!AIVDM,2,3,1,A,13aEOK?P00PD2wVMdLDRhgvL289?,0*16\r\n"},
};
static_assert(std::size(kRules) == static_cast<std::size_t>(kRuleCount));

constexpr bool rulesInOrder() {
    for (int i = 0; i < kRuleCount; ++i) {
        if (static_cast<int>(kRules[i].id) != i)
            return false;
    }
    return true;
}
static_assert(rulesInOrder(), "kRules is indexed by RuleId");

constexpr const Rule& ruleOf(RuleId id) {
    return kRules[static_cast<std::size_t>(id)];
}

// The rule with this stable id, or nullptr.
inline const Rule* ruleNamed(std::string_view name) {
    for (const Rule& rule : kRules) {
        if (name == rule.name)
            return &rule;
    }
    return nullptr;
}

}  // namespace conformance
