#include "ais/bits.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace ais {
namespace {

std::string bitsOf(const std::string& payload) {
    return aisPayloadToBits(payload.data(), static_cast<int>(payload.size()));
}

TEST(AisArmour, SixBitsPerCharacterMostSignificantFirst) {
    EXPECT_EQ(bitsOf("1"), "000001");
    EXPECT_EQ(bitsOf("W"), "100111");  // 39, the last of the low range
    EXPECT_EQ(bitsOf("`"), "101000");  // 40
    EXPECT_EQ(bitsOf("w"), "111111");
    EXPECT_EQ(bitsOf("1w0"), "000001111111000000");
    EXPECT_EQ(bitsOf(""), "");
}

TEST(AisArmour, CharactersOutsideTheAlphabetKeepTheirSixLowBits) {
    // The byte taken as signed: c - 48 up to 'X', else c - 56; then the low six bits.
    const std::pair<char, int> cases[] = {{'X', 40}, {'Y', 33},    {'\x7f', 7},
                                          {' ', 48}, {'\x80', 16}, {'\xff', 15}};
    for (const auto& [c, value] : cases) {
        EXPECT_EQ(aisBitsUInt(bitsOf(std::string(1, c)).data(), 6), unsigned(value)) << int(c);
    }
}

TEST(AisArmour, LongestAssembledPayloadConvertsWhole) {
    const std::string payload(kMaxPayloadChars + 50, 'w');
    EXPECT_EQ(std::strlen(aisPayloadToBits(payload.data(), kMaxPayloadChars)),
              6u * kMaxPayloadChars);
    // A longer request is cut at the limit rather than written past the buffer.
    EXPECT_EQ(std::strlen(aisPayloadToBits(payload.data(), kMaxPayloadChars + 50)),
              6u * kMaxPayloadChars);
}

TEST(AisBits, UnsignedAndSignedFields) {
    const std::pair<std::string, long long> cases[] = {
        {"10000000", -128},
        {"11111111", -1},
        {"01111111", 127},
        {std::string(28, '1'), -1},                   // 28-bit longitude
        {"0110011110010001101011000000", 108600000},  // 181 degrees
        {"1" + std::string(27, '0'), -(1LL << 27)},
        {std::string(32, '1'), -1},
        {"1101", -3},
        {std::string("1\0\0", 3), -4},  // a terminator reads as 0
    };
    for (const auto& [bits, value] : cases) {
        const int width = static_cast<int>(bits.size());
        EXPECT_EQ(aisBitsInt64(bits.data(), width), value) << bits;
        EXPECT_EQ(aisBitsInt(bits.data(), width), value) << bits;
    }
    EXPECT_EQ(aisBitsUInt("10000000", 8), 128u);
    EXPECT_EQ(aisBitsUInt64(std::string(64, '1').data(), 30), (1u << 30) - 1);
    // Longer than 8 bits and not a multiple of 8, to cross the eight-at-once reads.
    EXPECT_EQ(aisBitsUInt64("10110011101", 11), 0b10110011101u);
    EXPECT_EQ(aisBitsUInt("101", 0), 0u);
}

TEST(AisBits, DigitTextAndText) {
    EXPECT_STREQ(aisBitsDigit("11", 2), "3");
    EXPECT_STREQ(aisBitsDigit("01100", 5), "12");  // a character field keeps '1'
    EXPECT_STREQ(aisBitsDigit(std::string(64, '1').data(), 64), "18446744073709551615");

    const std::pair<const char*, char> alphabet[] = {{"000000", '@'}, {"000001", 'A'},
                                                     {"011111", '_'}, {"100000", ' '},
                                                     {"110000", '0'}, {"111111", '?'}};
    for (const auto& [bits, c] : alphabet) {
        EXPECT_EQ(aisSixBitChar(bits), c) << bits;
    }
    // Fill characters and spaces are kept; a partial last group still gives a character.
    const char* text = "000001100000000010000000";
    EXPECT_STREQ(aisBitsText(text, 24), "A B@");
    EXPECT_STREQ(aisBitsText(text, 7), "A ");
    // Longer than fifty characters (a message 14 text).
    const std::string ones(6 * 161, '1');
    EXPECT_EQ(std::string(aisBitsText(ones.data(), 6 * 161)), std::string(161, '?'));
}

TEST(AisBits, MessageType) {
    EXPECT_EQ(aisMessageType("15N1u<PP1FJuvSRHOE6QIwwh0HQ6"), 1);
    EXPECT_EQ(aisMessageType("H5MiOp1:uJ0MDhJ0<P4hhDpLE80"), 24);
    EXPECT_EQ(aisMessageType("w"), 63);
    EXPECT_EQ(aisMessageType(""), -1);
}

}  // namespace
}  // namespace ais
