// The real tidewright-sim executable: what it puts on the line, how fast, its faults,
// its error exits and the port link it publishes.

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "sentence_text.h"
#include "sim_runner.h"
#include "uart_misread.h"

namespace {

using simtest::now;
using simtest::PortReader;
using simtest::SimProcess;
using simtest::TempDir;

const std::vector<std::string> kSentences = {
    "$GPGGA,123519.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*69",
    "$SDDBT,12.5,f,3.8,M,2.1,F*38",
    "$GPGLL,4916.450,N,12311.120,W,225444.00,A,A*72",
    "$WIMWV,214.8,R,12.1,N,A*1E",
    "$HEHDT,274.1,T*2F",
    "$YXMTW,17.8,C*1C",
};

std::string lfLog(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& l : lines) {
        text += l + "\n";
    }
    return text;
}

std::string crlfJoined(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& l : lines) {
        text += l + "\r\n";
    }
    return text;
}

std::vector<std::string> splitCrLf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2) {
        lines.push_back(text.substr(start, at - start));
    }
    return lines;
}

// A simulator publishing into its own runtime directory, with the reader attached.
struct Session {
    TempDir dir;
    std::unique_ptr<SimProcess> sim;
    std::string device;
    std::string link;
    std::unique_ptr<PortReader> port;

    explicit Session(std::vector<std::string> args, const std::string& log = lfLog(kSentences)) {
        args.push_back(dir.write("talk.nmea", log));
        sim = std::make_unique<SimProcess>(
            args, std::vector<std::string>{"XDG_RUNTIME_DIR=" + dir.path()});
        device = sim->expect("device");
        link = sim->expect("link");
        port = std::make_unique<PortReader>(link);
    }
    // Everything of one --once --hold pass (the sim says "done" when it has written it).
    std::string onePass() {
        EXPECT_EQ(sim->expect("done", 10), "done");
        std::string all;
        for (std::string chunk; !(chunk = port->readChunk(0.3)).empty();) {
            all += chunk;
        }
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
                        kSentences[2] + "\r" + "\n\n" + kSentences[3] + "\r\n\r\n" + kSentences[4] +
                        "\n" + kSentences[5];
    Session s({"--once", "--hold", "--fast"}, mixed);
    ASSERT_TRUE(s.port->isOpen());
    EXPECT_EQ(s.onePass(), crlfJoined(kSentences));
}

TEST(SimProcess, TalksOnAGivenSerialDeviceInRawModeAtTheChosenSpeed) {
    int master = -1;
    int slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    std::string slavePath = ::ttyname(slave);
    TempDir dir;
    SimProcess sim({"--device", slavePath, "--baud", "38400", "--fast", "--once",
                    dir.write("talk.nmea", lfLog(kSentences))});
    EXPECT_EQ(sim.expect("device"), slavePath);
    std::string expected = crlfJoined(kSentences);
    std::string got;
    double deadline = now() + 5;
    char buffer[4096];
    while (got.size() < expected.size() && now() < deadline) {
        ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n > 0) {
            got.append(buffer, static_cast<std::size_t>(n));
        }
    }
    EXPECT_EQ(got, expected);  // raw mode: no CR LF turned into CR CR LF on the way
    auto exit = sim.wait();
    EXPECT_TRUE(exit.exited);
    EXPECT_EQ(exit.code, 0) << exit.err;
    termios settings{};
    ASSERT_EQ(::tcgetattr(slave, &settings), 0);
    EXPECT_EQ(::cfgetospeed(&settings), static_cast<speed_t>(B38400));
    ::close(master);
    ::close(slave);
}

// Bytes delivered per interval against the line rate: ten bits per byte.
double measuredRate(int baud, double seconds) {
    std::vector<std::string> many;
    for (int i = 0; i < 400; ++i) {
        many.push_back(kSentences[static_cast<std::size_t>(i) % kSentences.size()]);
    }
    Session s({"--baud", std::to_string(baud)}, lfLog(many));
    std::string first = s.port->readChunk(3);  // the clock starts at the first byte
    double start = now();
    std::size_t bytes = 0;
    while (now() - start < seconds) {
        bytes += s.port->readChunk(0.2).size();
    }
    return static_cast<double>(bytes) / (now() - start);
}

TEST(SimProcess, PacesAtTheLineRateOfTheChosenSpeed) {
    const double slow = measuredRate(4800, 3.0);
    EXPECT_NEAR(slow, 480.0, 480.0 * 0.2);
    const double fast = measuredRate(38400, 2.0);
    EXPECT_NEAR(fast, 3840.0, 3840.0 * 0.2);
}

TEST(SimProcess, WrongChecksumOnEveryNthSentence) {
    Session s({"--once", "--hold", "--fast", "--bad-checksum", "2"});
    auto lines = splitCrLf(s.onePass());
    ASSERT_EQ(lines.size(), kSentences.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        char computed[3];
        std::snprintf(computed, sizeof computed, "%02X", sim::nmeaChecksum(line));
        bool checksumRight = line.substr(line.size() - 2) == computed;
        EXPECT_EQ(checksumRight, (i + 1) % 2 != 0) << line;
        EXPECT_EQ(line.substr(0, line.size() - 2),
                  kSentences[i].substr(0, kSentences[i].size() - 2));
    }
}

