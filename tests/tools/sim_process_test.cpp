// The real tidewright-sim: what it puts on the line, how fast, its faults, its error
// exits and the port link it publishes.

#include <gtest/gtest.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "sentence_text.h"
#include "sim_runner.h"
#include "uart_misread.h"

namespace {

using namespace simtest;

const std::vector<std::string> kSentences = {
    "$GPGGA,123519.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*69",
    "$SDDBT,12.5,f,3.8,M,2.1,F*38",
    "$GPGLL,4916.450,N,12311.120,W,225444.00,A,A*72",
    "$WIMWV,214.8,R,12.1,N,A*1E",
    "$HEHDT,274.1,T*2F",
    "$YXMTW,17.8,C*1C",
};

std::string joined(const std::vector<std::string>& lines, const char* end) {
    std::string text;
    for (const auto& l : lines) {
        text += l + end;
    }
    return text;
}

std::vector<std::string> repeated(std::size_t count) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < count; ++i) {
        lines.push_back(kSentences[i % kSentences.size()]);
    }
    return lines;
}

std::vector<std::string> splitCrLf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2) {
        lines.push_back(text.substr(start, at - start));
    }
    return lines;
}

// A simulator publishing into a runtime directory of its own, with a reader attached.
struct Session {
    TempDir dir;
    std::unique_ptr<SimProcess> sim;
    std::string device, link;
    std::unique_ptr<PortReader> port;

    explicit Session(std::vector<std::string> args,
                     const std::string& log = joined(kSentences, "\n")) {
        args.push_back(dir.write("talk.nmea", log));
        sim = std::make_unique<SimProcess>(
            args, std::vector<std::string>{"XDG_RUNTIME_DIR=" + dir.path()});
        device = sim->expect("device");
        link = sim->expect("link");
        port = std::make_unique<PortReader>(link);
    }
    // All of a --once --hold pass, read chunk by chunk (the sim says "done" once written).
    std::string onePass(std::vector<std::size_t>* chunkEnds = nullptr) {
        std::string all;
        for (std::string chunk; !(chunk = port->readChunk(1.0)).empty();) {
            all += chunk;
            if (chunkEnds != nullptr) {
                chunkEnds->push_back(all.size());
            }
        }
        EXPECT_EQ(sim->expect("done", 1), "done");
        return all;
    }
    ~Session() {
        port.reset();
        sim->signal(SIGTERM);
        sim->wait();
    }
};

TEST(SimProcess, SendsEveryLineWithCrLfWhateverTheLogsLineEnds) {
    std::string mixed = "# a capture header\n" + kSentences[0] + "\n" + kSentences[1] + "\r\n" +
                        kSentences[2] + "\r\n\n" + kSentences[3] + "\r" + kSentences[4] + "\n\r\n" +
                        kSentences[5];
    Session s({"--once", "--hold", "--fast"}, mixed);
    ASSERT_TRUE(s.port->isOpen());
    EXPECT_EQ(s.onePass(), joined(kSentences, "\r\n"));
}

TEST(SimProcess, TalksOnAGivenSerialDeviceInRawModeAtTheChosenSpeed) {
    int master = -1;
    int slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    std::string slavePath = ::ttyname(slave);
    TempDir dir;
    SimProcess sim({"--device", slavePath, "--baud", "38400", "--fast", "--once",
                    dir.write("talk.nmea", joined(kSentences, "\n"))});
    EXPECT_EQ(sim.expect("device"), slavePath);
    std::string expected = joined(kSentences, "\r\n");
    std::string got;
    for (double deadline = now() + 5; got.size() < expected.size() && now() < deadline;) {
        got += readChunk(master, 0.5);
    }
    EXPECT_EQ(got, expected);  // raw: no LF turned into CR LF on the way
    EXPECT_EQ(sim.wait().code, 0);
    termios settings{};
    ASSERT_EQ(::tcgetattr(slave, &settings), 0);
    EXPECT_EQ(::cfgetospeed(&settings), static_cast<speed_t>(B38400));
    ::close(master);
    ::close(slave);
}

// Bytes delivered per second, measured from the first byte on.
double measuredRate(int baud, double seconds) {
    Session s({"--baud", std::to_string(baud)}, joined(repeated(400), "\n"));
    s.port->readChunk(3);
    double start = now();
    std::size_t bytes = 0;
    while (now() - start < seconds) {
        bytes += s.port->readChunk(0.2).size();
    }
    return static_cast<double>(bytes) / (now() - start);
}

