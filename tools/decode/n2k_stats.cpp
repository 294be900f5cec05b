#include "n2k_stats.h"

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

void addN2kStats(std::string& line, const present::N2kStreamCounters& counters,
                 const std::vector<std::pair<std::string, long long>>& pgnKeys) {
    if (!counters.heard || line.size() < 2) {
        return;
    }
    std::string part = ", \"n2k\": {";
    appendField(part, "bytes", counters.bytes);
    appendField(part, "frames", counters.frames);
    appendField(part, "messages", counters.messages);
    appendField(part, "fast_packet_errors", counters.fastPacketErrors);
    appendField(part, "transport_errors", counters.transportErrors);
    appendField(part, "unknown_pgns", counters.unknownPgns);
    appendField(part, "bad_gateway_lines", counters.badGatewayLines);
    part += "\"pgns\": {";
    bool first = true;
    for (const auto& [key, count] : pgnKeys) {
        if (!first) {
            part += ", ";
        }
        first = false;
        part += '"';
        part += key;
        part += "\": ";
        part += std::to_string(count);
    }
    part += "}}";
    line.insert(line.size() - 2, part);
}

}  // namespace decode
