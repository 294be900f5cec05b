#include "options.h"

#include <charconv>
#include <string_view>

namespace sim {

namespace {

// Decimal digits only: option values are never read through the C library's locale.
bool parseUnsigned(std::string_view text, std::uint32_t& value) {
    if (text.empty()) {
        return false;
    }
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value, 10);
    return ec == std::errc() && ptr == end;
}

bool parsePeriod(std::string_view text, int& period) {
    std::uint32_t value = 0;
    if (!parseUnsigned(text, value) || value == 0 || value > 1000000) {
        return false;
    }
    period = static_cast<int>(value);
    return true;
}

struct PeriodOption {
    std::string_view name;
    int SimOptions::*field;
};

constexpr PeriodOption kPeriodOptions[] = {
    {"--bad-checksum", &SimOptions::badChecksumEvery},
    {"--noise", &SimOptions::noiseEvery},
    {"--drop-fragment", &SimOptions::dropFragmentEvery},
    {"--split", &SimOptions::splitEvery},
    {"--garbage", &SimOptions::garbageEvery},
    {"--drop-frame", &SimOptions::dropFrameEvery},
    {"--garble", &SimOptions::garbleEvery},
};

}  // namespace

const char* usageText() {
    return "Usage: tidewright-sim [options] [LOG]\n"
           "Replays an NMEA 0183 log as a talker would: every line ends in CR LF, paced at\n"
           "the line rate (ten bits per byte), looping. Without --device it creates a\n"
           "pseudo-terminal, publishes a link to it for the monitor's port list and prints\n"
           "'device PATH' and 'link PATH'. Lines starting with # are comments and not sent.\n"
           "\n"
           "  --baud SPEED          line speed: 4800 (default), 9600, 19200, 38400, 57600\n"
           "                        or 115200. On its own pseudo-terminal, while the\n"
           "                        monitor listens at another speed, the line carries\n"
           "                        what a receiver at that speed would hear\n"
           "  --fast                no pacing\n"
           "  --once                a single pass through the log, then exit\n"
           "  --hold                with --once: keep the port open and quiet afterwards\n"
           "  --device PATH         talk on this serial device instead of a pseudo-terminal\n"
           "  --name NAME           publish the link under NAME instead of sim-<pid>\n"
           "  --tee FILE            also write every byte put on the line to FILE\n"
           "  --tcp [HOST:]PORT     serve the talk to every TCP client (host 127.0.0.1 unless\n"
           "                        given; port 0 picks a free one); prints 'tcp HOST:PORT'\n"
           "  --udp HOST:PORT       send the talk as UDP datagrams (broadcast allowed)\n"
           "  --seed N              seed for the random parts of the faults\n"
           "  --n2k-format FORMAT   also replay an NMEA 2000 capture between the log's lines,\n"
           "                        written as yd (YDWG RAW), pcdin, plain or candump\n"
           "  --n2k-log FILE        the NMEA 2000 capture (any gateway format; default: the\n"
           "                        NMEA 2000 demo log)\n"
           "  --help                print this help and exit\n"
           "  --version             print the version number and exit\n"
           "Faults, each every N-th sentence:\n"
           "  --bad-checksum N      a wrong checksum\n"
           "  --noise N             a burst of random bytes after the sentence\n"
           "  --drop-fragment N     every N-th multi-sentence AIS message loses a fragment\n"
           "  --split N             the sentence in two writes at a random point, with a pause\n"
           "  --garbage N           the sentence as heard by a receiver at the other speed\n"
           "NMEA 2000 faults, with --n2k-format:\n"
           "  --drop-frame N        every N-th fast packet loses one of its frames\n"
           "  --garble N            every N-th NMEA 2000 line is garbled\n"
           "Tidewright never transmits on the bus; the simulator stands in for a gateway.\n"
           "Signals: INT, TERM and HUP end it (the link is removed); USR1 pauses and\n"
           "resumes the talk.\n";
}

bool isLineSpeed(int baud) {
    for (int speed : kLineSpeeds) {
        if (speed == baud) {
            return true;
        }
    }
    return false;
}

int otherBaud(int baud) {
    return baud == 4800 ? 38400 : 4800;
}