TEST(SimProcess, PacesAtTheLineRateOfTenBitsPerByte) {
    EXPECT_NEAR(measuredRate(4800, 3.0), 480.0, 480.0 * 0.2);
    EXPECT_NEAR(measuredRate(38400, 2.0), 3840.0, 3840.0 * 0.2);
}

TEST(SimProcess, ChecksumAndGarbageFaultsHitEveryNthSentence) {
    struct Case {
        std::vector<std::string> args;
        std::size_t every;
        std::function<std::string(const std::string&)> fault;
    };
    const Case cases[] = {
        {{"--bad-checksum", "2"}, 2, [](auto& s) { return sim::withWrongChecksum(s) + "\r\n"; }},
        // The talker at 38400 heard by a receiver at 4800: the sentence is lost in garbage.
        {{"--garbage", "3"}, 3, [](auto& s) { return sim::uartMisread(s + "\r\n", 38400, 4800); }},
    };
    for (const auto& c : cases) {
        auto args = c.args;
        args.insert(args.end(), {"--once", "--hold", "--fast"});
        Session s(args);
        std::string expected;
        for (std::size_t i = 0; i < kSentences.size(); ++i) {
            expected += (i + 1) % c.every == 0 ? c.fault(kSentences[i]) : kSentences[i] + "\r\n";
        }
        EXPECT_EQ(s.onePass(), expected) << c.args[0];
    }
}

TEST(SimProcess, NoiseFollowsEveryNthSentenceAndIsReproducibleBySeed) {
    auto run = [] {
        return Session({"--once", "--hold", "--fast", "--noise", "2", "--seed", "99"}).onePass();
    };
    std::string first = run();
    EXPECT_EQ(first, run());
    auto lines = splitCrLf(first);
    ASSERT_EQ(lines.size(), kSentences.size());
    for (std::size_t i = 0; i < kSentences.size(); ++i) {
        // Noise after sentences 2 and 4 leads lines 3 and 5 (and trails the pass).
        std::size_t at = lines[i].find(kSentences[i]);
        ASSERT_EQ(at + kSentences[i].size(), lines[i].size()) << i;
        EXPECT_EQ(at > 0, i == 2 || i == 4) << i;
        EXPECT_LE(at, 16u);
        EXPECT_EQ(lines[i].find_first_of("$!"), at) << "noise must not start a sentence";
    }
    EXPECT_GT(first.size(), joined(kSentences, "\r\n").size());
}

TEST(SimProcess, SplitSentencesArriveInTwoReads) {
    Session s({"--once", "--hold", "--fast", "--split", "1", "--seed", "5"});
    std::vector<std::size_t> chunkEnds;
    ASSERT_EQ(s.onePass(&chunkEnds), joined(kSentences, "\r\n"));
    std::size_t start = 0;
    for (const auto& sentence : kSentences) {
        std::size_t end = start + sentence.size() + 2;
        EXPECT_TRUE(std::any_of(chunkEnds.begin(), chunkEnds.end(), [&](std::size_t b) {
            return b > start && b < end;
        })) << sentence;
        start = end;
    }
}

TEST(SimProcess, LostFragmentsTakeOneFragmentOfAMessageAndNothingElse) {
    // Real AIS traffic (libais test data, Apache-2.0; also in the default log).
    const std::vector<std::string> ais = {
        "!AIVDM,2,1,3,B,55NBjP01mtGIL@CW;SM<D60P5Ld000000000000P0`<3557l0<50@kk@,0*66",
        "!AIVDM,2,2,3,B,K5h@00000000000,2*72",
        "!AIVDM,1,1,,A,15B4FT5000JRP>PE6E68Nbkl0PS5,0*70",
        "!AIVDM,2,1,1,A,55>u@H02;lGc<Ha;L0084i<7GR22222222222216:PE885AU0A4l13H13kBC,0*3D",
        "!AIVDM,2,2,1,A,R@hC`4QD;`0,2*06",
    };
    Session s({"--once", "--hold", "--fast", "--drop-fragment", "1", "--seed", "11"},
              joined(ais, "\n"));
    auto lines = splitCrLf(s.onePass());
    auto sent = [&](std::size_t i) { return std::count(lines.begin(), lines.end(), ais[i]) == 1; };
    EXPECT_EQ(lines.size(), 3u);
    EXPECT_TRUE(sent(2));
    EXPECT_NE(sent(0), sent(1));
    EXPECT_NE(sent(3), sent(4));
}

