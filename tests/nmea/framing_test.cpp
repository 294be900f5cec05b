// The framing state machine, field splitting and dispatch.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "nmea/parser_context.h"
#include "nmea_test_support.h"

namespace nmeaz {
namespace {

using test::concat;
using test::feedAll;
using test::withChecksum;

// What a parser saw of each dispatched sentence.
struct Seen {
    std::string address;
    std::vector<std::string> fields;
};
std::vector<Seen> seen;

int record(const ParserContext* context, const ParserEntry* entry) {
    Seen s{context->address, {}};
    for (int i = 0; i < context->fieldCount; ++i)
        s.fields.emplace_back(context->fields[i]);
    seen.push_back(s);
    return entry->record != nullptr ? *static_cast<int*>(entry->record) : 1;
}

class Framing : public ::testing::Test {
protected:
    void SetUp() override {
        seen.clear();
        init(&context);
        registerParser(&context, "GGA", record, &ggaCode);
        registerParser(&context, "HDT", record, &hdtCode);
        registerParser(&context, "VDM", record, &vdmCode);
    }
    ParserContext context;
    int ggaCode = 1;
    int hdtCode = 21;
    int vdmCode = 7;
};

const std::string kGga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,";

struct FramingCase {
    const char* what;
    std::string bytes;
    std::vector<int> codes;
};

void PrintTo(const FramingCase& c, std::ostream* out) {
    *out << c.what;
}

class FramingTable : public Framing, public ::testing::WithParamInterface<FramingCase> {};

TEST_P(FramingTable, DispatchesExactlyTheCompleteSentences) {
    EXPECT_EQ(feedAll(context, GetParam().bytes), GetParam().codes) << GetParam().what;
    EXPECT_EQ(context.state, WaitStart);
}

std::string flipChecksum(std::string s) {
    s[s.size() - 3] = s[s.size() - 3] == '0' ? '1' : '0';
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, FramingTable,
    ::testing::Values(
        FramingCase{"upper-case checksum and CR LF", withChecksum(kGga), {1}},
        FramingCase{"lower-case checksum digits", "$GPGGA,1*4b\r\n", {}},
        FramingCase{"checksum mismatch", flipChecksum(withChecksum(kGga)), {}},
        FramingCase{"no checksum: CR LF right after the data", "$GPHDT,274.07,T\r\n", {21}},
        FramingCase{"start character does not pick the type",
                    withChecksum("!GPGGA,1") + withChecksum("$AIVDM,1,1,,A,13aG,0"),
                    {1, 7}},
        FramingCase{
            "any talker matches a formatter",
            withChecksum("$IIHDT,1,T") + withChecksum("$HEHDT,2,T") + withChecksum("$02HDT,3,T"),
            {21, 21, 21}},
        FramingCase{"comma among the address characters", withChecksum("$GPGG,A,1"), {}},
        FramingCase{"unregistered type is consumed", withChecksum("$GPRMC,1,A"), {}},
        FramingCase{
            "bytes before the start are skipped", concat({"xyz\r\n", withChecksum(kGga)}), {1}},
        FramingCase{"data after the checksum", withChecksum(kGga, "X\r\n"), {}},
        FramingCase{"CR without LF", withChecksum(kGga, "\r") + withChecksum(kGga), {}},
        FramingCase{"checksum sentence ending in LF alone is dropped",
                    withChecksum(kGga, "\n") + withChecksum(kGga),
                    {1}},
        FramingCase{
            "a start character lost with the sentence it broke", "$GPGGA,1*4$GPHDT,1,T\r\n", {}},
        FramingCase{"$$ start", concat({"$", withChecksum(kGga)}), {}},
        FramingCase{"single star then CR", "$GPGGA,1*\r\n", {}}));

TEST_F(Framing, LowerCaseChecksumIsDroppedWhereUpperCaseIsAccepted) {
    const std::string upper = withChecksum("$GPGGA,1");
    ASSERT_EQ(upper, "$GPGGA,1*4B\r\n");
    EXPECT_EQ(feedAll(context, upper), std::vector<int>{1});
    EXPECT_EQ(feedAll(context, "$GPGGA,1*4b\r\n"), std::vector<int>{});
}

TEST_F(Framing, SentenceEndingInLfAloneRunsOnIntoTheNext) {
    // Without a checksum the LF is data, and so is the next sentence's start.
    EXPECT_EQ(feedAll(context, "$GPHDT,1,T\n$GPHDT,2,T\r\n"), std::vector<int>{21});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].fields, (std::vector<std::string>{"$GPHDT", "1", "T\n$GPHDT", "2", "T\r\n"}));
}

