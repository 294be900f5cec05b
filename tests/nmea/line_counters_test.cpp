// What the framer counts on the way: every case fed byte by byte and as one buffer,
// which must agree with each other and with a count made by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
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
        std::uint64_t accepted, bad, none, tooLong, noise, unknown, malformed, lineEnds;
    };
    const struct {
        const char* what;
        std::string bytes;
        Expected expected;
    } cases[] = {
        {"clean sentence", gga, {1, 0, 0, 0, 0, 0, 0, 0}},
        {"bad checksum", "$GPGGA,1*4C\r\n", {0, 1, 0, 0, 0, 0, 0, 0}},
        {"no checksum is accepted and counted apart", "$GPHDT,1,T\r\n", {1, 0, 1, 0, 0, 0, 0, 0}},
        {"unknown and proprietary types",
         withChecksum("$GPZFO,A") + withChecksum("$PGRME,1"),
         {2, 0, 0, 0, 0, 2, 0, 0}},
        {"unknown without checksum", "$GPALM,1\r\n", {1, 0, 1, 0, 0, 1, 0, 0}},
        {"noise between sentences, line ends apart",
         "ab\r\n" + gga + "\x01\x02\xff" + gga,
         {2, 0, 0, 0, 5, 0, 0, 2}},
        {"NUL run", std::string(40, '\0') + gga, {1, 0, 0, 0, 40, 0, 0, 0}},
        {"overlong line: its tail is not noise", overlong + gga, {1, 0, 0, 1, 0, 0, 0, 0}},
        {"noise after an overlong line's end", overlong + "zz\r\n" + gga, {1, 0, 0, 1, 2, 0, 0, 2}},
        {"a start inside an overlong tail begins a sentence",
         "$GPHDT," + std::string(260, '1') + gga,
         {1, 0, 0, 1, 0, 0, 0, 0}},
        {"what follows a broken address is noise", "$GP,1\r\n", {0, 0, 0, 0, 1, 0, 1, 2}},
        {"a flood of starts", std::string(9, '$') + "\r\n" + gga, {1, 0, 0, 0, 0, 0, 5, 1}},
        {"data after the checksum without a comma",
         withChecksum("$GPHDT,1,T", "X\r\n"),
         {0, 0, 0, 0, 0, 0, 1, 2}},
    };
    for (const auto& c : cases) {
        for (const LineCounters& counters : {countByBuffer(c.bytes), countByByte(c.bytes)}) {
            SCOPED_TRACE(c.what);
            EXPECT_EQ(counters.bytes, c.bytes.size());
            EXPECT_EQ(counters.accepted, c.expected.accepted);
            EXPECT_EQ(counters.badChecksum, c.expected.bad);
            EXPECT_EQ(counters.noChecksum, c.expected.none);
            EXPECT_EQ(counters.tooLong, c.expected.tooLong);
            EXPECT_EQ(counters.noiseBytes, c.expected.noise);
            EXPECT_EQ(counters.unknownType, c.expected.unknown);
            EXPECT_EQ(counters.malformed, c.expected.malformed);
            EXPECT_EQ(counters.lineEndBytes, c.expected.lineEnds);
            EXPECT_EQ(decidedBytes(counters), counters.bytes);
        }
        EXPECT_EQ(countByBuffer(c.bytes), countByByte(c.bytes)) << c.what;
    }
}

