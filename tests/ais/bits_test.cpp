#include "ais/bits.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace ais {
namespace {

std::string bitsOf(const std::string& payload) {
    return aisPayloadToBits(payload.data(), static_cast<int>(payload.size()));
}

TEST(AisArmour, ArmourAlphabetMapsToSixBitValues) {
    struct Case {
        char character;
        const char* bits;
    };
    const Case cases[] = {
        {'0', "000000"}, {'1', "000001"}, {'W', "100111"},  // 39, the last of the low range
        {'`', "101000"},                                    // 40, grave accent
        {'w', "111111"},                                    // 63
    };
    for (const Case& c : cases) {
        EXPECT_EQ(bitsOf(std::string(1, c.character)), c.bits) << c.character;
    }
    // Every payload character gives six bits, most significant first, in order.
    EXPECT_EQ(bitsOf("1w0"), "000001111111000000");
}

TEST(AisArmour, CharactersOutsideTheAlphabetKeepTheirSixLowBits) {
    // Same arithmetic as the alphabet, byte taken as signed, then & 63.
    EXPECT_EQ(aisArmourValue('X'), ('X' - 48) & 63);      // 40: 'X' is not armour, but <= 88
    EXPECT_EQ(aisArmourValue('Y'), 'Y' - 56);             // 33
    EXPECT_EQ(aisArmourValue('\x7f'), (0x7f - 56) & 63);  // 71 -> 7
    EXPECT_EQ(aisArmourValue('\x80'), (-128 - 48) & 63);  // -176 -> 16
    EXPECT_EQ(aisArmourValue('\xff'), (-1 - 48) & 63);    // -49 -> 15
    EXPECT_EQ(aisArmourValue(' '), (32 - 48) & 63);       // -16 -> 48
    for (int byte = 0; byte < 256; ++byte) {
        const std::string bits = bitsOf(std::string(1, static_cast<char>(byte)));
        ASSERT_EQ(bits.size(), 6u) << byte;
        EXPECT_EQ(aisBitsUInt(bits.data(), 6), static_cast<unsigned>(aisArmourValue(byte)));
    }
}

TEST(AisArmour, LongestAssembledPayloadConvertsWhole) {
    const std::string payload(kMaxPayloadChars, 'w');
    const char* bits = aisPayloadToBits(payload.data(), kMaxPayloadChars);
    EXPECT_EQ(std::strlen(bits), 6u * kMaxPayloadChars);
    // A longer request is cut at the limit rather than written past the buffer.
    const std::string longer(kMaxPayloadChars + 50, '1');
    EXPECT_EQ(std::strlen(aisPayloadToBits(longer.data(), kMaxPayloadChars + 50)),
              6u * kMaxPayloadChars);
    EXPECT_STREQ(aisPayloadToBits("15", 0), "");
}

TEST(AisBits, UnsignedAndSignedFields) {
    struct Case {
        const char* bits;
        std::int64_t value;
    };
    const Case signedCases[] = {
        {"10000000", -128},
        {"11111111", -1},
        {"01111111", 127},
        {"00000000", 0},
        {"1111111111111111111111111111", -1},          // 28-bit longitude, all ones
        {"0110011110010001101011000000", 108600000},   // 181 degrees
        {"1000000000000000000000000000", -(1 << 27)},  // most negative 28-bit value
    };
    for (const Case& c : signedCases) {
        const int width = static_cast<int>(std::strlen(c.bits));
        EXPECT_EQ(aisBitsInt64(c.bits, width), c.value) << c.bits;
        EXPECT_EQ(aisBitsInt(c.bits, width), c.value) << c.bits;
    }
    EXPECT_EQ(aisBitsUInt("10000000", 8), 128u);
    EXPECT_EQ(aisBitsUInt("101", 0), 0u);
    EXPECT_EQ(aisBitsInt("101", 0), 0);
    // 30-bit MMSI with every bit set, and a 32-bit pattern as signed.
    const std::string ones(32, '1');
    EXPECT_EQ(aisBitsUInt64(ones.data(), 30), (1u << 30) - 1);
    EXPECT_EQ(aisBitsInt(ones.data(), 32), -1);
    EXPECT_EQ(aisBitsUInt(ones.data(), 32), 0xffffffffu);
}

TEST(AisBits, TerminatorReadsAsZero) {
    const char bits[] = {'1', '1', '\0', '\0'};
    EXPECT_EQ(aisBitsUInt(bits, 4), 12u);
    EXPECT_EQ(aisBitsInt(bits, 4), -4);
}

TEST(AisBits, DigitTextAndFirstDigit) {
    EXPECT_STREQ(aisBitsDigit("11", 2), "3");
    EXPECT_STREQ(aisBitsDigit("01100", 5), "12");  // a character field keeps '1'
    EXPECT_STREQ(aisBitsDigit("0000", 4), "0");
    const std::string ones(64, '1');
    EXPECT_STREQ(aisBitsDigit(ones.data(), 64), "18446744073709551615");
}

TEST(AisBits, SixBitTextAlphabet) {
    EXPECT_EQ(aisSixBitChar("000000"), '@');
    EXPECT_EQ(aisSixBitChar("000001"), 'A');
    EXPECT_EQ(aisSixBitChar("011111"), '_');
    EXPECT_EQ(aisSixBitChar("100000"), ' ');
    EXPECT_EQ(aisSixBitChar("110000"), '0');
    EXPECT_EQ(aisSixBitChar("111111"), '?');

    // "A B@" : fill characters and spaces are kept, nothing trimmed.
    const std::string text =
        "000001"
        "100000"
        "000010"
        "000000";
    EXPECT_STREQ(aisBitsText(text.data(), 24), "A B@");
    // A partial last group still yields a character from the six bits there.
    EXPECT_STREQ(aisBitsText(text.data(), 7), "A ");
    const std::string zeros(120, '0');
    EXPECT_EQ(std::strlen(aisBitsText(zeros.data(), 42)), 7u);
    EXPECT_EQ(std::string(aisBitsText(zeros.data(), 120)), std::string(20, '@'));
}

TEST(AisBits, TextLongerThanFiftyCharacters) {
    const std::string bits(6 * 161, '1');
    EXPECT_EQ(std::string(aisBitsText(bits.data(), 6 * 161)), std::string(161, '?'));
}

TEST(AisBits, MessageTypeFromFirstCharacter) {
    EXPECT_EQ(aisMessageType("15N1u<PP1FJuvSRHOE6QIwwh0HQ6"), 1);
    EXPECT_EQ(aisMessageType("3"), 3);
    EXPECT_EQ(aisMessageType("H5MiOp1:uJ0MDhJ0<P4hhDpLE80"), 24);
    EXPECT_EQ(aisMessageType("0"), 0);
    EXPECT_EQ(aisMessageType("w"), 63);
    EXPECT_EQ(aisMessageType(""), -1);
}

}  // namespace
}  // namespace ais