TEST_F(Framing, DollarInsideDataIsData) {
    EXPECT_EQ(feedAll(context, withChecksum("$GPHDT,$1,T")), std::vector<int>{21});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].fields[1], "$1");
}

TEST_F(Framing, LastFieldKeepsChecksumAndLineEnd) {
    const std::string sentence = withChecksum("$GPHDT,274.07,T");
    feedAll(context, sentence + "$GPHDT,274.07,\r\n");
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].fields.back(), sentence.substr(sentence.rfind(',') + 1));
    EXPECT_EQ(seen[0].fields.back().substr(0, 2), "T*");
    EXPECT_EQ(seen[1].fields.back(), "\r\n");
    EXPECT_EQ(seen[0].address, "GPHDT");
}

// A sentence of exactly `total` bytes, start character and CR LF included.
std::string sentenceOfLength(std::size_t total) {
    std::string body = "$GPHDT,";
    const std::size_t fixed = body.size() + 2 + 3 + 2;  // ",T" + "*hh" + CR LF
    body += std::string(total - fixed, '9');
    body += ",T";
    std::string s = withChecksum(body);
    EXPECT_EQ(s.size(), total);
    return s;
}

TEST_F(Framing, LengthLimitIs255BytesWithTheLineEnd) {
    EXPECT_EQ(feedAll(context, sentenceOfLength(255)), std::vector<int>{21});
    EXPECT_EQ(feedAll(context, sentenceOfLength(256)), std::vector<int>{});
}

TEST_F(Framing, The256thByteStartsANewSearch) {
    // 255 bytes that never complete, then a sentence whose '$' is byte 256.
    std::string unfinished = "$GPHDT," + std::string(248, '1');
    ASSERT_EQ(unfinished.size(), 255u);
    EXPECT_EQ(feedAll(context, unfinished + withChecksum(kGga)), std::vector<int>{1});
    // Had the 256th byte been data, it would be dropped and the next '$' waited for.
    EXPECT_EQ(feedAll(context, unfinished + "x" + withChecksum(kGga)), std::vector<int>{1});
}

TEST_F(Framing, Field23HoldsTheRestOfTheSentence) {
    std::string body = "$GPGGA";
    for (int i = 1; i <= 30; ++i) {
        body += ',';
        body += std::to_string(i);
    }
    feedAll(context, withChecksum(body));
    ASSERT_EQ(seen.size(), 1u);
    ASSERT_EQ(seen[0].fields.size(), 24u);
    EXPECT_EQ(seen[0].fields[22], "22");
    EXPECT_EQ(seen[0].fields[23].substr(0, 21), "23,24,25,26,27,28,29,");
    EXPECT_EQ(context.fieldCount, 24);

    // A field 23 that is the last field keeps the checksum and line end like any other.
    seen.clear();
    feedAll(context, withChecksum(concat({"$GPGGA", std::string(23, ',')})));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].fields[23].substr(0, 1), "*");
}

TEST_F(Framing, FeedBufferStopsAfterEachCodedSentence) {
    const std::string one = withChecksum(kGga);
    const std::string two = one + one;
    int length = static_cast<int>(two.size());
    EXPECT_EQ(feedBuffer(&context, two.data(), &length), 1);
    EXPECT_EQ(length, static_cast<int>(one.size()));
    EXPECT_EQ(feedBuffer(&context, two.data() + one.size(), &length), 1);
    EXPECT_EQ(length, 0);

    for (int empty : {0, -5}) {
        length = empty;
        EXPECT_EQ(feedBuffer(&context, two.data(), &length), 0);
        EXPECT_EQ(length, empty);
    }
}

TEST_F(Framing, UnfinishedSentenceWaitsInTheContext) {
    const std::string s = withChecksum(kGga);
    int length = static_cast<int>(s.size() - 1);
    EXPECT_EQ(feedBuffer(&context, s.data(), &length), 0);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(context.state, WaitLF);
    EXPECT_EQ(feedByte(&context, '\n'), 1);
}

TEST_F(Framing, RegistrationNamesAndOrder) {
    init(&context);
    int first = 5;
    int second = 6;
    auto zero = [](const ParserContext*, const ParserEntry*) { return 0; };
    registerParser(&context, "HDT", zero, nullptr);      // runs, returns 0: go on
    registerParser(&context, "IIHDTX", record, &first);  // stored as "IIHDT"
    registerParser(&context, "HDT", record, &second);    // not reached for II
    registerParser(&context, "DT", record, &second);     // neither 3 nor 5: never
    registerParser(&context, "XDT", zero, nullptr);
    EXPECT_STREQ(context.entries[1].name, "IIHDT");
    EXPECT_EQ(feedAll(context, withChecksum("$IIHDT,1,T") + withChecksum("$HEHDT,1,T")),
              (std::vector<int>{5, 6}));
    // Sentences whose only match returns 0, or that match nothing, yield no code.
    EXPECT_EQ(feedAll(context, withChecksum("$IIXDT,1") + withChecksum("$GPXDR,1")),
              std::vector<int>{});
    EXPECT_EQ(seen.size(), 2u);
}