// Random streams of every kind of line, fed in random read sizes: each byte lands in
// exactly one outcome class, and every count equals the one the generator kept while
// writing the stream.
TEST(LineCounters, EveryByteInExactlyOneOutcome) {
    std::mt19937 random(20);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const char* const bodies[] = {
        "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,",
        "!AIVDM,1,1,,B,:6TMCD1GOS60,0",
        "$HEHDT,274.07,T",
        "$GPRMC,225446,A,4916.45,N,12311.12,W,000.5,054.7,191194,020.3,E",
        "$IIMWV,214.8,R,12.1,N,A",
    };
    for (const unsigned rules : {0u, unsigned{kStrictFraming}, unsigned{kCommentLines}}) {
        const bool strict = rules == kStrictFraming;
        for (int round = 0; round < 40; ++round) {
            std::string stream;
            LineCounters want{};
            auto noise = [&](std::size_t n) {
                for (std::size_t i = 0; i < n; ++i) {
                    unsigned char c;
                    do {
                        c = static_cast<unsigned char>(pick(256));
                    } while (c == '$' || c == '!' || c == '#');
                    stream += static_cast<char>(c);
                    (c == '\r' || c == '\n' ? want.lineEndBytes : want.noiseBytes) += 1;
                }
            };
            auto lineEnd = [&] {
                stream += "\r\n";
                want.lineEndBytes += 2;
            };
            // A sentence of `text`, accepted with `deviations` unless strict; strictly
            // it breaks off after `breakAt` bytes and the rest goes by as `restNoise`
            // noise bytes and `restLineEnds` line ends.
            auto deviating = [&](const std::string& text, FrameDeviations deviations,
                                 std::size_t breakAt, std::size_t restNoise,
                                 std::size_t restLineEnds) {
                stream += text;
                if (!strict || deviations == 0) {
                    ++want.accepted;
                    want.acceptedBytes += text.size();
                    for (int k = 0; k < kDeviationKindCount; ++k) {
                        want.warnings[k] += (deviations >> k) & 1u;
                    }
                    return;
                }
                ++want.malformed;
                want.malformedBytes += breakAt;
                want.noiseBytes += restNoise;
                want.lineEndBytes += restLineEnds;
            };
            for (int segment = 0; segment < 60; ++segment) {
                const std::string body = bodies[pick(5)];
                const std::string good = withChecksum(body);
                const std::size_t star = good.size() - 5;
                switch (pick(10)) {
                    case 0:
                        deviating(good, 0, 0, 0, 0);
                        break;
                    case 1: {  // a wrong checksum
                        std::string bad = good;
                        bad[star + 1] = bad[star + 1] == '0' ? '1' : '0';
                        stream += bad;
                        ++want.badChecksum;
                        want.badChecksumBytes += bad.size();
                        break;
                    }
                    case 2: {  // over-long: abandoned, its whole line with it
                        const std::string line =
                            "$GPHDT," +
                            std::string(250 + static_cast<std::size_t>(pick(200)), '7') + "\r\n";
                        stream += line;
                        ++want.tooLong;
                        want.tooLongBytes += line.size();
                        break;
                    }
                    case 3:
                        noise(static_cast<std::size_t>(pick(40)));
                        lineEnd();
                        break;
                    case 4: {  // a flood of start characters: each pair breaks off
                        const std::size_t n = 2 * static_cast<std::size_t>(1 + pick(300));
                        stream += std::string(n, '$');
                        want.malformed += n / 2;
                        want.malformedBytes += n;
                        lineEnd();
                        break;
                    }
                    case 5:
                        deviating(withChecksum(body, "\n"), kLfOnly, good.size() - 1, 0, 0);
                        break;
                    case 6:
                        deviating(withChecksum(body, "\r\r\n"), kCrCrLf, good.size(), 0, 1);
                        break;
                    case 7: {
                        std::string lower = good;
                        std::size_t firstLetter = 0;
                        for (std::size_t k = star + 1; k < star + 3; ++k) {
                            if (lower[k] >= 'A') {
                                lower[k] = static_cast<char>(lower[k] + ('a' - 'A'));
                                firstLetter = firstLetter == 0 ? k : firstLetter;
                            }
                        }
                        if (firstLetter == 0) {
                            deviating(lower, 0, 0, 0, 0);
                        } else {
                            deviating(lower, kLowercaseChecksum, firstLetter + 1,
                                      star + 2 - firstLetter, 2);
                        }
                        break;
                    }
                    case 8: {
                        const std::string tail = "s3631" + std::to_string(pick(1000)) + ",d-081";
                        deviating(withChecksum(body, ("," + tail + "\r\n").c_str()), kTrailingData,
                                  star + 4, tail.size(), 2);
                        break;
                    }
                    case 9: {  // a comment line quoting a sentence
                        stream += "\n";
                        want.lineEndBytes += 1;
                        const std::string comment = "# \"18/05/2012\" " + good;
                        stream += comment;
                        if (rules == kCommentLines) {
                            want.commentBytes += comment.size();
                        } else {
                            want.noiseBytes += 15;
                            ++want.accepted;
                            want.acceptedBytes += good.size();
                        }
                        break;
                    }
                }
            }
            ParserContext context;
            init(&context);
            registerSentenceParsers(&context, parseVdmFields);
            LineCounters counters{};
            watchLine(&context, &counters, nullptr, nullptr);
            setFraming(&context, rules);
            for (std::size_t at = 0; at < stream.size();) {
                const int read = std::min<int>(1 + pick(700), static_cast<int>(stream.size() - at));
                int left = read;
                while (left > 0) {
                    int length = left;
                    feedBuffer(&context, stream.data() + at + (read - left), &length);
                    left = length;
                }
                at += static_cast<std::size_t>(read);
            }
            want.bytes = stream.size();
            SCOPED_TRACE(testing::Message() << "rules " << rules << " round " << round);
            EXPECT_EQ(decidedBytes(counters), counters.bytes);
            EXPECT_EQ(counters.accepted, want.accepted);
            EXPECT_EQ(counters.badChecksum, want.badChecksum);
            EXPECT_EQ(counters.tooLong, want.tooLong);
            EXPECT_EQ(counters.malformed, want.malformed);
            for (int k = 0; k < kDeviationKindCount; ++k) {
                EXPECT_EQ(counters.warnings[k], want.warnings[k]) << kDeviationKinds[k].key;
            }
            EXPECT_EQ(counters.bytes, want.bytes);
            EXPECT_EQ(counters.acceptedBytes, want.acceptedBytes);
            EXPECT_EQ(counters.badChecksumBytes, want.badChecksumBytes);
            EXPECT_EQ(counters.tooLongBytes, want.tooLongBytes);
            EXPECT_EQ(counters.malformedBytes, want.malformedBytes);
            EXPECT_EQ(counters.lineEndBytes, want.lineEndBytes);
            EXPECT_EQ(counters.noiseBytes, want.noiseBytes);
            EXPECT_EQ(counters.commentBytes, want.commentBytes);
        }
    }
}

// The observer sees each framed sentence once, whole, with its verdict.
TEST(LineCounters, ObserverSeesFramedSentences) {
    std::string seen;
    auto observe = [](void* user, const char* sentence, int length, FrameOutcome outcome,
                      FrameDeviations) {
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
