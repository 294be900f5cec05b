// The simulator's pure parts: option parsing, log splitting, checksums, faults, and the
// wrong-speed receiver model.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "faults.h"
#include "log_lines.h"
#include "options.h"
#include "sentence_text.h"
#include "uart_misread.h"

namespace {

std::vector<const char*> argvOf(const std::vector<std::string>& args) {
    std::vector<const char*> argv{"tidewright-sim"};
    for (const auto& a : args) {
        argv.push_back(a.c_str());
    }
    return argv;
}

sim::ParseOutcome parse(const std::vector<std::string>& args, sim::SimOptions& options,
                        std::string& error) {
    auto argv = argvOf(args);
    return sim::parseOptions(static_cast<int>(argv.size()), argv.data(), options, error);
}

TEST(SimOptions, AcceptsEveryOptionInBothSpellings) {
    sim::SimOptions o;
    std::string error;
    ASSERT_EQ(parse({"--baud", "38400", "--fast", "--once", "--hold", "--name=demo", "--seed", "7",
                     "--bad-checksum", "3", "--noise=2", "--drop-fragment", "4", "--split=5",
                     "--garbage", "6", "--tee", "t.out", "my.log"},
                    o, error),
              sim::ParseOutcome::Run)
        << error;
    EXPECT_EQ(o.baud, 38400);
    EXPECT_TRUE(o.fast && o.once && o.hold && o.seedGiven);
    EXPECT_EQ(o.linkName, "demo");
    EXPECT_EQ(o.seed, 7u);
    EXPECT_EQ(o.teePath, "t.out");
    EXPECT_EQ(o.logPath, "my.log");
    EXPECT_EQ(std::vector<int>({o.badChecksumEvery, o.noiseEvery, o.dropFragmentEvery, o.splitEvery,
                                o.garbageEvery}),
              std::vector<int>({3, 2, 4, 5, 6}));
}

TEST(SimOptions, RejectsWhatCannotBeRun) {
    const std::vector<std::vector<std::string>> cases = {
        {"--bogus"},
        {"-x"},
        {"--baud", "9600"},
        {"--baud"},
        {"--noise", "0"},
        {"--noise", "-3"},
        {"--split", "2x"},
        {"--seed", "abc"},
        {"--fast=yes"},
        {"--name", "a/b"},
        {"--name", ""},
        {"--hold"},
        {"--device", "/dev/ttyS0", "--name", "x"},
        {"one.log", "two.log"},
    };
    for (const auto& args : cases) {
        sim::SimOptions o;
        std::string error;
        EXPECT_EQ(parse(args, o, error), sim::ParseOutcome::Error) << args.front();
        EXPECT_FALSE(error.empty()) << args.front();
    }
    sim::SimOptions o;
    std::string error;
    EXPECT_EQ(parse({"--once", "-h"}, o, error), sim::ParseOutcome::Help);
}

TEST(SimLog, SplitsAtEveryKindOfLineEndAndSkipsCommentsAndBlanks) {
    EXPECT_EQ(sim::splitLogLines("$A\n$B\r\n$C\r$D\r\n\r\n# note\n\n$E"),
              std::vector<std::string>({"$A", "$B", "$C", "$D", "$E"}));
    EXPECT_EQ(sim::splitLogLines("\xB5\x62\x01\n"), std::vector<std::string>({"\xB5\x62\x01"}));
    EXPECT_TRUE(sim::splitLogLines("\r\n\n# only a comment\r").empty());
}

TEST(SimSentence, WrongChecksumIsAlwaysWrongAndKeepsTheRest) {
    const std::string good = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47";
    std::string bad = sim::withWrongChecksum(good);
    ASSERT_EQ(bad.size(), good.size());
    EXPECT_EQ(bad.substr(0, bad.size() - 2), good.substr(0, good.size() - 2));
    EXPECT_NE(bad.substr(bad.size() - 2), "47");
    // A sentence that already carried a wrong checksum must not be "corrected".
    std::string alreadyBad = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*48";
    EXPECT_NE(sim::withWrongChecksum(alreadyBad).substr(alreadyBad.size() - 2), "47");
    EXPECT_EQ(sim::withWrongChecksum("$IIMTW,17.8,C"), "$IIMTW,17.8,C*1E");
    EXPECT_EQ(sim::withWrongChecksum("!AIVDM,1,1,,A,1,0*7f,tag"),
              "!AIVDM,1,1,,A,1,0*" + std::string("18") + ",tag");
}

TEST(SimSentence, RecognisesVdmFragments) {
    int total = 0;
    int number = 0;
    EXPECT_TRUE(sim::vdmFragment("!AIVDM,2,1,3,B,55NBjP01,0*66", total, number));
    EXPECT_EQ(total, 2);
    EXPECT_EQ(number, 1);
    EXPECT_TRUE(sim::vdmFragment("!ABVDO,3,3,,A,x,0*00", total, number));
    EXPECT_EQ(number, 3);
    EXPECT_FALSE(sim::vdmFragment("$GPVDM,1,1,,A,x,0", total, number));
    EXPECT_FALSE(sim::vdmFragment("!AIVDM,1,2,,A,x,0", total, number));
    EXPECT_FALSE(sim::vdmFragment("!AIVDM,,1,,A,x,0", total, number));
    EXPECT_FALSE(sim::vdmFragment("!AIVDM", total, number));
}

TEST(SimUart, SameSpeedHearsEveryByteAndWrongSpeedHearsGarbage) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    EXPECT_EQ(sim::uartMisread(all, 4800, 4800), all);
    EXPECT_EQ(sim::uartMisread(all, 38400, 38400), all);