ParseOutcome parseOptions(int argc, const char* const* argv, SimOptions& options,
                          std::string& error) {
    bool logGiven = false;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        std::string_view value;
        bool hasInlineValue = false;
        if (arg.starts_with("--")) {
            if (auto eq = arg.find('='); eq != std::string_view::npos) {
                value = arg.substr(eq + 1);
                arg = arg.substr(0, eq);
                hasInlineValue = true;
            }
        }
        auto takeValue = [&]() -> bool {
            if (hasInlineValue) {
                return true;
            }
            if (i + 1 >= argc) {
                error = std::string("option ") + std::string(arg) + " needs a value";
                return false;
            }
            value = argv[++i];
            return true;
        };
        auto noValue = [&]() -> bool {
            if (hasInlineValue) {
                error = std::string("option ") + std::string(arg) + " takes no value";
                return false;
            }
            return true;
        };

        if (arg == "-h" || arg == "--help") {
            return ParseOutcome::Help;
        } else if (arg == "--version") {
            return ParseOutcome::Version;
        } else if (arg == "--fast" || arg == "--once" || arg == "--hold") {
            if (!noValue()) {
                return ParseOutcome::Error;
            }
            (arg == "--fast" ? options.fast : arg == "--once" ? options.once : options.hold) = true;
        } else if (arg == "--baud") {
            if (!takeValue()) {
                return ParseOutcome::Error;
            }
            std::uint32_t speed = 0;
            if (!parseUnsigned(value, speed) || !isLineSpeed(static_cast<int>(speed))) {
                error = "unsupported speed '" + std::string(value) +
                        "' (4800, 9600, 19200, 38400, 57600 or 115200)";
                return ParseOutcome::Error;
            }
            options.baud = static_cast<int>(speed);
        } else if (arg == "--n2k-format" || arg == "--n2k-log") {
            if (!takeValue()) {
                return ParseOutcome::Error;
            }
            if (arg == "--n2k-format" && value != "yd" && value != "pcdin" && value != "plain" &&
                value != "candump") {
                error = "unknown NMEA 2000 format '" + std::string(value) +
                        "' (yd, pcdin, plain or candump)";
                return ParseOutcome::Error;
            }
            if (value.empty()) {
                error = "option " + std::string(arg) + " needs a non-empty value";
                return ParseOutcome::Error;
            }
            (arg == "--n2k-format" ? options.n2kFormat : options.n2kLogPath) = std::string(value);
        } else if (arg == "--device" || arg == "--name" || arg == "--tee" || arg == "--tcp" ||
                   arg == "--udp") {
            if (!takeValue()) {
                return ParseOutcome::Error;
            }
            if (value.empty()) {
                error = "option " + std::string(arg) + " needs a non-empty value";
                return ParseOutcome::Error;
            }
            if (arg == "--name" &&
                (value.find('/') != std::string_view::npos || value == "." || value == "..")) {
                error = "link name '" + std::string(value) + "' must be a plain file name";
                return ParseOutcome::Error;
            }
            (arg == "--device" ? options.devicePath
             : arg == "--name" ? options.linkName
             : arg == "--tcp"  ? options.tcpListen
             : arg == "--udp"  ? options.udpTarget
                               : options.teePath) = std::string(value);
        } else if (arg == "--seed") {
            if (!takeValue()) {
                return ParseOutcome::Error;
            }
            if (!parseUnsigned(value, options.seed)) {
                error = "seed '" + std::string(value) + "' is not a number";
                return ParseOutcome::Error;
            }
            options.seedGiven = true;
        } else {
            const PeriodOption* period = nullptr;
            for (const auto& candidate : kPeriodOptions) {
                if (arg == candidate.name) {
                    period = &candidate;
                }
            }
            if (period != nullptr) {
                if (!takeValue()) {
                    return ParseOutcome::Error;
                }
                if (!parsePeriod(value, options.*(period->field))) {
                    error = "option " + std::string(arg) + ": '" + std::string(value) +
                            "' is not a whole number from 1 to 1000000";
                    return ParseOutcome::Error;
                }
            } else if (arg.starts_with("-")) {
                error = "unknown option '" + std::string(argv[i]) + "'";
                return ParseOutcome::Error;
            } else if (logGiven) {
                error = "more than one log given ('" + std::string(arg) + "')";
                return ParseOutcome::Error;
            } else {
                options.logPath = std::string(arg);
                logGiven = true;
            }
        }
    }
    if (options.hold && !options.once) {
        error = "--hold needs --once";
        return ParseOutcome::Error;
    }
    if (options.hold && !options.devicePath.empty()) {
        error = "--hold applies to the simulator's own pseudo-terminal, not to --device";
        return ParseOutcome::Error;
    }
    if (!options.devicePath.empty() && !options.linkName.empty()) {
        error = "--name applies to the simulator's own pseudo-terminal, not to --device";
        return ParseOutcome::Error;
    }
    if (!options.tcpListen.empty() + !options.udpTarget.empty() + !options.devicePath.empty() > 1) {
        error = "choose one of --device, --tcp and --udp";
        return ParseOutcome::Error;
    }
    if ((!options.tcpListen.empty() || !options.udpTarget.empty()) && !options.linkName.empty()) {
        error = "--name applies to the simulator's own pseudo-terminal, not to the network";
        return ParseOutcome::Error;
    }
    if (options.n2kFormat.empty() &&
        (!options.n2kLogPath.empty() || options.dropFrameEvery > 0 || options.garbleEvery > 0)) {
        error = "--n2k-log, --drop-frame and --garble need --n2k-format";
        return ParseOutcome::Error;
    }
    return ParseOutcome::Run;
}

}  // namespace sim
