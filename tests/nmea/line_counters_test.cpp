// What the framer counts on the way: every case fed byte by byte and as one buffer,
// which must agree with each other and with a count made by hand.
#include <gtest/gtest.h>

#include <string>

#include "nmea/parser_context.h"
#include "nmea/sentence_parsers.h"
#include "nmea_test_support.h"

namespace nmeaz {

void PrintTo(const LineCounters& c, std::ostream* out) {
    *out << "{bytes " << c.bytes << ", accepted " << c.accepted << ", bad " << c.badChecksum
         << ", none " << c.noChecksum << ", long " << c.tooLong << ", noise " << c.noiseBytes
         << ", unknown " << c.unknownType << "}";
}

namespace {

using test::withChecksum;

LineCounters countByBuffer(const std::string& bytes) {
    ParserContext context;
    LineCounters counters{};
    init(&context);
    registerSentenceParsers(&context, parseVdmFields);
    watchLine(&context, &counters, nullptr, nullptr);
    for (int left = static_cast<int>(bytes.size()); left > 0;) {
        int length = left;
        feedBuffer(&context, bytes.data() + (bytes.size() - left), &length);
        left = length;
    }
    return counters;
}

LineCounters countByByte(const std::string& bytes) {
    ParserContext context;
    LineCounters counters{};
    init(&context);
    registerSentenceParsers(&context, parseVdmFields);
    watchLine(&context, &counters, nullptr, nullptr);
    for (char byte : bytes) {
        feedByte(&context, static_cast<unsigned char>(byte));
    }
    return counters;
}

TEST(LineCounters, CountsEveryKindOfLoss) {
    const std::string gga =
        withChecksum("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
    const std::string overlong = "$GPHDT," + std::string(300, '1') + "\r\n";
    struct Expected {
        std::uint64_t accepted, bad, none, tooLong, noise, unknown;
    };
    const struct {
        const char* what;
        std::string bytes;
        Expected expected;
    } cases[] = {
        {"clean sentence", gga, {1, 0, 0, 0, 0, 0}},
        {"bad checksum", "$GPGGA,1*4C\r\n", {0, 1, 0, 0, 0, 0}},
        {"no checksum is accepted and counted apart", "$GPHDT,1,T\r\n", {1, 0, 1, 0, 0, 0}},
        {"unknown and proprietary types",
         withChecksum("$GPZFO,A") + withChecksum("$PGRME,1"),
         {2, 0, 0, 0, 0, 2}},
        {"unknown without checksum", "$GPALM,1\r\n", {1, 0, 1, 0, 0, 1}},
        {"noise between sentences, line ends excepted",
         "ab\r\n" + gga + "\x01\x02\xff" + gga,
         {2, 0, 0, 0, 5, 0}},
        {"NUL run", std::string(40, '\0') + gga, {1, 0, 0, 0, 40, 0}},
        {"overlong line: its tail is not noise", overlong + gga, {1, 0, 0, 1, 0, 0}},
        {"noise after an overlong line's end", overlong + "zz\r\n" + gga, {1, 0, 0, 1, 2, 0}},
        {"a start inside an overlong tail begins a sentence",
         "$GPHDT," + std::string(260, '1') + gga,
         {1, 0, 0, 1, 0, 0}},
        {"what follows a broken address is noise", "$GP,1\r\n", {0, 0, 0, 0, 1, 0}},
    };
    for (const auto& c : cases) {
        LineCounters expected{};
        expected.bytes = c.bytes.size();
        expected.accepted = c.expected.accepted;
        expected.badChecksum = c.expected.bad;
        expected.noChecksum = c.expected.none;
        expected.tooLong = c.expected.tooLong;
        expected.noiseBytes = c.expected.noise;
        expected.unknownType = c.expected.unknown;
        EXPECT_EQ(countByBuffer(c.bytes), expected) << c.what;
        EXPECT_EQ(countByByte(c.bytes), expected) << c.what;
    }
}

// The observer sees each framed sentence once, whole, with its verdict.
TEST(LineCounters, ObserverSeesFramedSentences) {
    std::string seen;
    auto observe = [](void* user, const char* sentence, int length, FrameOutcome outcome) {
        auto& text = *static_cast<std::string*>(user);
        text += outcome == FrameOutcome::Accepted ? "ok " : "bad ";
        text.append(sentence, static_cast<std::size_t>(length));
    };
    ParserContext context;
    init(&context);
    watchLine(&context, nullptr, observe, &seen);
    const std::string bytes = "xx$GPGGA,1*4C\r\n$PGRME,1\r\n$GP,1\r\n";
    int length = static_cast<int>(bytes.size());
    feedBuffer(&context, bytes.data(), &length);
    EXPECT_EQ(seen, "bad $GPGGA,1*4C\r\nok $PGRME,1\r\n");
}

}  // namespace
}  // namespace nmeaz
