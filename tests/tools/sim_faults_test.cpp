// The simulator's fault contracts, checked on the injector itself over many lines and
// seeds rather than on one lucky run: noise never forms a sentence start or a line
// end, the line time counts every byte sent, a lost fragment may be any of its
// message, and a receiver at the sender's speed hears exactly what was sent.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "faults.h"
#include "options.h"
#include "uart_misread.h"

namespace {

const std::string kGga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47";

std::string sentBytes(const sim::Transmission& t) {
    std::string bytes;
    for (const sim::Piece& piece : t.pieces) {
        bytes += piece.bytes;
    }
    return bytes;
}

TEST(SimFaults, NoiseNeverStartsASentenceOrEndsALine) {
    int excluded = 0;
    for (int byte = 0; byte < 256; ++byte) {
        excluded += sim::FaultInjector::isNoiseByte(static_cast<unsigned char>(byte)) ? 0 : 1;
    }
    EXPECT_EQ(excluded, 4);
    for (unsigned char byte : {'$', '!', '\r', '\n'}) {
        EXPECT_FALSE(sim::FaultInjector::isNoiseByte(byte)) << int(byte);
    }

    sim::SimOptions options;
    options.noiseEvery = 1;
    std::size_t noiseSeen = 0;
    for (std::uint32_t seed = 0; seed < 50; ++seed) {
        sim::FaultInjector injector(options, seed);
        for (int line = 0; line < 40; ++line) {
            const sim::Transmission t = injector.shape(kGga);
            const std::string bytes = sentBytes(t);
            ASSERT_EQ(bytes.compare(0, kGga.size() + 2, kGga + "\r\n"), 0);
            const std::string noise = bytes.substr(kGga.size() + 2);
            EXPECT_GE(noise.size(), 1u);
            EXPECT_LE(noise.size(), 16u);
            EXPECT_EQ(noise.find_first_of("$!\r\n"), std::string::npos) << seed;
            // Pacing counts the noise too: it takes line time like any byte.
            EXPECT_EQ(t.lineBytes, bytes.size());
            noiseSeen += noise.size();
        }
    }
    EXPECT_GT(noiseSeen, 10000u);  // enough bytes that every value was likely drawn
}

TEST(SimFaults, ALostFragmentCanBeAnyOfItsMessage) {
    sim::SimOptions options;
    options.dropFragmentEvery = 1;
    std::map<int, std::set<int>> lostByTotal;
    for (std::uint32_t seed = 0; seed < 20; ++seed) {
        sim::FaultInjector injector(options, seed);
        for (int total : {2, 3}) {
            for (int message = 0; message < 10; ++message) {
                int lost = 0;
                for (int number = 1; number <= total; ++number) {
                    const std::string line = "!AIVDM," + std::to_string(total) + "," +
                                             std::to_string(number) + ",5,A,55?Mb,0*00";
                    const sim::Transmission t = injector.shape(line);
                    if (t.pieces.empty()) {
                        EXPECT_EQ(t.lineBytes, 0u);  // a lost fragment takes no line time
                        lostByTotal[total].insert(number);
                        ++lost;
                    }
                }
                EXPECT_EQ(lost, 1) << "one fragment of each message";
            }
        }
    }
    EXPECT_EQ(lostByTotal[2], (std::set<int>{1, 2}));
    EXPECT_EQ(lostByTotal[3], (std::set<int>{1, 2, 3}));
}

TEST(SimFaults, AReceiverAtTheSendersSpeedHearsTheLineUnchanged) {
    std::string everyByte;
    for (int byte = 0; byte < 256; ++byte) {
        everyByte.push_back(static_cast<char>(byte));
    }
    for (int baud : sim::kLineSpeeds) {
        EXPECT_EQ(sim::uartMisread(kGga + "\r\n", baud, baud), kGga + "\r\n") << baud;
        EXPECT_EQ(sim::uartMisread(everyByte, baud, baud), everyByte) << baud;
    }
}

}  // namespace
