#include "ais/decoders.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "tests/ais/test_support.h"

namespace ais {
namespace {

using test::fieldText;

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
        const int value = std::stoi(bits.substr(i, 6), nullptr, 2);
        payload += static_cast<char>(value < 40 ? value + 48 : value + 56);
    }
    return payload;
}

// What a field should hold, read from the bits by plain positional arithmetic.
std::string reference(const AisField& field, const std::string& bits) {
    if (field.store == AisStore::Text || field.store == AisStore::TrailingText) {
        std::string text;
        for (int c = 0; c < field.width / 6; ++c) {
            const int v = std::stoi(bits.substr(field.firstBit + 6 * c, 6), nullptr, 2);
            text += static_cast<char>(v < 32 ? v + 64 : v);
        }
        return text;
    }
    const long long raw = std::stoll(bits.substr(field.firstBit, field.width), nullptr, 2);
    if (field.store == AisStore::Character) {
        return std::to_string(raw).substr(0, 1);
    }
    const bool negative = field.store == AisStore::Signed && bits[field.firstBit] == '1';
    return std::to_string(negative ? raw - (1LL << field.width) : raw);
}

// Random messages decoded by every layout; each field compared with a reference
// reading of its bits, fields behind a closed gate with zero. The gate runs through
// 0 to 3: message 18 with selector 0 and 1 (ITDMA fields filled from the same bits
// as the SOTDMA ones, or zero), message 24 with parts 0 to 3 (2 and 3 fill only the
// header and both part numbers).
TEST(AisDecode, EveryFieldOfEveryLayoutMatchesAReferenceReading) {
    std::mt19937 random(20240611);
    for (const AisMessageLayout& layout : kAisLayouts) {
        for (int round = 0; round < 40; ++round) {
            std::string bits(layout.nominalBits, '0');
            for (char& bit : bits) {
                bit = static_cast<char>('0' + (random() & 1));
            }
            if (layout.gateField >= 0) {
                const AisField& gate = layout.fields[layout.gateField];
                setBits(bits, gate.firstBit, gate.width, round % 4);
            }
            alignas(8) char record[512];
            std::memset(record, 0x5a, sizeof record);  // stale values must not survive
            ASSERT_EQ(aisDecode(layout, armour(bits).c_str(), record), 1);
            for (const AisField& field : layout.fields) {
                const bool decoded = aisGateOpen(field.decodeWhen, aisGateDigit(layout, record));
                const std::string empty = field.store == AisStore::Unsigned ? "0" : "";
                EXPECT_EQ(fieldText(field, record), decoded ? reference(field, bits) : empty)
                    << field.name << " of message " << layout.messageType;
            }
        }
    }
}

// libais typeexamples line 1: a base station without a position or time.
TEST(AisDecode, RawValuesAreKeptWithoutSentinels) {
    AisMessage4 message{};
    EXPECT_EQ(aisDecodeMessage4("403Ovl@000Htt<tSF0l4Q@100`Pq", &message), 1);
    EXPECT_EQ(message.mmsi, 3669713u);
    EXPECT_EQ(message.longitude, 108600000);  // 181 degrees
    EXPECT_EQ(message.latitude, 54600000);    // 91 degrees
    EXPECT_EQ(message.utc_hour, 24u);
    EXPECT_EQ(message.utc_minute, 60u);
    EXPECT_EQ(message.sotdma_sub_message, 2105u);

    std::string bits(168, '0');
    setBits(bits, 42, 8, 0x80);
    AisPositionReport report{};
    aisDecodeMessage1(armour(bits).c_str(), &report);
    EXPECT_EQ(report.rate_of_turn, -128);
}

TEST(AisDecode, Message14TextLengthFollowsThePayload) {
    // payload characters -> text characters: every complete six-bit group after bit 40
    // up to the nominal 1,008 bits.
    const std::pair<int, std::size_t> cases[] = {{0, 0},  {6, 0},     {7, 0},    {9, 2},
                                                 {14, 7}, {168, 161}, {200, 161}};
    for (const auto& [payloadChars, textChars] : cases) {
        std::string payload(payloadChars, 'P');
        AisMessage14 message;
        aisDecodeMessage14(payload.c_str(), &message);
        EXPECT_EQ(std::strlen(message.safety_text), textChars) << payloadChars;
    }
    // libais typeexamples line 13 reads "=08Q#4": it drops the group the fill bits
    // complete, which we keep.
    AisMessage14 message;
    aisDecodeMessage14(">IgoUswo3Q6?Ah", &message);
    EXPECT_EQ(std::string(message.safety_text).substr(0, 6), "=08Q#4");
    EXPECT_EQ(std::strlen(message.safety_text), 7u);
}

TEST(AisDecode, ShortPayloadsReadZeroBits) {
    AisMessage5 message{};
    aisDecodeMessage5("53eaFL", &message);
    EXPECT_EQ(message.message_type, 5u);
    EXPECT_EQ(message.imo_number, 0u);
    EXPECT_EQ(std::string(message.ship_name), std::string(20, '@'));
    EXPECT_EQ(message.dte_flag, '0');
}

}  // namespace
}  // namespace ais
