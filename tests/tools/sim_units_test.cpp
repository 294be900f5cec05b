// The simulator's pure parts that its process tests cannot pin down: the wrong-checksum
// rule and the wrong-speed receiver model.

#include <gtest/gtest.h>

#include <string>

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
