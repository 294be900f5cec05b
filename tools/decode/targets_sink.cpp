#include "targets_sink.h"

#include <charconv>
#include <cstring>
#include <limits>

#include "nmea/sentence_parsers.h"
#include "nmea/tag_block.h"
#include "program_database.h"
#include "targets/ais_reports.h"
#include "targets/n2k_reports.h"
#include "targets/nmea_fixes.h"
#include "targets/target_json.h"

namespace decode {

namespace {

// A log lists every target it saw, however long ago: ageing is for a live picture.
targets::TableSettings decoderSettings() {
    targets::TableSettings settings;
    settings.removeAfterMs = std::numeric_limits<std::int64_t>::max() / 8;
    return settings;
}

bool readNumber(const char*& p, const char* end, double& value) {
    const auto result = std::from_chars(p, end, value);
    if (result.ec != std::errc{}) {
        return false;
    }
    p = result.ptr;
    return true;
}

// "LAT,LON" or "LAT,LON,SOG,COG" in decimal degrees and knots.
bool parseOwn(const char* text, targets::OwnShip& own) {
    double values[4] = {};
    const char* p = text;
    const char* const end = text + std::strlen(text);
    int count = 0;
    while (count < 4) {
        if (!readNumber(p, end, values[count])) {
            return false;
        }
        ++count;
        if (p == end) {
            break;
        }
        if (*p++ != ',') {
            return false;
        }
    }
    if (p != end || (count != 2 && count != 4)) {
        return false;
    }
    if (values[0] < -90 || values[0] > 90 || values[1] < -180 || values[1] > 180 || values[2] < 0 ||
        values[3] < 0 || values[3] >= 360) {
        return false;
    }
    own.hasPosition = true;
    own.hasMotion = true;  // stationary unless told otherwise
    own.kinematics = {values[0], values[1], values[2], values[3]};
    return true;
}

// The receive time of a line that starts with a TAG block, read as replay reads it;
// -1 when it has none.
std::int64_t tagTimeMs(const char* line, const char* end) {
    nmeaz::TagBlock tag;
    if (nmeaz::parseTagBlock(line, static_cast<std::size_t>(end - line), tag) == 0 ||
        !tag.hasTime) {
        return -1;
    }
    return tag.timeMs;
}

}  // namespace

int parseTargetsOption(int argc, char** argv, int i, TargetsOptions& options, std::string& error) {
    const std::string arg = argv[i];
    if (arg == "--targets") {
        options.enabled = true;
        return 1;
    }
    if (arg != "--targets-every" && arg != "--own") {
        return 0;
    }
    if (i + 1 >= argc) {
        error = arg + " needs a value";
        return -1;
    }
    const char* value = argv[i + 1];
    options.enabled = true;
    if (arg == "--own") {
        targets::OwnShip own;
        if (!parseOwn(value, own)) {
            error = std::string("--own wants LAT,LON[,SOG,COG] in degrees and knots, not ") + value;
            return -1;
        }
        options.own = own;
        return 2;
    }
    int seconds = 0;
    const char* end = value + std::strlen(value);
    const auto result = std::from_chars(value, end, seconds);
    if (result.ec != std::errc{} || result.ptr != end || seconds <= 0) {
        error = std::string("--targets-every wants a whole number of seconds, not ") + value;
        return -1;
    }
    options.everySeconds = seconds;
    return 2;
}

TargetsSink::TargetsSink(const TargetsOptions& options)
    : options_(options), table_(decoderSettings()) {
    if (options_.own) {
        table_.fixOwnShip(*options_.own);
    }
}

void TargetsSink::aisRecord(int messageType, const void* record, bool ownShip) {
    targets::Report report;
    if (targets::reportFromAis(messageType, record, ownShip, report)) {
        table_.merge(report, nowMs_);
    }
}

void TargetsSink::sentenceRecord(int code, const void* record) {
    if (code == nmeaz::kCodeGga || code == nmeaz::kCodeRmc || code == nmeaz::kCodeVtg) {
        nmea0183FixMs_ = nowMs_;
    }
    targets::applyNavigationFix(code, record, table_, nowMs_);
}

// How long an NMEA 0183 fix keeps the NMEA 2000 fixes out.
constexpr std::int64_t kNmea0183FixHeldMs = 10000;

void TargetsSink::pgnMessage(const n2k::Message& message, const n2k::DecodedPgn& decoded) {
    const n2k::PgnDatabase* database = programPgnDatabase();
    if (database == nullptr) {
        return;
    }
    targets::Report report;
    if (targets::reportFromPgn(*database, message, decoded, report)) {
        table_.merge(report, nowMs_);
    } else if (nmea0183FixMs_ < 0 || nowMs_ - nmea0183FixMs_ > kNmea0183FixHeldMs) {
        targets::applyPgnFix(*database, decoded, table_, nowMs_);
    }
}

void TargetsSink::consume(QByteArray& receiveBuffer) {
    const qsizetype lastLineEnd = receiveBuffer.lastIndexOf('\n');
    if (lastLineEnd < 0) {
        return;
    }
    QByteArray tail = receiveBuffer.mid(lastLineEnd + 1);
    receiveBuffer.truncate(lastLineEnd + 1);

    if (options_.everySeconds > 0) {
        const std::int64_t everyMs = std::int64_t{options_.everySeconds} * 1000;
        qsizetype from = 0;
        while (from < receiveBuffer.size()) {
            const qsizetype lineEnd = receiveBuffer.indexOf('\n', from);
            const char* line = receiveBuffer.constData() + from;
            const std::int64_t time = tagTimeMs(line, receiveBuffer.constData() + lineEnd);
            if (time >= 0) {
                if (nextPrintMs_ < 0) {
                    nextPrintMs_ = time + everyMs;
                } else if (time >= nextPrintMs_) {
                    // The lines before this one belong to the interval that just ended.
                    QByteArray head = receiveBuffer.left(from);
                    present::runParseCycle(head, *this);
                    printTargets(true);
                    receiveBuffer = head + receiveBuffer.mid(from);
                    from = head.size();
                    while (nextPrintMs_ <= time) {
                        nextPrintMs_ += everyMs;
                    }
                }
                nowMs_ = time;
                hasTime_ = true;
            }
            from = receiveBuffer.indexOf('\n', from) + 1;
        }
    }
    present::runParseCycle(receiveBuffer, *this);
    receiveBuffer += tail;
}

void TargetsSink::finish(QByteArray& receiveBuffer) {
    consume(receiveBuffer);
    present::runParseCycle(receiveBuffer, *this);
    printTargets(options_.everySeconds > 0 && hasTime_);
}

void TargetsSink::printTargets(bool withTime) {
    std::string object;
    for (const targets::Target* target : table_.sortedByMmsi()) {
        object.clear();
        targets::appendTargetJson(object, *target, table_.relate(*target));
        if (withTime) {
            // The log time the picture belongs to leads each object of a periodic listing.
            output_ += "{\"time\":";
            output_ += std::to_string(nowMs_ / 1000);
            output_ += ',';
            output_.append(object, 1);
        } else {
            output_ += object;
        }
    }
}

}  // namespace decode
