// The talker simulator: its wrong-checksum and wrong-speed rules, its default log, and the
// real tidewright-sim, read through the port it serves as a monitor would.

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "log_lines.h"
#include "network_output.h"
#include "pacer.h"
#include "publish.h"
#include "sentence_text.h"
#include "uart_misread.h"

namespace {

namespace fs = std::filesystem;

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

const std::string kTalk = TIDEWRIGHT_SIM_TEST_DATA "/talk.nmea";
const std::vector<std::string> kSentences = sim::splitLogLines(slurp(kTalk));
const std::string kOnLine = std::accumulate(
    kSentences.begin(), kSentences.end(), std::string(),
    [](const std::string& text, const std::string& s) { return text + s + "\r\n"; });

double now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// One read() worth of bytes; empty when nothing came within `seconds` or the end was reached.
std::string readChunk(int fd, double seconds) {
    pollfd p{fd, POLLIN, 0};
    char buffer[65536];
    ssize_t n = ::poll(&p, 1, std::max(0, static_cast<int>(seconds * 1000))) > 0
                    ? ::read(fd, buffer, sizeof buffer)
                    : 0;
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

// Logs written by the tests go here, and it is the runtime directory links are published in.
struct Scratch {
    std::string path = fs::temp_directory_path() / "tw-sim-test-XXXXXX";
    Scratch() { ::setenv("XDG_RUNTIME_DIR", ::mkdtemp(path.data()), 1); }
    ~Scratch() { fs::remove_all(path); }
    std::string write(const std::string& name, const std::string& text) const {
        std::ofstream(path + "/" + name, std::ios::binary) << text;
        return path + "/" + name;
    }
} const scratch;

// The real executable, stdout and stderr together; a hang fails by the test's timeout.
struct Sim {
    FILE* out;
    pid_t pid;

    explicit Sim(const std::string& args)
        : out(::popen(("echo pid $$; exec " TIDEWRIGHT_SIM_EXECUTABLE " " + args + " 2>&1").c_str(),
                      "r")),
          pid(std::stoi(expect("pid ").erase(0, 4))) {}
    ~Sim() { wait(SIGKILL); }
    // Signals it first unless `signal` is 0 or it was reaped; the exit code, or -1 if signalled.
    int wait(int signal = 0) {
        if (pid > 0 && signal != 0) {
            ::kill(pid, signal);
        }
        int status = out != nullptr ? ::pclose(std::exchange(out, nullptr)) : -1;
        pid = -1;
        return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // The first output line holding `key`, from the key on; empty when the output ends first.
    std::string expect(const std::string& key) {
        for (char line[4096]; std::fgets(line, sizeof line, out) != nullptr;) {
            if (const char* at = std::strstr(line, key.c_str())) {
                return std::string(at, std::strcspn(at, "\n"));
            }
        }
        return {};
    }
};

// A single unpaced pass as the simulator's own copy of the line (--tee) holds it.
std::string teed(const std::string& args, const std::string& log = kTalk) {
    const std::string tee = scratch.path + "/tee";
    EXPECT_EQ(Sim(args + " --once --fast --tee " + tee + " " + log).wait(), 0) << args;
    return slurp(tee);
}

// A simulator on its own pseudo-terminal, and a monitor's end: the published link opened.
struct Session {
    Sim sim;
    std::string device, link;
    int port;

    explicit Session(const std::string& args, const std::string& log = kTalk)
        : sim(args + " " + log),
          device(sim.expect("device ").erase(0, 7)),
          link(sim.expect("link ").erase(0, 5)),
          port(::open(link.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {}
    ~Session() { ::close(port); }
};

TEST(SimRules, WrongChecksumIsAlwaysWrongAndWrongSpeedHearsGarbage) {
    // Already wrong in the log (47 is right): the fault must not "repair" it.
    const std::string gga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*";
    EXPECT_EQ(sim::withWrongChecksum(gga + "46"), gga + "48");
    EXPECT_EQ(sim::withWrongChecksum("$IIMTW,17.8,C"), "$IIMTW,17.8,C*1E");
    EXPECT_EQ(sim::withWrongChecksum("!AIVDM,1,1,,A,1,0*7f,tag"), "!AIVDM,1,1,,A,1,0*18,tag");

    // 0xFF at 4800: its start bit lasts eight bit times at 38400, so a fast receiver hears
    // its own start bit, seven zero data bits, then the first high data bit.
    EXPECT_EQ(sim::uartMisread("\xFF", 4800, 38400), "\x80");
    // 0x00 at 4800: nine low bits make the stop bit low, a framing error: one NUL.
    EXPECT_EQ(sim::uartMisread(std::string(1, '\0'), 4800, 38400), std::string(1, '\0'));
    EXPECT_LT(sim::uartMisread(kOnLine, 38400, 4800).size(), kOnLine.size() / 4);
    EXPECT_EQ(sim::uartMisread(kOnLine, 4800, 38400).find('$'), std::string::npos);
}

// Every inspector table fills: each of the 26 sentence types and each AIS message (type/0;
// 18 in both communication states, 24 in both parts), all with correct checksums.
TEST(SimDefaultLog, CoversEverySentenceTypeAndAisMessage) {
    std::set<std::string> seen;
    for (const auto& line : sim::splitLogLines(slurp(TIDEWRIGHT_SIM_DEFAULT_LOG))) {
        EXPECT_EQ(std::stoul(line.substr(line.size() - 2), nullptr, 16), sim::nmeaChecksum(line))
            << line;
        seen.insert(line.substr(3, 3));
        std::smatch first;  // the payload of a message's first fragment
        if (std::regex_search(line, first, std::regex("^!..VD[MO],\\d,1,\\d?,\\w?,([^,]+)"))) {
            auto sixbit = [p = first.str(1)](std::size_t at) {
                return p[at] - (p[at] < '`' ? 48 : 56);
            };
            int type = sixbit(0);  // bits 0-5; 18: state selector, bit 148; 24: part, bits 38-39
            int variant = type == 18   ? (sixbit(24) >> 1) & 1
                          : type == 24 ? (sixbit(6) >> 2) & 3
                                       : 0;
            seen.insert(std::to_string(type) + '/' + std::to_string(variant));
        }
    }
    std::istringstream wanted(
        "GLL RMC GGA DPT GSA VDM HDG MTW MWD RMA RSA VHW VLW XTE ZDA APB DBT GSV HDT HSC MWV ROT "
        "RPM VBW VDR VTG 1/0 2/0 3/0 4/0 5/0 9/0 14/0 18/0 18/1 19/0 21/0 24/0 24/1");
    for (std::string type; wanted >> type;) {
        EXPECT_TRUE(seen.count(type)) << type << " missing from the default log";
    }
}

// What reaches the port: every line ending in CR LF whatever the log's line ends, through a
// raw terminal (a cooked one turns CR into LF); with --split every sentence in two reads.
TEST(SimProcess, SendsEveryLineWithCrLfAndSplitWhenAsked) {
    const char* ends[] = {"\n", "\r\n", "\r", "\n\r\n"};
    std::string mixed = "# a capture header\n";
    for (std::size_t i = 0; i < kSentences.size(); ++i) {
        mixed += kSentences[i] + ends[i % 4];
    }
    mixed.erase(mixed.find_last_not_of("\r\n") + 1);  // the last line without an end
    Session s("--once --hold --fast --split 1 --seed 5", scratch.write("mixed.nmea", mixed));
    std::string got;
    std::vector<std::size_t> readEnds;
    for (std::string chunk; !(chunk = readChunk(s.port, 1.0)).empty();
         readEnds.push_back(got.size())) {
        got += chunk;
    }
    EXPECT_EQ(got, kOnLine);
    EXPECT_EQ(s.sim.expect("done"), "done");
    std::size_t end = 0;
    for (const auto& sentence : kSentences) {
        std::size_t start = std::exchange(end, end + sentence.size() + 2);
        EXPECT_TRUE(std::any_of(readEnds.begin(), readEnds.end(), [&](std::size_t b) {
            return b > start && b < end;
        })) << sentence;
    }
}

// A clock that moves only when the pacer waits (or the test says time has passed).
struct ManualClock : sim::Clock {
    double time = 100;
    double now() override { return time; }
    void sleepUntil(double deadline, const volatile std::sig_atomic_t& stop) override {
        if (!stop) {
            time = std::max(time, deadline);
        }
    }
};

// Ten bits per byte at the line speed, from a fixed start so that the time each write
// takes never adds up; after a stall the talker does not rush to catch up.
TEST(SimPacer, KeepsTheLineRateWithoutDriftOrBursts) {
    for (int baud : {4800, 38400}) {
        const double perLine = 80 * 10.0 / baud;
        ManualClock clock;
        sim::Pacer pacer(baud, false, clock);
        std::sig_atomic_t stop = 0;
        for (int i = 0; i < 1000; ++i) {
            pacer.waitTurn(80, stop);
            clock.time += 0.0003;  // writing takes time
        }
        EXPECT_NEAR(clock.time, 100 + 999 * perLine + 0.0003, 1e-9) << baud;

        clock.time += 5;  // held up (paused, blocked line)
        const double resumed = clock.time;
        pacer.waitTurn(80, stop);
        EXPECT_EQ(clock.time, resumed) << baud;
        pacer.waitTurn(80, stop);
        EXPECT_NEAR(clock.time, resumed + perLine, 1e-9) << baud;

        ManualClock unpaced;
        sim::Pacer fast(baud, true, unpaced);
        for (int i = 0; i < 100; ++i) {
            fast.waitTurn(80, stop);
        }
        EXPECT_EQ(unpaced.time, 100) << baud;
    }
}

// The real pacing end to end, briefly: bytes per second at the line rate, and a monitor
// that reads again after a pause gets recent sentences, not all that waited unread.
TEST(SimProcess, PacesAtTheLineRateAndKeepsNoBacklog) {
    const int baud = 38400;
    Session s("--baud " + std::to_string(baud));
    ::sleep(3);  // nobody reading
    std::size_t backlog = 0, bytes = 0;
    for (double end = now() + 0.3; now() < end;) {
        backlog += readChunk(s.port, end - now()).size();
    }
    EXPECT_LT(backlog, 4u * baud / 10);
    double start = now();
    while (now() - start < 1.0) {
        bytes += readChunk(s.port, 0.2).size();
    }
    EXPECT_NEAR(static_cast<double>(bytes) / (now() - start), baud / 10.0, baud / 40.0);
}

TEST(SimProcess, EachFaultHitsEveryNthSentence) {
    std::string checksums, garbage;
    for (std::size_t i = 0; i < kSentences.size(); ++i) {
        const std::string& s = kSentences[i];
        checksums += (i % 2 == 1 ? sim::withWrongChecksum(s) : s) + "\r\n";
        // The talker at 38400 heard by a receiver at 4800: the sentence is lost in garbage.
        garbage += i % 3 == 2 ? sim::uartMisread(s + "\r\n", 38400, 4800) : s + "\r\n";
    }
    EXPECT_EQ(teed("--bad-checksum 2"), checksums);
    EXPECT_EQ(teed("--garbage 3"), garbage);

    // Noise after sentences 2, 4 and 6: up to 16 bytes that never start a sentence or line.
    std::string pattern;
    for (std::size_t i = 0; i < kSentences.size(); ++i) {
        pattern += std::regex_replace(kSentences[i], std::regex(R"([$.*])"), R"(\$&)") + "\r\n" +
                   (i % 2 == 1 ? "[^$!\r\n]{1,16}" : "");
    }
    EXPECT_TRUE(std::regex_match(teed("--noise 2 --seed 99"), std::regex(pattern)));

    // One fragment of every multi-sentence message is lost, and nothing else.
    const std::string aisLog = TIDEWRIGHT_SIM_TEST_DATA "/ais_fragments.nmea";
    const auto ais = sim::splitLogLines(slurp(aisLog));
    std::string lossy = teed("--drop-fragment 1 --seed 11", aisLog);
    auto sent = [&](std::size_t i) { return lossy.find(ais.at(i) + "\r\n") != std::string::npos; };
    EXPECT_EQ(std::count(lossy.begin(), lossy.end(), '\n'), 3);
    EXPECT_TRUE(sent(2));
    EXPECT_NE(sent(0), sent(1));
    EXPECT_NE(sent(3), sent(4));
}

// Over the default log, each fault at the rate asked: counted on what went out.
TEST(SimProcess, FaultRatesAsAsked) {
    const auto lines = sim::splitLogLines(slurp(TIDEWRIGHT_SIM_DEFAULT_LOG));
    const std::size_t n = lines.size();
    auto segments = [](const std::string& text) {
        std::vector<std::string> parts;
        for (std::size_t at = 0, end; at < text.size(); at = end + 2) {
            end = std::min(text.find("\r\n", at), text.size());
            parts.push_back(text.substr(at, end - at));
        }
        return parts;
    };
    const struct {
        std::string args;
        std::size_t expected;
        bool (*hit)(const std::string&);
    } cases[] = {
        {"--bad-checksum 4", n / 4,
         [](const std::string& l) {
             return std::stoul(l.substr(l.size() - 2), nullptr, 16) != sim::nmeaChecksum(l);
         }},
        {"--noise 5", n / 5, [](const std::string& l) { return l[0] != '$' && l[0] != '!'; }},
    };
    for (const auto& c : cases) {
        const auto parts = segments(teed(c.args + " --seed 3", TIDEWRIGHT_SIM_DEFAULT_LOG));
        EXPECT_EQ(static_cast<std::size_t>(std::count_if(parts.begin(), parts.end(), c.hit)),
                  c.expected)
            << c.args;
    }
}

// Output that cannot be written ends the run with the file, the reason and a failure code.
TEST(SimProcess, WriteErrorsFail) {
    const std::string err = scratch.path + "/stderr";
    const std::pair<std::string, const char*> cases[] = {
        {"--help >/dev/full", "write error on standard output: No space left on device"},
        {"--once --fast --tee /dev/full " + kTalk + " >/dev/null",
         "cannot write '/dev/full': No space left on device"},
    };
    for (const auto& [args, message] : cases) {
        const int status =
            std::system((TIDEWRIGHT_SIM_EXECUTABLE " " + args + " 2>" + err).c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << args;
        EXPECT_NE(slurp(err).find(message), std::string::npos) << slurp(err);
    }
}

// A simulator killed outright leaves its link, but not its lock: the link is stale, and
// the next simulator takes the name; while that one runs, the name is its own.
TEST(SimProcess, AKilledSimulatorsNameCanBeTaken) {
    std::string link;
    {
        Session killed("--fast --name boat");
        link = killed.link;
        EXPECT_TRUE(sim::linkIsLive(link));
        EXPECT_EQ(killed.sim.wait(SIGKILL), -1);
    }
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_FALSE(sim::linkIsLive(link));
    Session next("--fast --name boat");
    EXPECT_EQ(next.link, link);
    EXPECT_EQ(fs::read_symlink(link), next.device);
    EXPECT_TRUE(sim::linkIsLive(link));
    Sim third("--fast --name boat " + kTalk);
    EXPECT_NE(third.expect("in use"), "");
    EXPECT_GT(third.wait(), 0);
    EXPECT_TRUE(sim::linkIsLive(link));
}

// The runtime directory only when absolute and a directory; always private to the user.
TEST(SimPublish, PrivateRuntimeDirectory) {
    const std::string fallback = "/tmp/tidewright-" + std::to_string(::getuid());
    const std::pair<const char*, std::string> cases[] = {
        {nullptr, fallback},
        {"relative/run", fallback},
        {"/nonexistent/run", fallback},
        {"/etc/hostname", fallback},
        {scratch.path.c_str(), scratch.path + "/tidewright"},
    };
    for (const auto& [runtime, expected] : cases) {
        EXPECT_EQ(sim::publishDirectory(runtime, ::getuid()), expected) << (runtime ? runtime : "");
    }
    std::string error;
    const std::string dir = scratch.path + "/private";
    ASSERT_TRUE(sim::preparePublishDirectory(dir, error)) << error;
    EXPECT_EQ(fs::status(dir).permissions() & fs::perms::mask, fs::perms::owner_all);
    fs::permissions(dir, fs::perms::group_read | fs::perms::group_exec, fs::perm_options::add);
    EXPECT_FALSE(sim::preparePublishDirectory(dir, error));
    fs::create_directory_symlink(scratch.path, scratch.path + "/linked");
    EXPECT_FALSE(sim::preparePublishDirectory(scratch.path + "/linked", error));
}

TEST(SimProcess, ErrorsEndWithAMessageAndAFailureCode) {
    const std::pair<std::string, const char*> cases[] = {
        {"--no-such-option " + kTalk, "unknown option"},
        {scratch.path + "/missing.nmea", "cannot read log"},
        {scratch.write("header.nmea", "# a header only\n\n"), "holds no sentence"},
        {"--device " + scratch.path + "/no-such-tty " + kTalk, "cannot open device"},
        {"--device /dev/null " + kTalk, "not a serial device"},
        {"--baud 1200 " + kTalk, "unsupported speed '1200'"},
        {"--tcp 127.0.0.1:70000 " + kTalk, "is not a number from 0 to 65535"},
        {"--udp 10110 " + kTalk, "names no host"},
        {"--tcp 0 --udp 127.0.0.1:1 " + kTalk, "choose one of --device, --tcp and --udp"},
        {"--tcp 0 --name x " + kTalk, "not to the network"},
        {"--tcp no.such.host.invalid:1 " + kTalk, "cannot resolve"},
    };
    for (const auto& [args, message] : cases) {
        Sim sim(args);
        EXPECT_NE(sim.expect(message), "") << message;
        EXPECT_GT(sim.wait(), 0) << message;
    }
}

// On its own pseudo-terminal the simulator follows the speed the listener set: while it
// differs from its own, the listener gets what a receiver at that speed would hear.
TEST(SimProcess, ListenerAtAnotherSpeedHearsGarbage) {
    const std::pair<int, speed_t> speeds[] = {{9600, B9600}, {57600, B57600}, {115200, B115200}};
    for (const auto& [baud, code] : speeds) {
        Session s("--baud " + std::to_string(baud));
        const auto listenAt = [&](speed_t speed) {
            termios settings{};
            ::tcgetattr(s.port, &settings);
            ::cfsetispeed(&settings, speed);
            ::cfsetospeed(&settings, speed);
            ::tcsetattr(s.port, TCSANOW, &settings);
            ::tcflush(s.port, TCIFLUSH);
            std::string heard;
            for (double end = now() + 1.0; now() < end;) {
                heard += readChunk(s.port, end - now());
            }
            return heard;
        };
        const auto sentencesIn = [](const std::string& heard) {
            return std::count_if(kSentences.begin(), kSentences.end(), [&](const std::string& x) {
                return heard.find(x + "\r\n") != std::string::npos;
            });
        };
        EXPECT_EQ(sentencesIn(listenAt(B4800)), 0) << baud;
        EXPECT_EQ(sentencesIn(listenAt(code)), static_cast<long>(kSentences.size())) << baud;
    }
}

// Ended by a signal the simulator removes its link; killed outright it cannot, and the next
// one to start removes what was left, but not the link of one still running.
TEST(SimProcess, PublishesItsPortAndRemovesTheLinkWhenEnded) {
    Session live("--fast");
    std::string stale;
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGKILL}) {
        Session s("--fast");
        EXPECT_EQ(s.link, scratch.path + "/tidewright/sim-" + std::to_string(s.sim.pid));
        EXPECT_EQ(fs::read_symlink(s.link), s.device);
        EXPECT_EQ(s.sim.wait(signalNumber), signalNumber == SIGKILL ? -1 : 0) << signalNumber;
        EXPECT_EQ(fs::is_symlink(s.link), signalNumber == SIGKILL) << signalNumber;
        stale = s.link;
    }
    Session next("--fast");
    EXPECT_FALSE(fs::is_symlink(stale));
    EXPECT_TRUE(fs::is_symlink(live.link));
}

// A loopback TCP client of the given output; a small receive buffer makes a client that
// stops reading fall behind quickly.
int connectTo(const std::string& address, int receiveBuffer = 0) {
    const auto colon = address.rfind(':');
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(std::stoi(address.substr(colon + 1))));
    ::inet_pton(AF_INET, address.substr(0, colon).c_str(), &to.sin_addr);
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (receiveBuffer > 0) {
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    }
    return ::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0 ? fd : -1;
}

// Everything that arrives within `seconds` of quiet, up to the end of the stream.
std::string drain(int fd, double seconds) {
    std::string all;
    for (std::string chunk; !(chunk = readChunk(fd, seconds)).empty();) {
        all += chunk;
    }
    return all;
}

// Every client gets the whole talk; one that stops reading is dropped after falling a
// bounded distance behind, while the talk to the others goes on complete.
TEST(SimNetwork, TcpServesEveryClientAndDropsOneThatStopsReading) {
    std::string error;
    sim::HostPort where;
    ASSERT_TRUE(sim::parseHostPort("0", "127.0.0.1", where, error)) << error;
    auto server = sim::TcpServerOutput::listen(where, error);
    ASSERT_TRUE(server) << error;
    const int reader = connectTo(server->address());
    const int staller = connectTo(server->address(), 4096);
    ASSERT_GE(reader, 0);
    ASSERT_GE(staller, 0);

    const std::string block(64 * 1024, 'x');
    std::string received;
    const volatile std::sig_atomic_t stop = 0;
    std::size_t clientsAtStart = 0;
    for (int i = 0; i < 256; ++i) {  // 16 MB
        ASSERT_TRUE(server->write(block, stop, error));
        clientsAtStart = std::max(clientsAtStart, server->clientCount());
        received += drain(reader, 0.002);
    }
    received += drain(reader, 0.2);
    EXPECT_EQ(clientsAtStart, 2u);
    EXPECT_EQ(server->clientCount(), 1u);
    EXPECT_EQ(received.size(), 256 * block.size());
    const std::string stalled = drain(staller, 1.0);  // what was in flight, then the end
    EXPECT_GT(stalled.size(), 0u);
    EXPECT_LT(stalled.size(), 8u * 1024 * 1024);
    ::close(reader);
    ::close(staller);
}

// Whole lines per datagram: a sentence written in two pieces goes out as one datagram.
TEST(SimNetwork, UdpSendsWholeLinesPerDatagram) {
    const int listener = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof at;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&at), length), 0);
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&at), &length);

    std::string error;
    sim::HostPort where;
    ASSERT_TRUE(
        sim::parseHostPort("127.0.0.1:" + std::to_string(ntohs(at.sin_port)), "", where, error));
    auto sender = sim::UdpOutput::open(where, error);
    ASSERT_TRUE(sender) << error;
    const volatile std::sig_atomic_t stop = 0;
    for (const char* piece : {"$HEHDT,274", ".1,T*2F\r\n", "$YXMTW,17.8,C*1C\r\n"}) {
        ASSERT_TRUE(sender->write(piece, stop, error));
    }
    EXPECT_EQ(readChunk(listener, 2.0), "$HEHDT,274.1,T*2F\r\n");
    EXPECT_EQ(readChunk(listener, 2.0), "$YXMTW,17.8,C*1C\r\n");
    ::close(listener);
}

}  // namespace
