#include "ais/decoders.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>

#include "tests/ais/test_support.h"

namespace ais {
namespace {

using test::characterValue;
using test::numericValue;
using test::textValue;

// Writes `value` into bits [first, first + width) of a '0'/'1' string.
void setBits(std::string& bits, int first, int width, std::uint64_t value) {
    for (int i = 0; i < width; ++i) {
        bits[first + i] = ((value >> (width - 1 - i)) & 1) ? '1' : '0';
    }
}

// The armour text of a bit string, padded with zero bits to whole characters.
std::string armour(std::string bits) {
    bits.resize((bits.size() + 5) / 6 * 6, '0');
    std::string payload;
    for (std::size_t i = 0; i < bits.size(); i += 6) {
        int value = 0;
        for (int b = 0; b < 6; ++b) {
            value = value * 2 + (bits[i + b] == '1');
        }
        payload += static_cast<char>(value < 40 ? value + 48 : value + 56);
    }
    return payload;
}

// Reference readings of a field from a bit string, written independently of the
// decoder: plain positional arithmetic.
std::uint64_t refUnsigned(const std::string& bits, int first, int width) {
    std::uint64_t value = 0;
    for (int i = 0; i < width; ++i) {
        value = value * 2 + (bits[first + i] == '1');
    }
    return value;
}

struct AnyRecord {
    alignas(8) char bytes[512];
};

// Random bit strings decoded by every layout, each field compared with a reference
// reading of its bits (gated fields only where their gate opens).
TEST(AisDecode, EveryFieldOfEveryLayoutMatchesAReferenceReading) {
    std::mt19937 random(20240611);
    for (const AisMessageLayout& layout : kAisLayouts) {
        for (int round = 0; round < 40; ++round) {
            std::string bits(layout.nominalBits, '0');
            for (char& bit : bits) {
                bit = (random() & 1) ? '1' : '0';
            }
            if (layout.gateField >= 0) {
                const AisField& gate = layout.fields[layout.gateField];
                setBits(bits, gate.firstBit, gate.width, round % 4);
            }
            AnyRecord record;
            std::memset(record.bytes, 0x5a, sizeof record.bytes);  // stale values
            ASSERT_EQ(aisDecode(layout, armour(bits).c_str(), record.bytes), 1);

            const char gateDigit = aisGateDigit(layout, record.bytes);
            for (const AisField& field : layout.fields) {
                const std::string what =
                    std::string(field.name) + " of message " + std::to_string(layout.messageType);
                const bool decoded = aisGateOpen(field.decodeWhen, gateDigit);
                const std::uint64_t raw = refUnsigned(bits, field.firstBit, field.width);
                switch (field.store) {
                    case AisStore::Unsigned:
                        EXPECT_EQ(numericValue(field, record.bytes), decoded ? (long long)raw : 0)
                            << what;
                        break;
                    case AisStore::Signed: {
                        const long long value = (bits[field.firstBit] == '1')
                                                    ? (long long)raw - (1LL << field.width)
                                                    : (long long)raw;
                        EXPECT_EQ(numericValue(field, record.bytes), value) << what;
                        break;
                    }
                    case AisStore::Character:
                        EXPECT_EQ(characterValue(field, record.bytes),
                                  decoded ? std::to_string(raw)[0] : '\0')
                            << what;
                        break;
                    case AisStore::Text:
                    case AisStore::TrailingText: {
                        std::string text;
                        const int chars = decoded ? field.width / 6 : 0;
                        for (int c = 0; c < chars; ++c) {
                            const int v =
                                static_cast<int>(refUnsigned(bits, field.firstBit + 6 * c, 6));
                            text += static_cast<char>(v < 32 ? v + 64 : v);
                        }
                        EXPECT_EQ(textValue(field, record.bytes), text) << what;
                        break;
                    }
                }
            }
        }
    }
}

TEST(AisDecode, RawValuesAreKeptWithoutSentinels) {
    std::string bits(168, '0');
    setBits(bits, 0, 6, 1);
    setBits(bits, 42, 8, 0x80);        // rate of turn: -128, "no information"
    setBits(bits, 61, 28, 108600000);  // 181 degrees east
    setBits(bits, 89, 27, 54600000);   // 91 degrees north
    setBits(bits, 128, 9, 511);        // heading not available
    setBits(bits, 50, 10, 1023);       // speed not available
    AisPositionReport report{};
    EXPECT_EQ(aisDecodeMessage1(armour(bits).c_str(), &report), 1);
    EXPECT_EQ(report.rate_of_turn, -128);
    EXPECT_EQ(report.longitude, 108600000);
    EXPECT_EQ(report.latitude, 54600000);
    EXPECT_EQ(report.true_heading, 511u);
    EXPECT_EQ(report.speed_over_ground, 1023u);
}

TEST(AisDecode, Message18KeepsBothCommunicationStates) {
    std::string bits(168, '0');
    setBits(bits, 0, 6, 18);
    setBits(bits, 149, 19, 0b11'101'00000000000110);
    AisMessage18 message{};

    setBits(bits, 148, 1, 1);
    aisDecodeMessage18(armour(bits).c_str(), &message);
    EXPECT_EQ(message.comm_state_selector, '1');
    EXPECT_EQ(message.sotdma_sync_state, '3');
    EXPECT_EQ(message.sotdma_slot_timeout, '5');
    EXPECT_EQ(message.sotdma_sub_message, 6u);
    EXPECT_EQ(message.itdma_sync_state, '3');
    EXPECT_EQ(message.itdma_slot_increment, 0b1010000000000u);
    EXPECT_EQ(message.itdma_number_of_slots, '3');  // bits 164..166 = 011
    EXPECT_EQ(message.itdma_keep_flag, '0');

    setBits(bits, 148, 1, 0);
    aisDecodeMessage18(armour(bits).c_str(), &message);
    EXPECT_EQ(message.comm_state_selector, '0');
    EXPECT_EQ(message.sotdma_sub_message, 6u);
    EXPECT_EQ(message.itdma_sync_state, '\0');
    EXPECT_EQ(message.itdma_slot_increment, 0u);
}

TEST(AisDecode, Message24PartsFillTheirOwnFields) {
    std::string bits(168, '1');
    setBits(bits, 0, 6, 24);
    setBits(bits, 6, 2, 0);
    setBits(bits, 8, 30, 366764000);
    for (int part = 0; part < 4; ++part) {
        setBits(bits, 38, 2, part);
        AisMessage24 message{};
        aisDecodeMessage24(armour(bits).c_str(), &message);
        const char digit = static_cast<char>('0' + part);
        EXPECT_EQ(message.mmsi, 366764000u);
        EXPECT_EQ(message.part_number, digit);
        EXPECT_EQ(message.part_number_copy, digit);
        EXPECT_EQ(std::string(message.ship_name), part == 0 ? std::string(20, '?') : "");
        EXPECT_EQ(std::string(message.vendor_id), part == 1 ? std::string(7, '?') : "");
        EXPECT_EQ(message.ship_type, part == 1 ? 255u : 0u);
        EXPECT_EQ(message.dimension_to_starboard, part == 1 ? 63u : 0u);
        EXPECT_EQ(message.spare, part == 1 ? '6' : '\0');  // 63
    }
}

TEST(AisDecode, Message14TextLengthFollowsThePayload) {
    struct Case {
        int payloadChars;
        std::size_t textChars;
    };
    const Case cases[] = {
        {0, 0},     {6, 0},  // shorter than the 40 bits before the text
        {7, 0},              // 42 bits: no complete group
        {9, 2},              // 54 bits: (54 - 40) / 6
        {14, 7},             // 84 bits
        {168, 161},          // the nominal 1,008 bits
        {200, 161},          // longer payloads read no bit past the nominal length
    };
    for (const Case& c : cases) {
        std::string payload(c.payloadChars, 'P');
        if (!payload.empty()) {
            payload[0] = '>';  // type 14
        }
        AisMessage14 message;
        std::memset(&message, 'x', sizeof message);
        aisDecodeMessage14(payload.c_str(), &message);
        EXPECT_EQ(std::strlen(message.safety_text), c.textChars) << c.payloadChars;
    }
}

TEST(AisDecode, ShortPayloadsReadZeroBits) {
    // Only the header of a message 5: the rest reads as zero bits, texts as '@'.
    AisMessage5 message{};
    aisDecodeMessage5("53eaFL", &message);
    EXPECT_EQ(message.message_type, 5u);
    EXPECT_EQ(message.imo_number, 0u);
    EXPECT_EQ(std::string(message.ship_name), std::string(20, '@'));
    EXPECT_EQ(std::string(message.call_sign), std::string(7, '@'));
    EXPECT_EQ(message.dte_flag, '0');

    AisPositionReport report;
    std::memset(&report, 0x7f, sizeof report);
    aisDecodeMessage1("", &report);
    EXPECT_EQ(report.message_type, 0u);
    EXPECT_EQ(report.longitude, 0);
    EXPECT_EQ(report.raim_flag, '0');
}

TEST(AisDecode, DecodersDoNotCheckTheMessageType) {
    // A message 1 payload read by the message 4 layout.
    AisMessage4 message{};
    EXPECT_EQ(aisDecodeMessage4("15N1u<PP1FJuvSRHOE6QIwwh0HQ6", &message), 1);
    EXPECT_EQ(message.message_type, 1u);
    EXPECT_EQ(message.mmsi, 367033650u);
}

}  // namespace
}  // namespace ais
