// The --targets mode of the decoder: every AIS message and navigation fix of the log
// merged into targets, printed as one JSON object per target, sorted by MMSI, at the
// end of the input and, when asked, every N seconds of the log's own TAG-block time.
#pragma once

#include <QByteArray>
#include <cstdint>
#include <optional>
#include <string>

#include "nmea/parser_context.h"
#include "present/parse_cycle.h"
#include "targets/target_table.h"

namespace decode {

struct TargetsOptions {
    bool enabled = false;
    int everySeconds = 0;                 // 0: only at the end
    std::optional<targets::OwnShip> own;  // from --own; otherwise from the log
    bool strict = false;                  // from --strict
};

// Reads --targets, --targets-every N and --own LAT,LON[,SOG,COG] at argv[i]. Returns
// the number of arguments used (0: not a targets option, -1: a bad value, with the
// message in `error`).
int parseTargetsOption(int argc, char** argv, int i, TargetsOptions& options, std::string& error);

class TargetsSink : public present::CycleSink {
public:
    explicit TargetsSink(const TargetsOptions& options);

    void resultList(int, const QStringList&) override {}
    void resultText(int, const QString&) override {}
    void snapshot(int, void*) override {}
    void separator() override {}
    void aisRecord(int messageType, const void* record, bool ownShip) override;
    void sentenceRecord(int code, const void* record) override;
    // AIS PGNs merge into the same table; own ship's NMEA 2000 fixes count only while
    // no NMEA 0183 fix is heard.
    void pgnMessage(const n2k::Message& message, const n2k::DecodedPgn& decoded) override;
    // A log is a file: '#' starts a comment line.
    unsigned framingRules() const override {
        return nmeaz::kCommentLines | (options_.strict ? nmeaz::kStrictFraming : 0u);
    }

    // Runs the parse cycle over the complete lines of the buffer, printing the
    // targets whenever the log's time passes the next interval; an incomplete last
    // line stays in the buffer so that its TAG block is read with it.
    void consume(QByteArray& receiveBuffer);
    // At the end of the input: parses what is left and prints the targets.
    void finish(QByteArray& receiveBuffer);

    std::string& pendingOutput() { return output_; }

private:
    void printTargets(bool withTime);

    TargetsOptions options_;
    targets::TargetTable table_;
    std::string output_;
    std::int64_t nowMs_ = 0;
    bool hasTime_ = false;
    std::int64_t nextPrintMs_ = -1;
    std::int64_t nmea0183FixMs_ = -1;  // when an NMEA 0183 fix was last heard
};

}  // namespace decode