TEST(SimProcess, NoiseBetweenSentencesIsReproducibleBySeed) {
    auto run = [] {
        Session s({"--once", "--hold", "--fast", "--noise", "2", "--seed", "99"});
        return s.onePass();
    };
    std::string first = run();
    EXPECT_EQ(first, run());
    auto lines = splitCrLf(first);
    ASSERT_GE(lines.size(), kSentences.size());
    // Noise follows sentences 2 and 4 and 6, so it leads lines 3 and 5 and trails the pass.
    for (std::size_t i = 0; i < kSentences.size(); ++i) {
        std::size_t at = lines[i].find(kSentences[i]);
        ASSERT_NE(at, std::string::npos) << i;
        EXPECT_EQ(at > 0, i == 2 || i == 4) << i;
        EXPECT_EQ(at + kSentences[i].size(), lines[i].size());
    }
    EXPECT_GT(first.size(), crlfJoined(kSentences).size());
}

TEST(SimProcess, SplitSentencesArriveInTwoReads) {
    Session s({"--once", "--hold", "--fast", "--split", "1", "--seed", "5"});
    std::string all;
    std::vector<std::size_t> boundaries;
    for (std::string chunk; !(chunk = s.port->readChunk(1.0)).empty();) {
        all += chunk;
        boundaries.push_back(all.size());
    }
    ASSERT_EQ(all, crlfJoined(kSentences));
    std::size_t start = 0;
    for (const auto& sentence : kSentences) {
        std::size_t end = start + sentence.size() + 2;
        bool brokenInside = false;
        for (auto b : boundaries) {
            brokenInside = brokenInside || (b > start && b < end);
        }
        EXPECT_TRUE(brokenInside) << sentence;
        start = end;
    }
}

TEST(SimProcess, LostFragmentsLeaveOtherSentencesAlone) {
    const std::vector<std::string> ais = {
        "!AIVDM,2,1,3,B,55NBjP01mtGIL@CW;SM<D60P5Ld000000000000P0`<3557l0<50@kk@,0*66",
        "!AIVDM,2,2,3,B,K5h@00000000000,2*72",
        "!AIVDM,1,1,,A,15B4FT5000JRP>PE6E68Nbkl0PS5,0*70",
        "!AIVDM,2,1,1,A,55>u@H02;lGc<Ha;L0084i<7GR22222222222216:PE885AU0A4l13H13kBC,0*3D",
        "!AIVDM,2,2,1,A,R@hC`4QD;`0,2*06",
    };
    Session s({"--once", "--hold", "--fast", "--drop-fragment", "1", "--seed", "11"}, lfLog(ais));
    auto lines = splitCrLf(s.onePass());
    ASSERT_EQ(lines.size(), 3u);
    auto sent = [&](std::size_t i) {
        return std::find(lines.begin(), lines.end(), ais[i]) != lines.end();
    };
    EXPECT_TRUE(sent(2));
    EXPECT_NE(sent(0), sent(1));
    EXPECT_NE(sent(3), sent(4));
}

TEST(SimProcess, WrongSpeedGarbageReplacesTheSentence) {
    Session s({"--once", "--hold", "--fast", "--garbage", "3"});
    std::string expected;
    for (std::size_t i = 0; i < kSentences.size(); ++i) {
        std::string text = kSentences[i] + "\r\n";
        expected += (i + 1) % 3 == 0 ? sim::uartMisread(text, 38400, 4800) : text;
    }
    std::string got = s.onePass();
    EXPECT_EQ(got, expected);
    EXPECT_EQ(got.find(kSentences[2]), std::string::npos);
}

TEST(SimProcess, ErrorsEndWithAMessageAndAFailureCode) {
    TempDir dir;
    std::string log = dir.write("ok.nmea", lfLog(kSentences));
    std::string comments = dir.write("comments.nmea", "# nothing but a header\n\n");
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"--no-such-option", log}, "unknown option"},
        {{"--baud", "9600", log}, "unsupported speed"},
        {{dir.path() + "/missing.nmea"}, "cannot read log"},
        {{dir.path()}, "cannot read log"},
        {{comments}, "holds no sentence"},
        {{"--device", dir.path() + "/no-such-tty", log}, "cannot open device"},
        {{log, log}, "more than one log"},
        {{"--device", "/dev/null", log}, "not a serial device"},
        {{"--tee", dir.path() + "/no/such/dir/tee", log}, "cannot write"},
        {{"--split", "0", log}, "--split"},
    };
    for (const auto& c : cases) {
        SimProcess sim(c.args, {"XDG_RUNTIME_DIR=" + dir.path()});
        auto exit = sim.wait(5);
        EXPECT_TRUE(exit.exited) << c.message << ": still running";
        EXPECT_NE(exit.code, 0) << c.message;
        EXPECT_NE(exit.err.find(c.message), std::string::npos) << exit.err;
    }
    SimProcess help({"--help"});
    EXPECT_EQ(help.readLine()->rfind("usage: tidewright-sim", 0), 0u);
    EXPECT_EQ(help.wait().code, 0);
}

