#include "n2k_stats.h"

namespace decode {

void addN2kStats(std::string& line, const present::N2kStreamCounters& counters,
                 const std::vector<std::pair<std::string, long long>>& pgnKeys) {
    if (!counters.heard || line.size() < 2) {
        return;
    }
    const std::pair<const char*, std::uint64_t> fields[] = {
        {"bytes", counters.bytes},
        {"frames", counters.frames},
        {"messages", counters.messages},
        {"fast_packet_errors", counters.fastPacketErrors},
        {"transport_errors", counters.transportErrors},
        {"unknown_pgns", counters.unknownPgns},
        {"bad_gateway_lines", counters.badGatewayLines},
        // Every byte of the NMEA 2000 side in one outcome, as the NMEA 0183 side counts
        // its own: the two sides' bytes add up to the input.
        {"n2k_bytes", counters.outcomes.n2k},
        {"status_bytes", counters.outcomes.status},
        {"malformed_bytes", counters.outcomes.malformed},
        {"noise_bytes", counters.outcomes.noise},
        {"overlong_bytes", counters.outcomes.overlong},
        {"binary_bytes", counters.outcomes.binary},
    };
    std::string part = ", \"n2k\": {";
    for (const auto& [name, value] : fields) {
        part.append("\"").append(name).append("\": ").append(std::to_string(value)).append(", ");
    }
    part += "\"pgns\": {";
    const char* separator = "";
    for (const auto& [key, count] : pgnKeys) {
        part.append(separator).append("\"").append(key).append("\": ").append(
            std::to_string(count));
        separator = ", ";
    }
    part += "}}";
    line.insert(line.size() - 2, part);
}

}  // namespace decode
