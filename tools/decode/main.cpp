// tidewright-decode: decodes recorded NMEA 0183 logs without a window, through the
// same parse cycle as the monitor, and writes one JSON object per accepted sentence.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "../close_output.h"
#include "stream_decoder.h"
#include "targets_sink.h"
#include "tidewright/version.h"

namespace {

constexpr char kUsage[] =
    "Usage: tidewright-decode [--summary] [--stats] [--named] [--raw] [--format NAME]\n"
    "                         [--targets [--targets-every N] [--own LAT,LON[,SOG,COG]]]\n"
    "                         [FILE...]\n"
    "Decodes NMEA 0183 and NMEA 2000 logs (standard input when no FILE is named) as\n"
    "one byte stream; NMEA 2000 gateway lines of any format may be mixed with NMEA 0183.\n"
    "  --summary  print a table of sentence keys and their counts instead of JSON lines\n"
    "  --stats    print, at the end, one JSON object of line counters and sentence\n"
    "             keys instead of JSON lines (after the table with --summary)\n"
    "  --named    print every decoded value by name, in full precision (docs/fields.md)\n"
    "  --format NAME  read every line that is not NMEA 0183 as one NMEA 2000 gateway\n"
    "             format: yd, actisense, candump, plain, pcdin, mxpgn, pdgy; or the\n"
    "             whole input as a binary gateway stream: ngt1, ebl\n"
    "  --raw      feed the bytes unchanged (by default a LF without a CR before it is\n"
    "             read as CR LF, as the talker sent it)\n"
    "  --targets  print one JSON object per AIS target (sorted by MMSI) at the end\n"
    "  --targets-every N  also every N seconds of the log's TAG-block time\n"
    "  --own LAT,LON[,SOG,COG]  own ship for range, bearing, CPA and TCPA (degrees,\n"
    "             knots; stationary without SOG and COG); else taken from the log\n"
    "  --help     print this help and exit\n"
    "  --version  print the version number and exit\n";

struct Input {
    std::string name;
    std::FILE* file;
};

bool writeAll(const std::string& text) {
    return text.empty() || std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
}

}  // namespace

int main(int argc, char** argv) {
    bool summary = false;
    bool raw = false;
    bool named = false;
    bool stats = false;
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

    decode::TargetsSink targetsSink(targetsOptions);
    decode::StreamDecoder decoder(summary, stats, raw,
                                  targetsOptions.enabled ? &targetsSink : nullptr);
    decoder.setNamed(named);
    if (!format.empty() && !decoder.forceFormat(format)) {
        std::fprintf(stderr, "tidewright-decode: unknown format %s\n%s", format.c_str(), kUsage);
        return 2;
    }
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
