// tidewright-decode --lint: reads logs line by line, checks every line that starts
// with '$' or '!' (after a TAG block, if any) with the conformance checker, and
// writes one JSON object per finding and a summary. Lines keep their real line end;
// '#' comment lines are skipped. Independent of what the framer accepts.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "conformance/checker.h"

namespace decode {

class Lint {
public:
    explicit Lint(conformance::Version version) : checker_(version) {}

    // A new file: line numbers start again at 1, groups in progress are forgotten.
    void startFile();
    void feed(const char* data, std::size_t size);
    // Checks a last line that has no line end.
    void finishFile();

    // The JSON lines written so far; the caller empties it.
    std::string& output() { return out_; }
    // {"summary": {...}}, newline-terminated.
    std::string summaryLine() const;

    long sentences() const { return sentences_; }
    long errors() const { return errors_; }
    long warnings() const { return warnings_; }

private:
    void checkLine(std::string_view line);

    // Lines longer than this are cut (and found too long); the rest is counted.
    static constexpr std::size_t kMaxLine = 4096;

    conformance::Checker checker_;
    conformance::Findings findings_;
    std::string pending_;
    bool pendingCut_ = false;
    long lineNumber_ = 0;
    long sentences_ = 0;
    long errors_ = 0;
    long warnings_ = 0;
    std::array<long, conformance::kRuleCount> byRule_{};
    std::string out_;
};

}  // namespace decode
