#include "n2k/gateway_format.h"

#include "n2k/actisense_ascii_line.h"
#include "n2k/candump_line.h"
#include "n2k/mxpgn_line.h"
#include "n2k/pcdin_line.h"
#include "n2k/pdgy_line.h"
#include "n2k/plain_line.h"
#include "n2k/text_scan.h"
#include "n2k/ydwg_line.h"

namespace n2k {

namespace {

constexpr std::string_view kNames[kLineFormatCount] = {
    "yd",   "actisense", "candump", "plain", "pcdin",   "mxpgn",
    "pdgy", "nmea0183",  "comment", "blank", "unknown",
};

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool looksLikeYdwg(std::string_view line) {
    return line.size() > 14 && isDecimalDigit(line[0]) && isDecimalDigit(line[1]) &&
           line[2] == ':' && line[5] == ':' &&
           (line.find(" R ") != std::string_view::npos ||
            line.find(" T ") != std::string_view::npos);
}

bool looksLikeActisenseAscii(std::string_view line) {
    return line.size() > 8 && line[0] == 'A' && isDecimalDigit(line[1]) && line[7] == '.';
}

// "iface ID [n] ..." with an optional "(timestamp)" before it.
bool looksLikeCandumpDefault(std::string_view line) {
    WordCursor words(line);
    std::string_view word;
    if (!words.next(word))
        return false;
    if (word.front() == '(' && !words.next(word))
        return false;
    std::string_view id, dlc;
    return words.next(id) && words.next(dlc) && dlc.size() == 3 && dlc.front() == '[' &&
           dlc.back() == ']';
}

}  // namespace

LineFormat classifyLine(std::string_view line) {
    std::size_t start = 0;
    while (start < line.size() && (line[start] == ' ' || line[start] == '\t'))
        ++start;
    if (start == line.size())
        return LineFormat::Blank;
    const std::string_view text = line.substr(start);
    switch (text.front()) {
        case '#':
            return LineFormat::Comment;
        case '$':
        case '!':
            if (startsWith(text, "$PCDIN,"))
                return LineFormat::Pcdin;
            if (startsWith(text, "$MXPGN,"))
                return LineFormat::Mxpgn;
            if (startsWith(text, "!PDGY,") || startsWith(text, "$PDGY,"))
                return LineFormat::Pdgy;
            return LineFormat::Nmea0183;
        case '(':
        case '<':
            return LineFormat::Candump;
        default:
            break;
    }
    if (looksLikeActisenseAscii(text))
        return LineFormat::ActisenseAscii;
    if (looksLikeYdwg(text))
        return LineFormat::Ydwg;
    if (isDecimalDigit(text.front()) && text.find(',') != std::string_view::npos)
        return LineFormat::Plain;
    if (looksLikeCandumpDefault(text))
        return LineFormat::Candump;
    return LineFormat::Unknown;
}

LineKind readLine(LineFormat format, std::string_view line, LineOutput& out) {
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
        line.remove_prefix(1);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
        line.remove_suffix(1);
    switch (format) {
        case LineFormat::Ydwg:
            return readYdwgLine(line, out);
        case LineFormat::ActisenseAscii:
            return readActisenseAsciiLine(line, out);
        case LineFormat::Candump:
            return readCandumpLine(line, out);
        case LineFormat::Plain:
            return readPlainLine(line, out);
        case LineFormat::Pcdin:
            return readPcdinLine(line, out);
        case LineFormat::Mxpgn:
            return readMxpgnLine(line, out);
        case LineFormat::Pdgy:
            return readPdgyLine(line, out);
        default:
            return LineKind::NotThisFormat;
    }
}

std::string_view formatName(LineFormat format) {
    const int i = static_cast<int>(format);
    return i >= 0 && i < kLineFormatCount ? kNames[i] : "unknown";
}

bool gatewayFormatFromName(std::string_view name, LineFormat& format) {
    if (name == "ydwg") {
        format = LineFormat::Ydwg;
        return true;
    }
    for (int i = 0; i < kGatewayFormatCount; ++i) {
        if (kNames[i] == name) {
            format = static_cast<LineFormat>(i);
            return true;
        }
    }
    return false;
}

}  // namespace n2k
