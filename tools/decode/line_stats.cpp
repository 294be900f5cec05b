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

}  // namespace

std::string statsLine(const nmeaz::LineCounters& counters, const present::SentenceTally& tally) {
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
