// The gateway line formats, how to tell them apart one line at a time, and the
// names a user gives them to force one.
#pragma once

#include <cstdint>
#include <string_view>

#include "n2k/line_result.h"

namespace n2k {

enum class LineFormat : std::uint8_t {
    // NMEA 2000 gateway formats (the first kGatewayFormatCount values)
    Ydwg,            // "hh:mm:ss.mmm R 09F8017F 01 02 ..."
    ActisenseAscii,  // "A000057.055 09FF7 0FF00 3F9FDC..."
    Candump,         // SocketCAN candump text, every form
    Plain,           // "2016-02-28T19:57:02.364Z,2,127250,7,255,8,ff,..."
    Pcdin,           // "$PCDIN,01F119,00000000,0F,2AAF00D1067414FF*59"
    Mxpgn,           // "$MXPGN,01F801,2801,C1308AC40C5DE343*19"
    Pdgy,            // "!PDGY,129039,4,43,255,481.706,<base64>" and "$PDGY" status
    // everything else a line can be
    Nmea0183,  // any other line starting with '$' or '!'
    Comment,   // '#' first
    Blank,     // nothing but spaces and tabs
    Unknown,
};

constexpr int kGatewayFormatCount = 7;
constexpr int kLineFormatCount = 11;

constexpr bool isGatewayFormat(LineFormat f) {
    return static_cast<int>(f) < kGatewayFormatCount;
}

// Which format a line (without its line end) is written in.
LineFormat classifyLine(std::string_view line);

// Reads one line of a gateway format; other formats give NotThisFormat.
LineKind readLine(LineFormat format, std::string_view line, LineOutput& out);

// The short name of a format ("yd", "actisense", "candump", "plain", "pcdin",
// "mxpgn", "pdgy", "nmea0183", "comment", "blank", "unknown").
std::string_view formatName(LineFormat format);

// The gateway format a name stands for (the short names above; "ydwg" is accepted
// for "yd").
bool gatewayFormatFromName(std::string_view name, LineFormat& format);

}  // namespace n2k
