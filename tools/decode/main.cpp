// tidewright-decode: decodes recorded NMEA 0183 logs without a window, through the
// same parse cycle as the monitor, and writes one JSON object per accepted sentence.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "../close_output.h"
#include "lint.h"
#include "stream_decoder.h"
#include "targets_sink.h"
#include "tidewright/version.h"

namespace {

constexpr char kUsage[] =
    "Usage: tidewright-decode [--summary] [--stats] [--named] [--raw] [--strict]\n"
    "                         [--format NAME]\n"
    "                         [--targets [--targets-every N] [--own LAT,LON[,SOG,COG]]]\n"
    "                         [--lint [--nmea-version 2.3|3.01|4.10|4.11]\n"
    "                                 [--fail-on error|warning]]\n"
    "                         [FILE...]\n"
    "Decodes NMEA 0183 and NMEA 2000 logs (standard input when no FILE is named) as\n"
    "one byte stream; NMEA 2000 gateway lines of any format may be mixed with NMEA 0183.\n"
    "A line whose first character is '#' is a comment.\n"
    "  --summary  print a table of sentence keys and their counts instead of JSON lines\n"
    "  --stats    print, at the end, one JSON object of line counters and sentence\n"
    "             keys instead of JSON lines (after the table with --summary)\n"
    "  --named    print every decoded value by name, in full precision (docs/fields.md)\n"
    "  --format NAME  read every line that is not NMEA 0183 as one NMEA 2000 gateway\n"
    "             format: yd, actisense, candump, plain, pcdin, mxpgn, pdgy; or the\n"
    "             whole input as a binary gateway stream: ngt1, ebl\n"
    "  --raw      feed the bytes unchanged (by default a LF without a CR before it is\n"
    "             read as CR LF, as the talker sent it)\n"
    "  --strict   drop sentences that end in LF alone or CR CR LF, write lower-case\n"
    "             checksum digits or carry data after the checksum (by default they\n"
    "             are read and counted as warnings)\n"
    "  --targets  print one JSON object per AIS target (sorted by MMSI) at the end\n"
    "  --targets-every N  also every N seconds of the log's TAG-block time\n"
    "  --own LAT,LON[,SOG,COG]  own ship for range, bearing, CPA and TCPA (degrees,\n"
    "             knots; stationary without SOG and COG); else taken from the log\n"
    "  --lint     check every sentence against the standard instead of decoding: one\n"
    "             JSON object per finding and a summary (docs/conformance.md); exit\n"
    "             status 1 when an error was found\n"
    "  --nmea-version V  check against one version (default: any of them)\n"
    "  --fail-on warning  exit status 1 on warnings as well\n"
    "  --help     print this help and exit\n"
    "  --version  print the version number and exit\n";

struct Input {
    std::string name;
    std::FILE* file;
};

bool writeAll(const std::string& text) {
    return text.empty() || std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
}

// --lint: the files line by line through the conformance checker.
int runLint(std::vector<Input>& inputs, conformance::Version version, bool failOnWarning) {
    decode::Lint lint(version);
    std::vector<char> chunk(1 << 16);
    for (Input& input : inputs) {
        lint.startFile();
        for (;;) {
            const std::size_t got = std::fread(chunk.data(), 1, chunk.size(), input.file);
            lint.feed(chunk.data(), got);
            if (got < chunk.size()) {
                if (std::ferror(input.file)) {
                    std::fprintf(stderr, "tidewright-decode: cannot read %s: %s\n",
                                 input.name.c_str(), std::strerror(errno));
                    return 2;
                }
                if (std::feof(input.file))
                    break;
            }
            if (!writeAll(lint.output())) {
                std::fprintf(stderr, "tidewright-decode: write error on standard output: %s\n",
                             std::strerror(errno));
                return 2;
            }
            lint.output().clear();
        }
        lint.finishFile();
        if (input.file != stdin)
            std::fclose(input.file);
    }
    if (!writeAll(lint.output()) || !writeAll(lint.summaryLine())) {
        std::fprintf(stderr, "tidewright-decode: write error on standard output: %s\n",
                     std::strerror(errno));
        return 2;
    }
    if (!tools::closeStandardOutput("tidewright-decode"))
        return 2;
    return lint.errors() > 0 || (failOnWarning && lint.warnings() > 0) ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    bool summary = false;
    bool raw = false;
    bool named = false;
    bool stats = false;
    bool lint = false;
    bool failOnWarning = false;
    conformance::Version version = conformance::Version::Any;
    std::vector<std::string> names;
    std::string format;
    bool optionsEnded = false;
    decode::TargetsOptions targetsOptions;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string targetsError;
        const int targetsArgs =
            optionsEnded ? 0
                         : decode::parseTargetsOption(argc, argv, i, targetsOptions, targetsError);
        if (targetsArgs != 0) {
            if (targetsArgs < 0) {
                std::fprintf(stderr, "tidewright-decode: %s\n", targetsError.c_str());
                return 2;
            }
            i += targetsArgs - 1;
            continue;
        }
        if (!optionsEnded && arg == "--summary") {
            summary = true;
        } else if (!optionsEnded && arg == "--named") {
            named = true;
        } else if (!optionsEnded && arg == "--stats") {
            stats = true;
        } else if (!optionsEnded && arg == "--format") {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "tidewright-decode: --format wants a format name\n%s", kUsage);
                return 2;
            }
            format = argv[++i];
        } else if (!optionsEnded && arg == "--raw") {
            raw = true;
        } else if (!optionsEnded && arg == "--lint") {
            lint = true;
        } else if (!optionsEnded && (arg == "--nmea-version" || arg == "--fail-on")) {
            const std::string value = i + 1 < argc ? argv[++i] : "";
            const bool known = arg == "--fail-on" ? (value == "error" || value == "warning")
                                                  : conformance::parseVersion(value, version);
            if (!known) {
                std::fprintf(stderr, "tidewright-decode: %s needs one of %s\n", arg.c_str(),
                             arg == "--fail-on" ? "error, warning" : "2.3, 3.01, 4.10, 4.11");
                return 2;
            }
            failOnWarning = failOnWarning || value == "warning";
        } else if (!optionsEnded && arg == "--strict") {
            targetsOptions.strict = true;
        } else if (!optionsEnded && (arg == "--help" || arg == "-h")) {
            std::fputs(kUsage, stdout);
            return tools::closeStandardOutput("tidewright-decode") ? 0 : 2;
        } else if (!optionsEnded && arg == "--version") {
            std::printf("tidewright-decode %s\n", tidewright::kVersion);
            return tools::closeStandardOutput("tidewright-decode") ? 0 : 2;
        } else if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "tidewright-decode: unknown option %s\n%s", arg.c_str(), kUsage);
            return 2;
        } else {
            names.push_back(arg);
        }
    }

    // Every file is opened before anything is decoded, so a wrong name is reported
    // before any output.
    std::vector<Input> inputs;
    if (names.empty()) {
        inputs.push_back({"standard input", stdin});
    }
    for (const std::string& name : names) {
        if (name == "-") {
            inputs.push_back({"standard input", stdin});
            continue;
        }
        std::FILE* file = std::fopen(name.c_str(), "rb");
        if (file == nullptr) {
            std::fprintf(stderr, "tidewright-decode: cannot read %s: %s\n", name.c_str(),
                         std::strerror(errno));
            return 2;
        }
        inputs.push_back({name, file});
    }

    static char outputBuffer[1 << 16];
    std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
    if (lint)
        return runLint(inputs, version, failOnWarning);

    decode::TargetsSink targetsSink(targetsOptions);
    decode::StreamDecoder decoder(summary, stats, raw,
                                  targetsOptions.enabled ? &targetsSink : nullptr);
    decoder.setNamed(named);
    if (!format.empty() && !decoder.forceFormat(format)) {
        std::fprintf(stderr, "tidewright-decode: unknown format %s\n%s", format.c_str(), kUsage);
        return 2;
    }
    decoder.setStrict(targetsOptions.strict);
    std::vector<char> chunk(1 << 16);
    for (Input& input : inputs) {
        for (;;) {
            const std::size_t got = std::fread(chunk.data(), 1, chunk.size(), input.file);
            if (got > 0) {
                decoder.feed(chunk.data(), got);
                if (!writeAll(decoder.output())) {
                    std::fprintf(stderr, "tidewright-decode: write error on standard output: %s\n",
                                 std::strerror(errno));
                    return 2;
                }
                decoder.output().clear();
            }
            if (got < chunk.size()) {
                if (std::ferror(input.file)) {
                    std::fprintf(stderr, "tidewright-decode: cannot read %s: %s\n",
                                 input.name.c_str(), std::strerror(errno));
                    return 2;
                }
                if (std::feof(input.file)) {
                    break;
                }
            }
        }
        if (input.file != stdin) {
            std::fclose(input.file);
        }
    }

    decoder.finish();
    if (!writeAll(decoder.output()) ||
        (summary && !targetsOptions.enabled && !writeAll(decoder.summaryTable()))) {
        std::fprintf(stderr, "tidewright-decode: write error on standard output: %s\n",
                     std::strerror(errno));
        return 2;
    }
    if (stats && !targetsOptions.enabled && !writeAll(decoder.statsLine())) {
        std::fprintf(stderr, "tidewright-decode: write error on standard output: %s\n",
                     std::strerror(errno));
        return 2;
    }
    return tools::closeStandardOutput("tidewright-decode") ? 0 : 2;
}