    // 0xFF sent at 4800: its start bit lasts eight bit times at 38400, so a fast
    // receiver hears its own start bit and seven zero data bits, then the first high
    // data bit: 0x80 with a good stop bit, then idle.
    EXPECT_EQ(sim::uartMisread("\xFF", 4800, 38400), "\x80");
    // 0x00 sent slowly: nine low bits look like a break to the fast receiver.
    std::string heard = sim::uartMisread(std::string(1, '\0'), 4800, 38400);
    EXPECT_EQ(heard, std::string(1, '\0'));

    const std::string sentence = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4*47\r\n";
    std::string slowHeard = sim::uartMisread(sentence, 38400, 4800);
    EXPECT_LT(slowHeard.size(), sentence.size() / 4);
    std::string fastHeard = sim::uartMisread(sentence, 4800, 38400);
    EXPECT_GT(fastHeard.size(), sentence.size());
    EXPECT_EQ(fastHeard.find('$'), std::string::npos);
}

sim::SimOptions faultOptions() {
    sim::SimOptions o;
    o.baud = 4800;
    return o;
}

TEST(SimFaults, CleanLinesGetCrLfAndNothingElse) {
    sim::FaultInjector injector(faultOptions(), 1);
    auto t = injector.shape("$IIMTW,17.8,C*1D");
    ASSERT_EQ(t.pieces.size(), 1u);
    EXPECT_EQ(t.pieces[0].bytes, "$IIMTW,17.8,C*1D\r\n");
    EXPECT_EQ(t.lineBytes, 18u);
    // Lines that are not sentences pass through and are not counted.
    auto o = faultOptions();
    o.badChecksumEvery = 1;
    sim::FaultInjector counting(o, 1);
    EXPECT_EQ(counting.shape("binary\x01").pieces[0].bytes, "binary\x01\r\n");
}

TEST(SimFaults, EachFaultHitsEveryNthSentence) {
    const std::string sentence = "$IIMTW,17.8,C*1D";
    struct Case {
        const char* name;
        int sim::SimOptions::*field;
        bool (*hit)(const sim::Transmission&);
    };
    const Case cases[] = {
        {"bad checksum", &sim::SimOptions::badChecksumEvery,
         [](const sim::Transmission& t) { return t.pieces[0].bytes != "$IIMTW,17.8,C*1D\r\n"; }},
        {"noise", &sim::SimOptions::noiseEvery,
         [](const sim::Transmission& t) { return t.pieces[0].bytes.size() > 18; }},
        {"split", &sim::SimOptions::splitEvery,
         [](const sim::Transmission& t) { return t.pieces.size() == 2; }},
        {"garbage", &sim::SimOptions::garbageEvery,
         [](const sim::Transmission& t) { return t.pieces[0].bytes.find('$') != 0; }},
    };
    for (const auto& c : cases) {
        auto o = faultOptions();
        o.*(c.field) = 3;
        sim::FaultInjector injector(o, 42);
        for (int i = 1; i <= 9; ++i) {
            EXPECT_EQ(c.hit(injector.shape(sentence)), i % 3 == 0) << c.name << " sentence " << i;
        }
    }
}