TEST(SimProcess, ErrorsEndWithAMessageAndAFailureCode) {
    TempDir dir;
    std::string log = dir.write("ok.nmea", joined(kSentences, "\n"));
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--no-such-option", log}, "unknown option"},
        {{"--baud", "9600", log}, "unsupported speed"},
        {{dir.path() + "/missing.nmea"}, "cannot read log"},
        {{dir.path()}, "cannot read log"},
        {{dir.write("comments.nmea", "# a header only\n\n")}, "holds no sentence"},
        {{"--device", dir.path() + "/no-such-tty", log}, "cannot open device"},
        {{"--device", "/dev/null", log}, "not a serial device"},
        {{"--tee", dir.path() + "/no/dir/tee", log}, "cannot write"},
        {{"--hold", log}, "--hold needs --once"},
    };
    for (const auto& [args, message] : cases) {
        SimProcess sim(args, {"XDG_RUNTIME_DIR=" + dir.path()});
        auto exit = sim.wait(5);
        EXPECT_TRUE(exit.exited && exit.code != 0) << message;
        EXPECT_NE(exit.err.find(message), std::string::npos) << exit.err;
    }
    SimProcess help({"--help"});
    EXPECT_EQ(help.expect("usage:").substr(0, 14), "tidewright-sim");
    EXPECT_EQ(help.wait().code, 0);
}

TEST(SimProcess, PublishesItsPortAndRemovesTheLinkWhenEnded) {
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        Session s({"--fast"});
        EXPECT_EQ(s.link, s.dir.path() + "/tidewright/sim-" + std::to_string(s.sim->pid()));
        EXPECT_EQ(std::filesystem::read_symlink(s.link), s.device);
        struct stat info {};
        ASSERT_EQ(::stat((s.dir.path() + "/tidewright").c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u);

        s.sim->signal(signalNumber);
        auto exit = s.sim->wait(3);
        EXPECT_TRUE(exit.exited && exit.code == 0) << "signal " << signalNumber << exit.err;
        EXPECT_FALSE(std::filesystem::is_symlink(s.link)) << "link left behind";
    }
}

TEST(SimProcess, PublishesInTmpWithoutARuntimeDirectoryAndUnderAChosenName) {
    TempDir dir;
    std::string log = dir.write("talk.nmea", joined(kSentences, "\n"));
    std::string name = "test-" + std::to_string(::getpid());
    for (std::string xdg :
         {std::string("XDG_RUNTIME_DIR"), "XDG_RUNTIME_DIR=" + dir.path() + "/nope"}) {
        SimProcess sim({"--name", name, log}, {xdg});
        EXPECT_EQ(sim.expect("link"), "/tmp/tidewright-" + std::to_string(::getuid()) + "/" + name);
        sim.signal(SIGINT);
        EXPECT_EQ(sim.wait().code, 0);
    }
}

TEST(SimProcess, LinksOfKilledSimulatorsAreRemovedAndLiveOnesRespected) {
    TempDir dir;
    std::string log = dir.write("talk.nmea", joined(kSentences, "\n"));
    std::vector<std::string> env{"XDG_RUNTIME_DIR=" + dir.path()};
    SimProcess live({log}, env);
    std::string liveLink = live.expect("link");
    SimProcess killed({log}, env);  // killed outright, it cannot remove its link
    std::string deadLink = killed.expect("link");
    killed.signal(SIGKILL);
    killed.wait();
    ASSERT_TRUE(std::filesystem::is_symlink(deadLink));

    auto refused = SimProcess({"--name", "sim-" + std::to_string(live.pid()), log}, env).wait();
    EXPECT_NE(refused.err.find("already exists"), std::string::npos) << refused.err;

    SimProcess next({log}, env);
    next.expect("link");
    EXPECT_FALSE(std::filesystem::is_symlink(deadLink)) << "stale link kept";
    EXPECT_TRUE(std::filesystem::is_symlink(liveLink)) << "live link removed";
}

TEST(SimProcess, NobodyReadingNeitherBlocksTheTalkerNorPilesUpBacklog) {
    {  // Unpaced with no reader the line is full at once, yet a signal still ends it.
        Session s({"--fast"}, joined(repeated(300), "\n"));
        s.port.reset();
        ::sleep(2);
        s.sim->signal(SIGINT);
        auto exit = s.sim->wait(3);
        EXPECT_TRUE(exit.exited && exit.code == 0);
    }
    // A monitor that opens the port late starts on recent sentences, not on all of them.
    Session s({"--baud", "38400"}, joined(repeated(300), "\n"));
    s.port.reset();
    ::sleep(6);  // 23,000 bytes at the line rate
    PortReader late(s.link);
    std::string backlog;
    for (double end = now() + 0.3; now() < end;) {
        backlog += late.readChunk(end - now());
    }
    EXPECT_LT(backlog.size(), 4u * 3840u);
}

}  // namespace
