// The simulator's pure parts that its process tests cannot pin down: the wrong-checksum
// rule, the wrong-speed receiver model, and what the default log holds.

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "log_lines.h"
#include "sentence_text.h"
#include "uart_misread.h"

namespace {

TEST(SimSentence, WrongChecksumIsAlwaysWrongAndKeepsTheRest) {
    // Already wrong in the log (47 is right): the fault must not happen to "repair" it.
    const std::string alreadyWrong =
        "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*46";
    EXPECT_EQ(sim::withWrongChecksum(alreadyWrong),
              alreadyWrong.substr(0, alreadyWrong.size() - 2) + "48");
    EXPECT_EQ(sim::withWrongChecksum("$IIMTW,17.8,C"), "$IIMTW,17.8,C*1E");  // none yet
    EXPECT_EQ(sim::withWrongChecksum("!AIVDM,1,1,,A,1,0*7f,tag"), "!AIVDM,1,1,,A,1,0*18,tag");
}

TEST(SimUart, SameSpeedHearsEveryByteAndWrongSpeedHearsGarbage) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    EXPECT_EQ(sim::uartMisread(all, 4800, 4800), all);
    EXPECT_EQ(sim::uartMisread(all, 38400, 38400), all);
    // 0xFF sent at 4800: its start bit lasts eight bit times at 38400, so a fast receiver
    // hears its own start bit and seven zero data bits, then the first high data bit.
    EXPECT_EQ(sim::uartMisread("\xFF", 4800, 38400), "\x80");
    // 0x00 sent at 4800: nine low bits make the stop bit low, a framing error: one NUL.
    EXPECT_EQ(sim::uartMisread(std::string(1, '\0'), 4800, 38400), std::string(1, '\0'));

    const std::string sentence = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4*47\r\n";
    EXPECT_LT(sim::uartMisread(sentence, 38400, 4800).size(), sentence.size() / 4);
    std::string fastHeard = sim::uartMisread(sentence, 4800, 38400);
    EXPECT_GT(fastHeard.size(), sentence.size());
    EXPECT_EQ(fastHeard.find('$'), std::string::npos);
}

}  // namespace

// The default log promises that every inspector table fills: each of the 26 sentence
// types and each AIS message (18 in both communication states, 24 in both parts).
TEST(SimDefaultLog, CoversEverySentenceTypeAndAisMessage) {
    std::vector<std::string> lines;
    std::string error;
    ASSERT_TRUE(sim::loadLog(TIDEWRIGHT_SIM_DEFAULT_LOG, lines, error)) << error;
    std::set<std::string> seen;
    auto bits = [](const std::string& payload, std::size_t first, std::size_t count) {
        unsigned value = 0;
        for (std::size_t i = first; i < first + count && i / 6 < payload.size(); ++i) {
            int sixbit = payload[i / 6] - 48;
            sixbit -= sixbit > 40 ? 8 : 0;
            value = (value << 1) | ((sixbit >> (5 - i % 6)) & 1);
        }
        return value;
    };
    for (const auto& line : lines) {
        ASSERT_TRUE(sim::isSentence(line)) << line;
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", sim::nmeaChecksum(line));
        EXPECT_EQ(line.substr(line.size() - 2), hex) << line;
        seen.insert(line.substr(3, 3));
        int total = 0;
        int number = 0;
        if (sim::vdmFragment(line, total, number) && number == 1) {
            std::size_t start = 0;
            for (int comma = 0; comma < 5; ++comma) {
                start = line.find(',', start) + 1;
            }
            std::string payload = line.substr(start, line.find(',', start) - start);
            unsigned type = bits(payload, 0, 6);
            std::string key = "AIS" + std::to_string(type);
            if (type == 18 || type == 24) {  // communication state selector; part number
                key.append(1, '/').append(
                    std::to_string(type == 18 ? bits(payload, 148, 1) : bits(payload, 38, 2)));
            }
            seen.insert(key);
        }
    }
    for (const char* wanted :
         {"GLL",   "RMC",     "GGA",     "DPT",   "GSA",   "VDM",     "HDG",    "MTW",
          "MWD",   "RMA",     "RSA",     "VHW",   "VLW",   "XTE",     "ZDA",    "APB",
          "DBT",   "GSV",     "HDT",     "HSC",   "MWV",   "ROT",     "RPM",    "VBW",
          "VDR",   "VTG",     "AIS1",    "AIS2",  "AIS3",  "AIS4",    "AIS5",   "AIS9",
          "AIS14", "AIS18/0", "AIS18/1", "AIS19", "AIS21", "AIS24/0", "AIS24/1"}) {
        EXPECT_TRUE(seen.count(wanted)) << wanted << " missing from the default log";
    }
}
