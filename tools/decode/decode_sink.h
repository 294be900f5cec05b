// Collects the results of the parse cycle per sentence and writes them as JSON lines
// or counts them per key.
#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <unordered_map>
#include <vector>

#include "nmea/line_counters.h"
#include "nmea/parser_context.h"
#include "present/parse_cycle.h"
#include "present/sentence_tally.h"
#include "present/stream_router.h"

namespace decode {

class DecodeSink : public present::CycleSink {
public:
    // With `stats` the stream is counted; with `summary` or `stats` no JSON lines are
    // written.
    DecodeSink(bool summary, bool stats) : summary_(summary), stats_(stats) {}

    // Exactly the sentence format: sentences that deviate from it are dropped.
    void setStrict(bool strict) { strict_ = strict; }
    // Logs are files: a line that starts with '#' is a comment.
    unsigned framingRules() const override {
        return nmeaz::kCommentLines | (strict_ ? nmeaz::kStrictFraming : 0u);
    }

    void resultList(int code, const QStringList& list) override;
    void resultText(int code, const QString& text) override;
    void snapshot(int code, void* record) override;
    void separator() override {}
    void sentenceDone(int code) override;
    // Every form is written straight from the decoded records (see direct_json.h).
    bool wantsPresentation() const override { return false; }

    // Writes the named output (one object of named, full-precision values per
    // sentence) in place of the JSON lines.
    void setNamed(bool named) { named_ = named; }
    nmeaz::LineCounters* lineCounters() override { return stats_ ? &counters_ : nullptr; }
    // A PGN: its named object (written the same with or without --named, there being
    // no other form), or its key "PGN 129025" counted.
    void pgnMessage(const n2k::Message& message, const n2k::DecodedPgn& decoded) override;
    // The NMEA 2000 counters --stats adds when the input carried NMEA 2000.
    void setN2kCounters(const present::N2kStreamCounters& counters) { n2k_ = counters; }
    void framedWithDeviations(QByteArrayView sentence, bool checksumGood,
                              nmeaz::FrameDeviations deviations) override;

    // JSON lines written since the last call; the caller sends them out.
    std::string& pendingOutput() { return output_; }

    // "key count" lines in order of first arrival, then the total.
    std::string summaryTable() const;
    // The --stats object over everything decoded so far; `unfinished` bytes of a
    // sentence still in hand at the end count as received.
    std::string statsLine(qsizetype unfinished) const;

private:
    bool summary_;
    bool named_ = false;
    bool stats_;
    bool strict_ = false;
    // The trailing data of the sentence being published, for the named output.
    std::string tail_;
    nmeaz::LineCounters counters_{};
    present::SentenceTally tally_;
    QStringList list_;
    QString text_;
    bool hasList_ = false;
    bool hasText_ = false;
    std::string output_;
    std::unordered_map<std::string, std::size_t> keyIndex_;
    std::vector<std::pair<std::string, long long>> counts_;
    std::unordered_map<std::uint32_t, std::size_t> pgnIndex_;
    std::vector<std::pair<std::string, long long>> pgnCounts_;
    present::N2kStreamCounters n2k_;
};

}  // namespace decode
