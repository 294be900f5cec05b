#include "app/information_options.h"

#include <string_view>

#include "tidewright/version.h"

namespace {

constexpr char kUsage[] =
    "Usage: tidewright [--help] [--version] [Qt options]\n"
    "A desktop monitor for NMEA 0183 marine instrument data: it reads a serial port,\n"
    "shows every raw sentence and the decoded fields of each sentence type and AIS\n"
    "message, writes XML snapshots of the latest fix to the working directory and\n"
    "records logs. The port and its speed are chosen in the setup dialog.\n"
    "  -h, --help     print this help and exit\n"
    "  --version      print the version number and exit\n"
    "Qt's own options are accepted as well, for example -platform offscreen.\n";

}  // namespace

std::optional<int> answerInformationOptions(int argc, const char* const* argv, std::FILE* out) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--") {
            break;
        }
        if (arg == "--version") {
            std::fprintf(out, "tidewright %s\n", tidewright::kVersion);
            return 0;
        }
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, out);
            return 0;
        }
    }
    return std::nullopt;
}
