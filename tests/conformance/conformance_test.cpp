// The conformance checker against sentences that break each rule and sentences that
// keep it, per version where the rule depends on one; every sentence type built from
// its descriptor passes; docs/conformance.md is what the rule table writes.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "conformance/ais_lengths.h"
#include "conformance/checker.h"
#include "conformance/rules_doc.h"
#include "nmea/checksum.h"
#include "nmea/sentence_fields.h"

namespace {

using conformance::Checker;
using conformance::Findings;
using conformance::RuleId;
using conformance::Severity;
using conformance::Version;

std::string framed(const std::string& body, const char* ending = "\r\n") {
    return nmeaz::framedSentence(body.rfind("AIVD", 0) == 0 ? '!' : '$', body, ending);
}

std::string describe(const Findings& findings) {
    std::string out;
    for (const auto& finding : findings) {
        out += conformance::ruleOf(finding.rule).name;
        out += ": ";
        out += finding.message.data();
        out += "\n";
    }
    return out;
}

bool fires(const Findings& findings, RuleId rule) {
    for (const auto& finding : findings) {
        if (finding.rule == rule)
            return true;
    }
    return false;
}

struct Case {
    RuleId rule;
    std::vector<std::string> before;  // lines that set up a group
    std::string line;
    bool breaks;
    Version version = Version::Any;
};

std::vector<Case> cases() {
    const std::string gsv1 =
        framed("GPGSV,3,1,10,03,41,050,46,07,60,317,49,08,34,315,45,11,35,148,45");
    const std::string gsv2 =
        framed("GPGSV,3,2,10,13,38,213,45,16,27,068,43,19,72,076,50,23,09,182,37");
    const std::string type1 = "13aEOK?P00PD2wVMdLDRhgvL289?";
    return {
        {RuleId::LineEnd, {}, framed("IIMTW,17.8,C", "\n"), true},
        {RuleId::LineEnd, {}, framed("IIMTW,17.8,C", "\r\r\n"), true},
        {RuleId::LineEnd, {}, framed("IIMTW,17.8,C", ""), true},
        {RuleId::LineEnd, {}, framed("IIMTW,17.8,C"), false},
        {RuleId::ChecksumMissing, {}, "$IIMTW,17.8,C\r\n", true},
        {RuleId::ChecksumMissing, {}, framed("IIMTW,17.8,C"), false},
        {RuleId::ChecksumCase, {}, "$IIHDT,270.8,T*2f\r\n", true},
        {RuleId::ChecksumCase, {}, "$IIHDT,270.8,T*2F\r\n", false},
        {RuleId::ChecksumMismatch, {}, "$IIMTW,17.8,C*D\r\n", true},
        {RuleId::ChecksumMismatch, {}, "$IIMTW,17.8,C*1E\r\n", true},
        {RuleId::ChecksumMismatch, {}, "$IIMTW,17.8,C*\r\n", true},
        {RuleId::ChecksumMismatch, {}, "$IIMTW,17.8,C*1D\r\n", false},
        {RuleId::TooLong, {}, framed("GPTXT,01,01,02," + std::string(62, 'x')), true},
        {RuleId::TooLong, {}, framed("GPTXT,01,01,02," + std::string(61, 'x')), false},
        {RuleId::BadCharacter, {}, framed("GPTXT,01,01,02,50~ off"), true},
        {RuleId::BadCharacter, {}, framed("GPTXT,01,01,02,caf\xe9"), true},
        {RuleId::BadCharacter, {}, framed("GPTXT,01,01,02,a$b"), true},
        {RuleId::BadCharacter, {}, framed("GPTXT,01,01,02,^7"), true},
        {RuleId::BadCharacter, {}, framed("GPTXT,01,01,02,^7E ok"), false},
        {RuleId::TrailingData, {}, framed("IIMTW,17.8,C", " junk\r\n"), true},
        {RuleId::TrailingData, {}, framed("IIMTW,17.8,C"), false},
        {RuleId::TalkerUnknown, {}, framed("XXMTW,17.8,C"), true},
        {RuleId::TalkerUnknown, {}, framed("PGRMZ,246,f,3"), false},
        {RuleId::TalkerUnknown, {}, framed("GNMTW,17.8,C"), false},
        // Field counts: MWD has 8 in every version; RMC grew in 2.3 and 4.10.
        {RuleId::FieldCount, {}, framed("WIMWD,270.0,T,,M,12.4,N"), true},
        {RuleId::FieldCount, {}, framed("WIMWD,270.0,T,,M,12.4,N,6.4,M"), false},
        {RuleId::FieldCount,
         {},
         framed("GPGGA,123520.00,4807.038,N,01131.000,E,1,08,0.9,545.4"),
         true},
        {RuleId::FieldCount,
         {},
         framed("GPRMC,123519.00,A,4807.038,N,01131.000,E,0.4,84.4,071226,3.1,W,A"),
         false,
         Version::V2},
        {RuleId::FieldCount,
         {},
         framed("GPRMC,123519.00,A,4807.038,N,01131.000,E,0.4,84.4,071226,3.1,W,A"),
         true,
         Version::V410},
        {RuleId::FieldCount,
         {},
         framed("GPRMC,123519.00,A,4807.038,N,01131.000,E,0.4,84.4,071226,3.1,W,A,V"),
         false,
         Version::V411},
        {RuleId::FieldCount, {}, framed("IITHS,45.0,A"), true, Version::V2},
        {RuleId::FieldCount, {}, framed("IITHS,45.0,A"), false, Version::V301},
        {RuleId::FieldFormat, {}, framed("GPZDA,246012.00,07,12,2026,00,00"), true},
        {RuleId::FieldFormat, {}, framed("GPZDA,235960.00,07,12,2026,00,00"), false},
        {RuleId::FieldFormat, {}, framed("GPZDA,23601,07,12,2026,00,00"), true},
        {RuleId::FieldFormat,
         {},
         framed("GPRMC,123519.00,A,4807.038,N,01131.000,E,0.4,84.4,321226,3.1,W,A"),
         true},
        {RuleId::FieldFormat, {}, framed("GPGLL,4867.038,N,01131.000,E,123522.00,A,A"), true},
        {RuleId::FieldFormat, {}, framed("GPGLL,48.07038,N,01131.000,E,123522.00,A,A"), true},
        {RuleId::FieldFormat, {}, framed("IIMTW,17.8.1,C"), true},
        {RuleId::FieldFormat, {}, framed("IIMTW,-2.5,C"), false},
        {RuleId::FieldRange, {}, framed("GPGLL,9107.038,N,01131.000,E,123522.00,A,A"), true},
        {RuleId::FieldRange, {}, framed("GPGLL,4807.038,N,18100.000,E,123522.00,A,A"), true},
        {RuleId::FieldRange, {}, framed("GPGLL,9000.000,N,18000.000,W,123522.00,A,A"), false},
        {RuleId::FieldRange, {}, framed("IIHDT,360.0,T"), true},
        {RuleId::FieldRange, {}, framed("IIHDT,359.9,T"), false},
        {RuleId::FieldRange, {}, framed("GPGSV,1,1,01,07,91,317,49"), true},
        {RuleId::FieldRange, {}, framed("GPGSV,1,1,01,07,60,317,100"), true},
        {RuleId::FieldRange, {}, framed("GPGSV,1,1,01,07,60,317,99"), false},
        {RuleId::FieldEnum, {}, framed("GPGLL,4807.038,X,01131.000,E,123521.00,A,A"), true},
        {RuleId::FieldEnum, {}, framed("GPGLL,4807.038,N,01131.000,E,123521.00,B,A"), true},
        {RuleId::FieldEnum, {}, framed("GPGLL,4807.038,N,01131.000,E,123521.00,A,Q"), true},
        {RuleId::FieldEnum,
         {},
         framed("GPGGA,123519.00,4807.038,N,01131.000,E,9,08,0.9,545.4,M,"
                "46.9,M,,"),
         true},
        {RuleId::FieldEnum, {}, framed("GPGSA,X,3,,,,,,,,,,,,,2.2,1.3,1.7"), true},
        {RuleId::FieldEnum,
         {},
         framed("GNGNS,123519.00,4807.038,N,01131.000,E,ANX,08,0.9,545.4,"
                "46.9,,,V"),
         true},
        {RuleId::FieldEnum,
         {},
         framed("GNGNS,123519.00,4807.038,N,01131.000,E,ANN,08,0.9,545.4,"
                "46.9,,,V"),
         false},
        {RuleId::FieldRequired, {}, framed("GPGLL,4807.038,,01131.000,E,123521.00,A,A"), true},
        {RuleId::FieldRequired, {}, framed("GPGLL,,,,,123521.00,V,N"), false},
        {RuleId::FieldRequired, {}, framed("GPGLL,4807.038,N,01131.000,E,123521.00,,A"), true},
        {RuleId::FieldRequired, {}, framed("IIMTW,17.8,"), true},
        {RuleId::FieldRequired, {}, framed("IIMTW,,"), false},
        // GSV groups: a missing part, a changed total or count, too many satellites.
        {RuleId::GsvGroup, {gsv1}, framed("GPGSV,3,3,10,24,06,166,35,28,09,271,36"), true},
        {RuleId::GsvGroup, {gsv1}, framed("GPGSV,4,2,10,13,38,213,45"), true},
        {RuleId::GsvGroup, {gsv1}, framed("GPGSV,3,2,11,13,38,213,45"), true},
        {RuleId::GsvGroup, {gsv1, gsv2}, framed("GPGSV,3,3,10,24,06,166,35,28,09,271,36"), false},
        {RuleId::GsvGroup, {gsv1, gsv2}, framed("GPGSV,3,1,10,03,41,050,46"), true},
        {RuleId::GsvGroup, {}, framed("GPGSV,1,1,02,03,41,050,46,07,60,317,49,08,34,315,45"), true},
        {RuleId::GsvGroup, {}, framed("GPGSV,1,2,02,03,41,050,46"), true},
        // A GLONASS group beside the GPS one does not break it.
        {RuleId::GsvGroup, {gsv1, framed("GLGSV,1,1,01,80,08,148,31")}, gsv2, false},
        {RuleId::AisFillBits, {}, framed("AIVDM,1,1,,A," + type1 + ",6"), true},
        {RuleId::AisFillBits, {}, framed("AIVDM,2,1,3,A," + type1 + ",2"), true},
        {RuleId::AisFillBits, {}, framed("AIVDM,1,1,,A," + type1 + ",0"), false},
        {RuleId::AisPayloadLength, {}, framed("AIVDM,1,1,,A,13aEOK?P00PD2wVMdLDRhgvL2,0"), true},
        {RuleId::AisPayloadLength, {}, framed("AIVDM,1,1,,A," + type1 + "0,0"), true},
        {RuleId::AisPayloadLength,
         {framed("AIVDM,2,1,3,B,55P5TL01VIaAL@7WKO@mBplU@<PDhh000000001S;AJ::4A80?4i@E53,0")},
         framed("AIVDM,2,2,3,B,1@0000000000000,2"),
         false},
        {RuleId::AisPayloadLength,
         {framed("AIVDM,2,1,3,B,55P5TL01VIaAL@7WKO@mBplU@<PDhh000000001S;AJ::4A80?4i@E53,0")},
         framed("AIVDM,2,2,3,B,1@00000000000,2"),
         true},
        {RuleId::AisFragments, {}, framed("AIVDM,2,3,1,A," + type1 + ",0"), true},
        {RuleId::AisFragments, {}, framed("AIVDM,1,1,,C," + type1 + ",0"), true},
        {RuleId::AisFragments, {}, framed("AIVDM,2,1,,A," + type1 + ",0"), true},
        {RuleId::AisFragments,
         {framed("AIVDM,2,1,3,B,55P5TL01VIaAL@7WKO@mBplU@<PDhh000000001S;AJ::4A80?4i@E53,0")},
         framed("AIVDM,2,2,3,A,1@0000000000000,2"),
         true},
        {RuleId::AisFragments,
         {framed("AIVDM,2,1,3,B,55P5TL01VIaAL@7WKO@mBplU@<PDhh000000001S;AJ::4A80?4i@E53,0")},
         framed("AIVDM,2,1,3,B,55P5TL01VIaAL@7WKO@mBplU@<PDhh000000001S;AJ::4A80?4i@E53,0"),
         true},
        {RuleId::AisFragments, {}, framed("AIVDM,1,1,,2," + type1 + ",0"), false},
    };
}

TEST(ConformanceRules, EachRuleBreaksAndKeeps) {
    int checked[conformance::kRuleCount][2] = {};
    for (const Case& c : cases()) {
        Checker checker(c.version);
        Findings findings;
        for (const std::string& line : c.before)
            checker.check(line, findings);
        checker.check(c.line, findings);
        EXPECT_EQ(fires(findings, c.rule), c.breaks)
            << conformance::ruleOf(c.rule).name << " on " << c.line << describe(findings);
        ++checked[static_cast<int>(c.rule)][c.breaks ? 1 : 0];
    }
    for (const conformance::Rule& rule : conformance::kRules) {
        EXPECT_GT(checked[static_cast<int>(rule.id)][0], 0) << rule.name << " has no passing case";
        EXPECT_GT(checked[static_cast<int>(rule.id)][1], 0) << rule.name << " has no failing case";
    }
}

// Each example in the rule table breaks its rule and nothing else, with the rule's
// severity, so the documentation shows what it claims.
TEST(ConformanceRules, ExamplesBreakOnlyTheirRule) {
    for (const conformance::Rule& rule : conformance::kRules) {
        Checker checker;
        Findings findings;
        if (rule.setup != nullptr) {
            checker.check(rule.setup, findings);
            EXPECT_EQ(findings.count, 0) << rule.name << describe(findings);
        }
        checker.check(rule.example, findings);
        ASSERT_EQ(findings.count, 1) << rule.name << describe(findings);
        EXPECT_EQ(findings.items[0].rule, rule.id);
        EXPECT_EQ(findings.items[0].severity, rule.severity) << rule.name;
    }
}

TEST(ConformanceRules, ChecksumMissingIsAnErrorWhereTheVersionRequiresIt) {
    const struct {
        const char* line;
        Version version;
        Severity severity;
    } rows[] = {
        {"$IIMTW,17.8,C\r\n", Version::Any, Severity::Warning},
        {"$IIMTW,17.8,C\r\n", Version::V2, Severity::Warning},
        {"$IIMTW,17.8,C\r\n", Version::V301, Severity::Error},
        {"$IIMTW,17.8,C\r\n", Version::V411, Severity::Error},
        {"$GPRMC,123519.00,A,4807.038,N,01131.000,E,0.4,84.4,071226,3.1,W,A\r\n", Version::V2,
         Severity::Error},
    };
    for (const auto& row : rows) {
        Checker checker(row.version);
        Findings findings;
        checker.check(row.line, findings);
        ASSERT_TRUE(fires(findings, RuleId::ChecksumMissing)) << row.line;
        EXPECT_EQ(findings.items[0].severity, row.severity) << row.line;
        EXPECT_EQ(findings.hasError(), row.severity == Severity::Error);
    }
}

TEST(ConformanceRules, MessagesNameTheFieldAndWhatWasExpected) {
    Checker checker;
    Findings findings;
    checker.check(framed("GPGLL,4807.038,X,01131.000,E,123521.00,A,A"), findings);
    ASSERT_EQ(findings.count, 1) << describe(findings);
    EXPECT_EQ(findings.items[0].field, 2);
    EXPECT_STREQ(findings.items[0].fieldName, "ns");
    EXPECT_STREQ(findings.items[0].message.data(), "field 2 (ns) is 'X'; expected hemisphere N, S");
}

TEST(ConformanceRules, VersionsParse) {
    Version version = Version::Any;
    EXPECT_TRUE(conformance::parseVersion("2.3", version));
    EXPECT_EQ(version, Version::V2);
    EXPECT_TRUE(conformance::parseVersion("4.11", version));
    EXPECT_EQ(version, Version::V411);
    EXPECT_FALSE(conformance::parseVersion("5.0", version));
    EXPECT_FALSE(conformance::parseVersion("", version));
}

// A valid value for every domain, the way a careful talker writes it.
std::string validValue(nmeaz::Domain domain) {
    const nmeaz::DomainRule& rule = nmeaz::domainRule(domain);
    switch (rule.form) {
        case nmeaz::Form::Any:
            return "WP1";
        case nmeaz::Form::Character:
            return "A";
        case nmeaz::Form::Letters:
        case nmeaz::Form::ModeString:
            return std::string(1, rule.letters[0]);
        case nmeaz::Form::Integer:
            return rule.low < rule.high ? std::to_string(static_cast<int>(rule.low)) : "7";
        case nmeaz::Form::Number:
            return rule.low < rule.high ? std::to_string(static_cast<int>(rule.low) + 1) + ".5"
                                        : "2.5";
        case nmeaz::Form::Time:
            return "235959.50";
        case nmeaz::Form::Date:
            return "311226";
        case nmeaz::Form::Latitude:
            return "4807.038";
        case nmeaz::Form::Longitude:
            return "01131.000";
    }
    return "";
}

// Every type, built from its descriptor with the most fields one version allows and
// valid values throughout, passes every rule in every version that has that count.
TEST(ConformanceRules, WellFormedSentencesOfEveryTypePass) {
    int built = 0;
    for (const nmeaz::SentenceLayout& layout : nmeaz::kSentenceLayouts) {
        if (std::string_view(layout.formatter) == "VDM")
            continue;  // the AIS cases above cover it
        const nmeaz::FieldCounts& counts = nmeaz::fieldCountsOf(layout);
        std::uint64_t any = 0;
        for (std::uint64_t mask : counts.byVersion)
            any |= mask;
        // The most fields a version allows that still fit in 82 characters.
        std::string body;
        int count = 0;
        for (int n = nmeaz::kMaxFields - 1; n >= 1 && count == 0; --n) {
            if (((any >> n) & 1u) == 0)
                continue;
            std::vector<std::string> fields(static_cast<std::size_t>(n) + 1);
            for (std::size_t i = 0; i < layout.fields.size(); ++i) {
                const int from = layout.fields[i].from;
                const int index = from > 0 ? from : n + 1 + from;
                if (index >= 1 && index <= n)
                    fields[static_cast<std::size_t>(index)] =
                        validValue(nmeaz::domainOf(layout, i));
            }
            const std::string formatter = layout.formatter;
            if (formatter == "GSV")
                fields[3] = "4";  // satellites in view: at most the four listed
            if (formatter == "ZDA")
                fields[4] = "2026";
            body = "GP" + formatter;
            for (int i = 1; i <= n; ++i)
                body += "," + fields[static_cast<std::size_t>(i)];
            if (body.size() + 6 <= 82)
                count = n;
        }
        ASSERT_GT(count, 0) << layout.formatter;
        for (int v = 0; v < nmeaz::kStandardVersionCount; ++v) {
            if (((counts.byVersion[static_cast<std::size_t>(v)] >> count) & 1u) == 0)
                continue;
            Checker checker(static_cast<Version>(v + 1));
            Findings findings;
            checker.check(framed(body), findings);
            EXPECT_EQ(findings.count, 0) << framed(body) << describe(findings);
        }
        ++built;
    }
    EXPECT_EQ(built, nmeaz::kSentenceTypeCount - 1);
}

TEST(ConformanceRules, AisLengthsFollowTheLayouts) {
    EXPECT_EQ(conformance::aisLengthOf(1, 0).low, 168);
    EXPECT_EQ(conformance::aisLengthOf(1, 0).high, 168);
    EXPECT_EQ(conformance::aisLengthOf(5, 0).high, 424);
    EXPECT_EQ(conformance::aisLengthOf(24, 0).low, 160);
    EXPECT_EQ(conformance::aisLengthOf(24, 0).high, 168);
    EXPECT_EQ(conformance::aisLengthOf(24, 3).low, 0);
    EXPECT_EQ(conformance::aisLengthOf(24, 1).high, 168);
    EXPECT_LE(conformance::aisLengthOf(7, 0).low, 72);
    EXPECT_EQ(conformance::aisLengthOf(28, 0).low, 0);
}

// Hostile bytes: every prefix of a long line of odd characters checks without
// reading past it, and a flood of findings is capped.
TEST(ConformanceRules, HostileLinesAreCapped) {
    std::string line = "$GPGSA";
    for (int i = 0; i < 200; ++i)
        line += ",\xff^";
    line += "*ZZ tail\r\r\r\n";
    Checker checker;
    Findings findings;
    for (std::size_t n = 0; n <= line.size(); ++n)
        checker.check(std::string_view(line).substr(0, n), findings);
    EXPECT_LE(findings.count, conformance::kMaxFindings);
    EXPECT_TRUE(findings.hasError());
}

TEST(ConformanceDoc, MatchesTheRuleTable) {
    const std::string generated = conformance::conformanceMarkdown();
    std::ifstream file(TIDEWRIGHT_CONFORMANCE_DOC, std::ios::binary);
    std::stringstream stored;
    stored << file.rdbuf();
    if (std::getenv("TIDEWRIGHT_WRITE_DOCS") != nullptr) {
        std::ofstream(TIDEWRIGHT_CONFORMANCE_DOC, std::ios::binary) << generated;
        GTEST_SKIP() << "wrote " << TIDEWRIGHT_CONFORMANCE_DOC;
    }
    EXPECT_EQ(stored.str(), generated)
        << "docs/conformance.md is stale: run conformance_test with TIDEWRIGHT_WRITE_DOCS=1";
    for (const conformance::Rule& rule : conformance::kRules)
        EXPECT_NE(generated.find(std::string("### `") + rule.name + "`"), std::string::npos);
}

}  // namespace
