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