TEST_F(Framing, RegistrationTableHolds30Entries) {
    init(&context);
    for (int i = 0; i < kMaxEntries; ++i)
        EXPECT_EQ(registerParser(&context, "GGA", record, nullptr), 0);
    const ParserEntry last = context.entries[kMaxEntries - 1];
    EXPECT_EQ(registerParser(&context, "HDT", record, nullptr), -1);
    EXPECT_EQ(context.entryCount, kMaxEntries);
    EXPECT_EQ(std::memcmp(&last, &context.entries[kMaxEntries - 1], sizeof last), 0);
}

TEST_F(Framing, CorruptedLengthOrStateNeverEscapesTheArrays) {
    // A length outside the buffer abandons whatever was in hand at the next byte.
    for (int length : {-7, 255, 256, 100000}) {
        for (int state : {-1, 1, 2, 6, 7, 1000}) {
            context.length = length;
            context.state = state;
            EXPECT_EQ(feedAll(context, "$GPHDT,1,T\r\n" + withChecksum(kGga)),
                      (std::vector<int>{21, 1}));
        }
    }
    // A state outside the machine drops the sentence in hand.
    for (int length : {0, 3, 254}) {
        for (int state : {-1, 7, 1000}) {
            context.length = length;
            context.state = state;
            EXPECT_EQ(feedAll(context, "$GPHDT,1,T\r\n" + withChecksum(kGga)), std::vector<int>{1});
        }
    }
}

TEST(FramingAssertion, NullContextNamesModuleAndExpression) {
    EXPECT_DEATH(init(nullptr), "nmeaz.*context != 0");
    EXPECT_DEATH(registerParser(nullptr, "GGA", nullptr, nullptr), "nmeaz.*context != 0");
    int length = 1;
    EXPECT_DEATH(feedBuffer(nullptr, "$", &length), "nmeaz.*context != 0");
}

// feedBuffer takes short cuts through data and gaps; byte-by-byte feeding is the
// plain state machine. Over any bytes both must dispatch the same sentences and end
// in the same state.
TEST(FramingEquivalence, FeedBufferMatchesFeedByteOnRandomStreams) {
    std::mt19937 random(20240601);
    const std::string pieces[] = {withChecksum(kGga),
                                  "$GPHDT,1,T\r\n",
                                  "\r\n",
                                  "\n",
                                  "*",
                                  "$",
                                  "!",
                                  ",",
                                  "*4",
                                  "GPGGA",
                                  withChecksum("$IIHDT,,T"),
                                  std::string(1, '\0'),
                                  "\xff",
                                  std::string(300, 'a')};
    for (int round = 0; round < 300; ++round) {
        std::string stream;
        const int count = static_cast<int>(random() % 40);
        for (int i = 0; i < count; ++i) {
            if (random() % 4 == 0) {
                stream += static_cast<char>(random() % 256);
            } else {
                stream += pieces[random() % std::size(pieces)];
            }
        }
        ParserContext byBuffer;
        ParserContext byByte;
        for (ParserContext* c : {&byBuffer, &byByte}) {
            init(c);
            registerParser(c, "GGA", record, nullptr);
            registerParser(c, "HDT", record, nullptr);
        }
        seen.clear();
        const std::vector<int> bufferCodes = feedAll(byBuffer, stream);
        const std::vector<Seen> bufferSeen = seen;
        seen.clear();
        std::vector<int> byteCodes;
        for (char c : stream) {
            if (int code = feedByte(&byByte, static_cast<unsigned char>(c)))
                byteCodes.push_back(code);
        }
        ASSERT_EQ(bufferCodes, byteCodes) << "round " << round;
        ASSERT_EQ(bufferSeen.size(), seen.size());
        for (std::size_t i = 0; i < seen.size(); ++i)
            EXPECT_EQ(bufferSeen[i].fields, seen[i].fields);
        EXPECT_EQ(byBuffer.state, byByte.state);
        EXPECT_EQ(byBuffer.length, byByte.length);
        EXPECT_EQ(byBuffer.checksum, byByte.checksum);
        EXPECT_EQ(std::memcmp(byBuffer.sentence + 1, byByte.sentence + 1,
                              static_cast<std::size_t>(byByte.length > 1 ? byByte.length - 1 : 0)),
                  0);
    }
}

}  // namespace
}  // namespace nmeaz