TEST(SimProcess, PublishesItsPortAndRemovesTheLinkWhenEnded) {
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        TempDir dir;
        SimProcess sim({"--fast", dir.write("talk.nmea", lfLog(kSentences))},
                       {"XDG_RUNTIME_DIR=" + dir.path()});
        std::string device = sim.expect("device");
        std::string link = sim.expect("link");
        EXPECT_EQ(link, dir.path() + "/tidewright/sim-" + std::to_string(sim.pid()));
        std::vector<char> target(4096);
        ssize_t n = ::readlink(link.c_str(), target.data(), target.size());
        ASSERT_GT(n, 0);
        EXPECT_EQ(std::string(target.data(), static_cast<std::size_t>(n)), device);
        struct stat info {};
        ASSERT_EQ(::stat((dir.path() + "/tidewright").c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u);

        sim.signal(signalNumber);
        auto exit = sim.wait(3);
        EXPECT_TRUE(exit.exited) << "signal " << signalNumber;
        EXPECT_EQ(exit.code, 0) << exit.err;
        EXPECT_NE(::access(link.c_str(), F_OK), 0) << "link left behind";
        EXPECT_EQ(errno, ENOENT);
    }
}

TEST(SimProcess, PublishDirectoryFallsBackToTmpAndNamesCanBeChosen) {
    TempDir dir;
    std::string log = dir.write("talk.nmea", lfLog(kSentences));
    std::string name = "test-" + std::to_string(::getpid());
    for (std::string xdg :
         {std::string("XDG_RUNTIME_DIR"), "XDG_RUNTIME_DIR=" + dir.path() + "/nope"}) {
        SimProcess sim({"--name", name, log}, {xdg});
        sim.expect("device");
        EXPECT_EQ(sim.expect("link"), "/tmp/tidewright-" + std::to_string(::getuid()) + "/" + name);
        sim.signal(SIGINT);
        EXPECT_EQ(sim.wait().code, 0);
    }
}

TEST(SimProcess, StaleLinksOfDeadSimulatorsAreRemovedButLiveOnesKept) {
    TempDir dir;
    std::string log = dir.write("talk.nmea", lfLog(kSentences));
    std::vector<std::string> env{"XDG_RUNTIME_DIR=" + dir.path()};
    SimProcess live({log}, env);
    std::string liveLink = live.expect("link");
    // A simulator killed outright cannot remove its link.
    SimProcess killed({log}, env);
    std::string deadLink = killed.expect("link");
    killed.signal(SIGKILL);
    killed.wait();
    struct stat info {};
    ASSERT_EQ(::lstat(deadLink.c_str(), &info), 0);

    SimProcess next({"--name", "sim-" + std::to_string(live.pid()), log}, env);
    auto refused = next.wait();
    EXPECT_NE(refused.code, 0);
    EXPECT_NE(refused.err.find("already exists"), std::string::npos) << refused.err;

    SimProcess pruning({log}, env);
    pruning.expect("link");
    EXPECT_NE(::lstat(deadLink.c_str(), &info), 0) << "stale link kept";
    EXPECT_EQ(::lstat(liveLink.c_str(), &info), 0) << "live link removed";
    for (auto* p : {&live, &pruning}) {
        p->signal(SIGTERM);
        EXPECT_EQ(p->wait().code, 0);
    }
}

TEST(SimProcess, NobodyReadingNeitherBlocksTheTalkerNorPilesUpBacklog) {
    std::vector<std::string> many;
    for (int i = 0; i < 300; ++i) {
        many.push_back(kSentences[static_cast<std::size_t>(i) % kSentences.size()]);
    }
    // Full speed with no reader: the line fills at once, yet the talker stays responsive.
    {
        TempDir dir;
        SimProcess sim({"--fast", dir.write("talk.nmea", lfLog(many))},
                       {"XDG_RUNTIME_DIR=" + dir.path()});
        sim.expect("link");
        ::sleep(2);
        sim.signal(SIGINT);
        auto exit = sim.wait(3);
        EXPECT_TRUE(exit.exited);
        EXPECT_EQ(exit.code, 0);
    }
    // A monitor that opens the port late starts on recent sentences, not on all of them.
    Session s({"--baud", "38400"}, lfLog(many));
    s.port.reset();
    ::sleep(6);  // 23,000 bytes at the line rate
    PortReader late(s.link);
    // What arrives within a moment of opening is the backlog plus a little live talk.
    std::string backlog = late.readBytes(100000, 0.3);
    EXPECT_LT(backlog.size(), 4u * 3840u);
}

}  // namespace
