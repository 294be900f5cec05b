#include "conformance/rules_doc.h"

#include <string_view>

#include "conformance/checker.h"
#include "nmea/field_domains.h"
#include "nmea/sentence_fields.h"

namespace conformance {

namespace {

// The line as the example shows it: its line end spelled out.
std::string shown(std::string_view line) {
    std::string out;
    for (char c : line) {
        if (c == '\r')
            out += "<CR>";
        else if (c == '\n')
            out += "<LF>";
        else
            out += c;
    }
    return out;
}

std::string countsText(std::uint64_t mask) {
    if (mask == 0)
        return "–";
    std::string out;
    int listed = 0;
    for (int count = 0; count < 64; ++count) {
        if ((mask & (std::uint64_t{1} << count)) == 0)
            continue;
        if (listed == 6) {
            out += ", …";
            break;
        }
        if (listed > 0)
            out += ", ";
        out += std::to_string(count);
        ++listed;
    }
    return out;
}

std::string numberText(double value) {
    std::string out = std::to_string(value);
    while (!out.empty() && out.back() == '0')
        out.pop_back();
    if (!out.empty() && out.back() == '.')
        out.pop_back();
    return out;
}

}  // namespace

std::string conformanceMarkdown() {
    std::string out =
        "# Conformance rules\n\n"
        "<!-- Written from conformance/rules.h, nmea/field_domains.h and "
        "nmea/sentence_fields.h; a test keeps it in step. -->\n\n"
        "`tidewright-decode --lint` and the monitor check every sentence as received against "
        "these rules. A sentence passes when it conforms to any of the versions 2.x, 3.01, 4.10 "
        "and 4.11, or to the one chosen with `--nmea-version`.\n\n"
        "## Rules\n\n"
        "| id | severity | versions | checks |\n|---|---|---|---|\n";
    for (const Rule& rule : kRules) {
        out += "| `";
        out += rule.name;
        out += "` | ";
        out += severityName(rule.severity);
        out += " | ";
        out += rule.versions;
        out += " | ";
        for (const char* p = rule.checks; *p != '\0'; ++p) {
            if (*p == '|')
                out += '\\';
            out += *p;
        }
        out += " |\n";
    }
    out += "\n## Failing examples\n\n";
    for (const Rule& rule : kRules) {
        Checker checker;
        Findings findings;
        if (rule.setup != nullptr)
            checker.check(rule.setup, findings);
        checker.check(rule.example, findings);
        out += "### `";
        out += rule.name;
        out += "`\n\n```\n";
        if (rule.setup != nullptr)
            out += shown(rule.setup) + "\n";
        out += shown(rule.example);
        out += "\n```\n\n";
        for (const Finding& finding : findings) {
            if (finding.rule != rule.id)
                continue;
            out += "- ";
            out += severityName(finding.severity);
            out += ": ";
            out += finding.message.data();
            out += "\n";
        }
        out += "\n";
    }

    out +=
        "## Field domains\n\nEvery field of the sentence tables belongs to one domain; "
        "`field-format`, `field-range`, `field-enum` and `field-required` check it.\n\n"
        "| domain | letters or range | required |\n|---|---|---|\n";
    for (const nmeaz::DomainRule& rule : nmeaz::kDomainRules) {
        if (&rule == &nmeaz::kDomainRules[0])
            continue;
        out += "| ";
        out += rule.name;
        out += " | ";
        if (rule.letters != nullptr) {
            for (const char* p = rule.letters; *p != '\0'; ++p) {
                if (p != rule.letters)
                    out += ", ";
                out += '`';
                out += *p;
                out += '`';
            }
        } else if (rule.low < rule.high) {
            out += numberText(rule.low) + (rule.highOpen ? " to below " : " to ") +
                   numberText(rule.high);
        } else {
            out += "–";
        }
        out += " | ";
        out += rule.need == nmeaz::Need::Always      ? "always"
               : rule.need == nmeaz::Need::WithValue ? "with the value before it"
                                                     : "no";
        out += " |\n";
    }

    out +=
        "\n## Field counts\n\nThe fields after the address each sentence type has in each "
        "version (`field-count`).\n\n| type | 2.x | 3.01 | 4.10 | 4.11 |\n|---|---|---|---|---|\n";
    for (const nmeaz::FieldCounts& counts : nmeaz::kFieldCounts) {
        out += "| ";
        out += counts.formatter;
        for (std::uint64_t mask : counts.byVersion)
            out += " | " + countsText(mask);
        out += " |\n";
    }
    return out;
}

}  // namespace conformance
