// tidewright-decode: decodes recorded NMEA 0183 logs without a window, through the
// same parse cycle as the monitor, and writes one JSON object per accepted sentence.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <QByteArray>

#include "decode_sink.h"
#include "present/parse_cycle.h"

namespace {

constexpr char kUsage[] =
    "usage: tidewright-decode [--summary] [--stats] [--raw] [FILE...]\n"
    "Decodes NMEA 0183 logs (standard input when no FILE is named) as one byte stream.\n"
    "  --summary  print a table of sentence keys and their counts instead of JSON lines\n"
    "  --stats    print, at the end, one JSON object of line counters and sentence\n"
    "             keys instead of JSON lines (after the table with --summary)\n"
    "  --raw      feed the bytes unchanged (by default a LF without a CR before it is\n"
    "             read as CR LF, as the talker sent it)\n";

struct Input {
    std::string name;
    std::FILE* file;
};

// Log files saved on Linux and macOS end their lines in LF alone; the talker sent
// CR LF. The previous byte is remembered across chunks and files.
class LineEndRestorer {
public:
    void append(QByteArray& out, const char* data, std::size_t size) {
        const char* const end = data + size;
        const char* from = data;
        while (from < end) {
            const char* lf = static_cast<const char*>(std::memchr(from, '\n', end - from));
            if (lf == nullptr) {
                out.append(from, end - from);
                break;
            }
            const char before = lf > data ? lf[-1] : previous_;
            out.append(from, lf - from);
            if (before != '\r') {
                out.append('\r');
            }
            out.append('\n');
            from = lf + 1;
        }
        if (size > 0) {
            previous_ = data[size - 1];
        }
    }

private:
    char previous_ = '\0';
};

bool writeAll(const std::string& text) {
    return text.empty() || std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
}

}  // namespace

int main(int argc, char** argv) {
    bool summary = false;
    bool raw = false;
    bool stats = false;
    std::vector<std::string> names;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!optionsEnded && arg == "--summary") {
            summary = true;
        } else if (!optionsEnded && arg == "--stats") {
            stats = true;
        } else if (!optionsEnded && arg == "--raw") {
            raw = true;
        } else if (!optionsEnded && (arg == "--help" || arg == "-h")) {
            std::fputs(kUsage, stdout);
            return 0;
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

    decode::DecodeSink sink(summary, stats);
    QByteArray receiveBuffer;
    LineEndRestorer restorer;
    std::vector<char> chunk(1 << 16);
    for (Input& input : inputs) {
        for (;;) {
            const std::size_t got = std::fread(chunk.data(), 1, chunk.size(), input.file);
            if (got > 0) {
                if (raw) {
                    receiveBuffer.append(chunk.data(), static_cast<qsizetype>(got));
                } else {
                    restorer.append(receiveBuffer, chunk.data(), got);
                }
                present::runParseCycle(receiveBuffer, sink);
                if (!writeAll(sink.pendingOutput())) {
                    std::fprintf(stderr, "tidewright-decode: cannot write output: %s\n",
                                 std::strerror(errno));
                    return 2;
                }
                sink.pendingOutput().clear();
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

    if (summary && !writeAll(sink.summaryTable())) {
        return 2;
    }
    if (stats && !writeAll(sink.statsLine(receiveBuffer.size()))) {
        return 2;
    }
    if (std::fflush(stdout) != 0) {
        std::fprintf(stderr, "tidewright-decode: cannot write output: %s\n", std::strerror(errno));
        return 2;
    }
    return 0;
}
