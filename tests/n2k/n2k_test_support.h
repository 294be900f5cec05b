// Shared by the NMEA 2000 input tests: capture files, a hand list of fast-packet
// PGNs (what the PGN database says for the PGNs in the captures), and a sink that
// keeps what a reader delivers.
#pragma once

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "n2k/gateway_reader.h"
#include "n2k/message.h"
#include "n2k/reassembler.h"

namespace n2k::test {

inline std::string dataPath(const std::string& name) {
    return std::string(TIDEWRIGHT_TEST_DATA) + "/n2k/" + name;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline bool isFastPacketForTests(const void*, std::uint32_t pgn) {
    static constexpr std::uint32_t kFast[] = {
        126208, 126464, 126720, 126983, 126984, 126985, 126986, 126987, 126988, 126996,
        126998, 127233, 127237, 127489, 127496, 127497, 127498, 127503, 127504, 127506,
        127507, 127509, 127510, 127511, 127512, 127513, 127514, 128275, 128520, 129029,
        129038, 129039, 129040, 129041, 129044, 129045, 129284, 129285, 129301, 129302,
        129538, 129540, 129541, 129542, 129545, 129547, 129549, 129551, 129556, 129792,
        129793, 129794, 129795, 129796, 129797, 129798, 129799, 129800, 129801, 129802,
        129803, 129804, 129805, 129806, 129807, 129808, 129809, 129810, 130060, 130061,
        130064, 130065, 130066, 130067, 130068, 130069, 130070, 130071, 130072, 130073,
        130074, 130320, 130321, 130322, 130323, 130324, 130567, 130577, 130578,
    };
    if (pgn >= 130816 && pgn <= 131071)
        return true;  // proprietary fast-packet range
    return std::find(std::begin(kFast), std::end(kFast), pgn) != std::end(kFast);
}

inline FastPacketList testFastPackets() {
    return FastPacketList{&isFastPacketForTests, nullptr};
}

struct Key {
    std::uint32_t pgn = 0;
    int prio = 0, src = 0, dst = 0;
    friend bool operator==(const Key&, const Key&) = default;
};

inline std::vector<Key> loadKeys(const std::string& capture) {
    std::ifstream in(dataPath("keys/" + capture + ".keys"));
    std::vector<Key> keys;
    Key k;
    while (in >> k.pgn >> k.prio >> k.src >> k.dst)
        keys.push_back(k);
    return keys;
}

struct Delivered {
    Key key;
    std::vector<std::uint8_t> data;
    std::int64_t timeMs = kNoTime;
};

class CollectingSink : public GatewaySink {
public:
    void onMessage(const Message& m) override {
        messages.push_back({{m.pgn, m.priority, m.source, m.destination},
                            std::vector<std::uint8_t>(m.data, m.data + m.length),
                            m.timeMs});
    }
    void onNmea0183Line(std::string_view line) override { nmea0183.emplace_back(line); }

    std::vector<Delivered> messages;
    std::vector<std::string> nmea0183;
};

}  // namespace n2k::test