TEST(SimFaults, NoiseAndSplitKeepTheSentenceIntact) {
    auto o = faultOptions();
    o.noiseEvery = 1;
    o.splitEvery = 1;
    sim::FaultInjector injector(o, 9);
    const std::string sentence = "$GPGLL,4916.450,N,12311.120,W,225444.00,A,A*72";
    std::set<std::size_t> splitPoints;
    for (int i = 0; i < 50; ++i) {
        auto t = injector.shape(sentence);
        ASSERT_EQ(t.pieces.size(), 2u);
        EXPECT_FALSE(t.pieces[0].pauseBefore);
        EXPECT_TRUE(t.pieces[1].pauseBefore);
        std::string joined = t.pieces[0].bytes + t.pieces[1].bytes;
        ASSERT_EQ(joined.substr(0, sentence.size() + 2), sentence + "\r\n");
        std::string noise = joined.substr(sentence.size() + 2);
        EXPECT_GE(noise.size(), 1u);
        EXPECT_LE(noise.size(), 16u);
        for (unsigned char b : noise) {
            EXPECT_TRUE(sim::FaultInjector::isNoiseByte(b));
        }
        EXPECT_EQ(t.lineBytes, joined.size());
        splitPoints.insert(t.pieces[0].bytes.size());
    }
    EXPECT_GT(splitPoints.size(), 5u);  // the split point moves
}

TEST(SimFaults, LostFragmentsTakeOneFragmentOfEveryNthMultiSentenceMessage) {
    auto o = faultOptions();
    o.dropFragmentEvery = 2;
    sim::FaultInjector injector(o, 3);
    const std::vector<std::string> stream = {
        "!AIVDM,2,1,1,A,aaa,0*00",   "!AIVDM,2,2,1,A,bbb,2*00",  // message 1: kept
        "!AIVDM,1,1,,A,single,0*00",                             // not multi-sentence
        "!AIVDM,3,1,2,B,ccc,0*00",   "!AIVDM,3,2,2,B,ddd,0*00",
        "!AIVDM,3,3,2,B,eee,2*00",                               // message 2: one lost
        "!AIVDM,2,1,3,A,fff,0*00",   "!AIVDM,2,2,3,A,ggg,2*00",  // message 3: kept
    };
    std::vector<bool> sent;
    for (const auto& line : stream) {
        auto t = injector.shape(line);
        sent.push_back(!t.pieces.empty());
        if (t.pieces.empty()) {
            EXPECT_EQ(t.lineBytes, 0u);
        }
    }
    EXPECT_TRUE(sent[0] && sent[1] && sent[2] && sent[6] && sent[7]);
    EXPECT_EQ(int(!sent[3]) + int(!sent[4]) + int(!sent[5]), 1);
}

TEST(SimFaults, TheSameSeedGivesTheSameFaults) {
    auto o = faultOptions();
    o.noiseEvery = 1;
    o.splitEvery = 2;
    sim::FaultInjector a(o, 1234);
    sim::FaultInjector b(o, 1234);
    for (int i = 0; i < 20; ++i) {
        auto ta = a.shape("$IIMTW,17.8,C*1D");
        auto tb = b.shape("$IIMTW,17.8,C*1D");
        ASSERT_EQ(ta.pieces.size(), tb.pieces.size());
        for (std::size_t p = 0; p < ta.pieces.size(); ++p) {
            EXPECT_EQ(ta.pieces[p].bytes, tb.pieces[p].bytes);
        }
    }
}

}  // namespace
