#include "line_stats.h"

#include <QString>

#include "json_lines.h"

namespace decode {

namespace {

void appendField(std::string& out, const char* name, std::uint64_t value) {
    out += '"';
    out += name;
    out += "\": ";
    out += std::to_string(value);
    out += ", ";
}

// Closes an object of appendField()s: their last ", " becomes "}, ".
void closeObject(std::string& out) {
    out.resize(out.size() - 2);
    out += "}, ";
}

}  // namespace

std::string statsLine(const nmeaz::LineCounters& counters, const present::SentenceTally& tally,
                      std::uint64_t unfinished) {
    std::string out = "{";
    appendField(out, "bytes", counters.bytes);
    appendField(out, "accepted", counters.accepted);
    appendField(out, "bad_checksum", counters.badChecksum);
    appendField(out, "no_checksum", counters.noChecksum);
    appendField(out, "too_long", counters.tooLong);
    appendField(out, "noise_bytes", counters.noiseBytes);
    appendField(out, "unknown_type", counters.unknownType);
    appendField(out, "fragments_dropped", counters.fragmentsDropped);
    appendField(out, "ais_undecodable", counters.aisUndecodable);
    appendField(out, "malformed", counters.malformed);
    // Every byte in exactly one class: the values sum to "bytes".
    out += "\"bytes_by_outcome\": {";
    appendField(out, "accepted", counters.acceptedBytes);
    appendField(out, "bad_checksum", counters.badChecksumBytes);
    appendField(out, "too_long", counters.tooLongBytes);
    appendField(out, "malformed", counters.malformedBytes);
    appendField(out, "unfinished", unfinished);
    appendField(out, "line_ends", counters.lineEndBytes);
    appendField(out, "noise", counters.noiseBytes);
    appendField(out, "comments", counters.commentBytes);
    closeObject(out);
    out += "\"warnings\": {";
    for (int i = 0; i < nmeaz::kDeviationKindCount; ++i) {
        appendField(out, nmeaz::kDeviationKinds[i].key, counters.warnings[i]);
    }
    closeObject(out);
    out += "\"keys\": {";
    bool first = true;
    for (const present::KeyStats& stats : tally.keys()) {
        if (stats.count == 0) {
            continue;
        }
        if (!first) {
            out += ", ";
        }
        first = false;
        // Keys are bytes off the wire: read as Latin-1, escaped like any JSON text.
        appendJsonString(out, QString::fromLatin1(stats.key));
        out += ": ";
        out += std::to_string(stats.count);
    }
    out += "}}\n";
    return out;
}

}  // namespace decode
