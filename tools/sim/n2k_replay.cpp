#include "n2k_replay.h"

#include <fstream>
#include <iterator>
#include <memory>

#include "n2k/gateway_reader.h"
#include "n2k/line_writer.h"

namespace sim {

namespace {

bool fastPacket(const void* user, std::uint32_t pgn) {
    return static_cast<const n2k::PgnDatabase*>(user)->isFastPacket(pgn);
}

class Collect : public n2k::GatewaySink {
public:
    explicit Collect(std::vector<n2k::Message>& messages) : messages_(messages) {}
    void onMessage(const n2k::Message& message) override { messages_.push_back(message); }

private:
    std::vector<n2k::Message>& messages_;
};

// A byte in the middle of the line replaced by one that no gateway format allows
// there: the line reads as malformed (or fails its checksum), never as other data.
void garble(std::string& line) {
    if (!line.empty()) {
        line[line.size() / 2] = '~';
    }
}

}  // namespace

bool loadN2kCapture(const std::string& path, const n2k::PgnDatabase& database,
                    std::vector<n2k::Message>& messages, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read '" + path + "'";
        return false;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Collect collect(messages);
    auto reader =
        std::make_unique<n2k::GatewayReader>(collect, n2k::FastPacketList{&fastPacket, &database});
    reader->feed(bytes.data(), bytes.size());
    reader->finish();
    if (messages.empty()) {
        error = "'" + path + "' holds no NMEA 2000 PGN";
        return false;
    }
    return true;
}

std::vector<std::string> n2kLines(const std::vector<n2k::Message>& messages,
                                  const n2k::PgnDatabase& database,
                                  const N2kReplayOptions& options) {
    std::vector<std::string> lines;
    char text[n2k::kMaxPayload * 3 + 128];
    n2k::Frame frames[40];
    std::uint8_t sequence = 0;
    std::uint64_t fastPackets = 0;
    std::uint64_t written = 0;
    auto add = [&](int length) {
        if (length <= 0) {
            return;
        }
        std::string line(text, static_cast<std::size_t>(length));
        ++written;
        if (options.garbleEvery > 0 && written % static_cast<unsigned>(options.garbleEvery) == 0) {
            garble(line);
        }
        lines.push_back(std::move(line));
    };
    for (const n2k::Message& message : messages) {
        if (options.format == "pcdin") {
            add(n2k::writePcdinLine(message, text, sizeof text));
            continue;
        }
        const bool fast = database.isFastPacket(message.pgn) || message.length > 8;
        const int count = n2k::framesOf(message, fast, sequence, frames, 40);
        if (count <= 0) {
            continue;  // too long for a fast packet: a transport transfer nobody replays
        }
        int lost = -1;
        if (fast) {
            sequence = static_cast<std::uint8_t>((sequence + 1) & 7);
            ++fastPackets;
            if (options.dropFrameEvery > 0 && count > 1 &&
                fastPackets % static_cast<unsigned>(options.dropFrameEvery) == 0) {
                lost = 1;
            }
        }
        for (int i = 0; i < count; ++i) {
            if (i == lost) {
                continue;
            }
            const n2k::Frame& frame = frames[i];
            add(options.format == "candump"
                    ? n2k::writeCandumpLine(frame, "can0", text, sizeof text)
                : options.format == "plain" ? n2k::writePlainFrame(frame, text, sizeof text)
                                            : n2k::writeYdwgLine(frame, text, sizeof text));
        }
    }
    return lines;
}

std::vector<std::string> interleave(const std::vector<std::string>& nmea,
                                    const std::vector<std::string>& n2kLines) {
    std::vector<std::string> merged;
    merged.reserve(nmea.size() + n2kLines.size());
    std::size_t taken = 0;
    for (std::size_t i = 0; i < nmea.size(); ++i) {
        merged.push_back(nmea[i]);
        const std::size_t due = n2kLines.size() * (i + 1) / nmea.size();
        while (taken < due) {
            merged.push_back(n2kLines[taken++]);
        }
    }
    while (taken < n2kLines.size()) {
        merged.push_back(n2kLines[taken++]);
    }
    return merged;
}

}  // namespace sim
