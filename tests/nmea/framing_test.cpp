// The framing state machine, field splitting and dispatch.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nmea/parser_context.h"
#include "nmea_test_support.h"

namespace nmeaz {
namespace {

using test::withChecksum;
using Framing = test::AllTypes;

const char kGga[] = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,";

TEST_F(Framing, DispatchesExactlyTheCompleteSentences) {
    const std::string gga = withChecksum(kGga);
    const std::string unfinished = std::string("$GPHDT,") + std::string(248, '1');  // 255 bytes
    auto hdtOfLength = [](std::size_t n) {  // n bytes, start character and CR LF included
        return withChecksum(std::string("$GPHDT,") + std::string(n - 14, '9') + ",T");
    };
    const struct {
        const char* what;
        std::string bytes;
        std::vector<int> codes;
    } cases[] = {
        {"upper-case checksum", "$GPGGA,1*4B\r\n", {1}},
        {"lower-case checksum", "$GPGGA,1*4b\r\n", {1}},
        {"checksum mismatch", "$GPGGA,1*4C\r\n", {}},
        {"start character picks no type and is outside the checksum; any talker matches",
         "!GPGGA,1*4B\r\n$AIVDM,1,1,,A,B,0*64\r\n$02HDT,3,T*3D\r\n",
         {1, 7, 21}},
        {"comma among the address characters", withChecksum("$GPGG,A,1"), {}},
        {"unknown type and bytes before a start", withChecksum("$GPXYZ,1") + "xyz\r\n" + gga, {1}},
        {"data after the checksum", withChecksum(kGga, "X\r\n"), {}},
        {"CR without LF takes the next start with it", withChecksum(kGga, "\r") + gga, {}},
        {"checksum sentence ending in LF alone", withChecksum(kGga, "\n") + gga, {1, 1}},
        {"sentence without checksum ending in LF alone", "$GPHDT,1,T\n" + gga, {21, 1}},
        {"CR CR LF", withChecksum(kGga, "\r\r\n"), {1}},
        {"CR CR CR LF", withChecksum(kGga, "\r\r\r\n") + gga, {1}},
        {"trailing data after a comma", withChecksum(kGga, ",s36310,d-081,T59.01777335\r\n"), {1}},
        {"trailing data, LF alone", withChecksum(kGga, ",1276256770\n") + gga, {1, 1}},
        {"a control byte in the trailing data", withChecksum(kGga, ",s1\x01\r\n") + gga, {1}},
        {"start character inside the checksum", "$GPGGA,1*4$GPHDT,1,T\r\n", {}},
        {"$$ start", std::string("$") + gga, {}},
        {"star then CR", "$GPGGA,1*\r\n", {}},
        {"255 bytes with the line end", hdtOfLength(255), {21}},
        {"256 bytes", hdtOfLength(256), {}},
        {"the 256th byte starts a new search", unfinished + gga, {1}},
        {"the 256th byte is dropped when it is no start", unfinished + "x" + gga, {1}},
    };
    for (const auto& c : cases) {
        SetUp();
        EXPECT_EQ(feed(c.bytes), c.codes) << c.what;
        EXPECT_EQ(context.state, WaitStart) << c.what;
    }
}

// Each deviation a real talker shows: read and reported by default, dropped under
// strict framing; the observer always sees the text exactly as it came.
TEST_F(Framing, DeviationsReadTolerantlyAndDroppedStrictly) {
    const std::string gga = withChecksum(kGga);
    const struct {
        const char* what;
        std::string sentence;
        FrameDeviations deviations;
        bool strictDrops = true;
    } cases[] = {
        {"LF alone", withChecksum(kGga, "\n"), kLfOnly},
        // Strictly a LF is data there: the sentence runs on into the next line.
        {"LF alone without checksum", "$GPHDT,1,T\n", kLfOnly, false},
        {"CR CR LF", withChecksum(kGga, "\r\r\n"), kCrCrLf},
        {"CR CR LF without checksum", "$GPHDT,1,T\r\r\n", kCrCrLf},
        {"lower-case checksum", "$GPGGA,1*4b\r\n", kLowercaseChecksum},
        {"metadata tail", "!AIVDM,1,1,,B,:6TMCD1GOS60,0*5B,s36310,d-081,T59.01777335\r\n",
         kTrailingData},
        {"everything at once", "!AIVDM,1,1,,B,:6TMCD1GOS60,0*5b,s36310\r\r\n",
         kLowercaseChecksum | kTrailingData | kCrCrLf},
        {"tail and LF alone", "!AIVDM,1,1,,B,:6TMCD1GOS60,0*5B,1276256770\n",
         kTrailingData | kLfOnly},
    };
    struct Seen {
        std::string text;
        FrameDeviations deviations = 0;
        int frames = 0;
    };
    auto observe = [](void* user, const char* sentence, int length, FrameOutcome,
                      FrameDeviations deviations) {
        auto& seen = *static_cast<Seen*>(user);
        seen.text.assign(sentence, static_cast<std::size_t>(length));
        seen.deviations = deviations;
        ++seen.frames;
    };
    for (const auto& c : cases) {
        for (const bool strict : {false, true}) {
            if (strict && !c.strictDrops) {
                continue;
            }
            SetUp();
            LineCounters counters{};
            Seen seen;
            watchLine(&context, &counters, observe, &seen);
            setFraming(&context, strict ? kStrictFraming : 0u);
            // Fed once, by buffer: feed() would count twice into the same counters.
            std::vector<int> codes;
            const std::string bytes = c.sentence + gga;
            for (int left = static_cast<int>(bytes.size()); left > 0;) {
                int length = left;
                if (int code = feedBuffer(&context, bytes.data() + (bytes.size() - left), &length))
                    codes.push_back(code);
                left = length;
            }
            SCOPED_TRACE(std::string(c.what) + (strict ? " strict" : " tolerant"));
            EXPECT_EQ(codes.size(), strict ? 1u : 2u);
            EXPECT_EQ(counters.accepted, strict ? 1u : 2u);
            EXPECT_EQ(counters.malformed, strict ? 1u : 0u);
            for (int i = 0; i < kDeviationKindCount; ++i) {
                const bool shown = !strict && (c.deviations & kDeviationKinds[i].bit) != 0;
                EXPECT_EQ(counters.warnings[i], shown ? 1u : 0u) << kDeviationKinds[i].key;
            }
            if (!strict) {
                EXPECT_EQ(seen.frames, 2);
                // The gga came last; look at the deviating sentence alone.
                Seen first;
                SetUp();
                watchLine(&context, nullptr, observe, &first);
                EXPECT_EQ(feed(c.sentence).size(), 1u);
                EXPECT_EQ(first.frames, 2);  // byte by byte, then by buffer
                EXPECT_EQ(first.text, c.sentence);
                EXPECT_EQ(first.deviations, c.deviations);
            }
            EXPECT_EQ(decidedBytes(counters), counters.bytes);
        }
    }
    EXPECT_EQ(trailingData("!AIVDM,1,1,,B,:6TM,0*5B,s36310,d-081\r\n"), "s36310,d-081");
    EXPECT_EQ(trailingData("!AIVDM,1,1,,B,:6TM,0*5B,1276256770\n"), "1276256770");
    EXPECT_EQ(trailingData("!AIVDM,1,1,,B,:6TM,0*5B\r\n"), "");
    EXPECT_EQ(trailingData("$GPHDT,1,T\r\n"), "");
}

TEST_F(Framing, FieldsAsTheParsersSeeThem) {
    const struct {
        std::string bytes;
        std::vector<std::string> fields;
        unsigned rules = 0;
    } cases[] = {
        // Strictly, without a checksum an LF is data, and so is the next sentence's start.
        {"$GPHDT,1,T\n$GPHDT,2,T\r\n", {"$GPHDT", "1", "T\n$GPHDT", "2", "T\r\n"}, kStrictFraming},
        // Read tolerantly, a sentence reaches its parser as the format writes it.
        {"$GPHDT,1,T\n", {"$GPHDT", "1", "T\r\n"}},
        {"$GPHDT,1,T\r\r\n", {"$GPHDT", "1", "T\r\n"}},
        {"$GPHDT,$1,T*0e,s36310,d-081\r\r\n", {"$GPHDT", "$1", "T*0E\r\n"}},
        {"$GPHDT,$1,T*0E,1276256770\n", {"$GPHDT", "$1", "T*0E\r\n"}},
        {"$GPHDT,$1,T*0E\r\n", {"$GPHDT", "$1", "T*0E\r\n"}},
        // Field 23 holds the rest of the sentence.
        {"$GPGGA,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,"
         "23,24,25,26,27,28,29,30*64\r\n",
         {"$GPGGA", "1",  "2",  "3",  "4",  "5",  "6",  "7",
          "8",      "9",  "10", "11", "12", "13", "14", "15",
          "16",     "17", "18", "19", "20", "21", "22", "23,24,25,26,27,28,29,30*64\r\n"}},
    };
    for (const auto& c : cases) {
        SetUp();
        setFraming(&context, c.rules);
        ASSERT_EQ(feed(c.bytes).size(), 1u) << c.bytes;
        EXPECT_EQ(std::vector<std::string>(context.fields, context.fields + context.fieldCount),
                  c.fields);
    }
}

TEST_F(Framing, RegistrationNamesOrderAndCapacity) {
    init(&context);
    auto zero = [](const ParserContext*, const ParserEntry*) { return 0; };
    auto five = [](const ParserContext*, const ParserEntry*) { return 5; };
    auto six = [](const ParserContext*, const ParserEntry*) { return 6; };
    registerParser(&context, "HDT", zero, nullptr);     // runs, returns 0: go on
    registerParser(&context, "IIHDTX", five, nullptr);  // kept as "IIHDT": that talker only
    registerParser(&context, "HDT", six, nullptr);      // not reached for II
    registerParser(&context, "DT", five, nullptr);      // neither 3 nor 5 characters: never
    registerParser(&context, "XDT", zero, nullptr);
    EXPECT_EQ(feed(withChecksum("$IIHDT,1,T") + withChecksum("$HEHDT,1,T") +
                   withChecksum("$IIXDT,1") + withChecksum("$IIHDG,1")),
              (std::vector<int>{5, 6}));

    init(&context);
    for (int i = 0; i < kMaxEntries; ++i)
        ASSERT_EQ(registerParser(&context, "GGA", six, nullptr), 0);
    EXPECT_EQ(registerParser(&context, "HDT", five, nullptr), -1);
    EXPECT_EQ(feed(withChecksum("$GPHDT,1,T") + withChecksum(kGga)), std::vector<int>{6});
}

TEST_F(Framing, CorruptedLengthOrStateNeverEscapesTheArrays) {
    const std::string bytes = std::string("$GPHDT,1,T\r\n") + withChecksum(kGga);
    // A length outside the buffer abandons whatever was in hand at the next byte; a
    // state outside the machine drops the sentence in hand.
    for (int length : {-7, 0, 3, 254, 255, 256, 100000}) {
        for (int state : {-1, 1, 2, 6, 8, 1000}) {
            const bool lengthOutside = length < 0 || length >= kMaxSentenceLength;
            if (!lengthOutside && state >= WaitStart && state <= Tail)
                continue;
            context.length = length;
            context.state = state;
            EXPECT_EQ(feed(bytes), (lengthOutside ? std::vector<int>{21, 1} : std::vector<int>{1}))
                << length << " " << state;
        }
    }
    // Nothing to feed reads nothing.
    for (int empty : {0, -5}) {
        int length = empty;
        EXPECT_EQ(feedBuffer(&context, "$", &length), 0);
        EXPECT_EQ(length, empty);
    }
}

TEST(FramingAssertion, NullContextNamesModuleAndExpression) {
    EXPECT_DEATH(init(nullptr), "nmeaz.*context != 0");
    EXPECT_DEATH(registerParser(nullptr, "GGA", nullptr, nullptr), "nmeaz.*context != 0");
    int length = 1;
    EXPECT_DEATH(feedBuffer(nullptr, "$", &length), "nmeaz.*context != 0");
}

}  // namespace
}  // namespace nmeaz
