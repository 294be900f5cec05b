// SocketCAN candump text, in each of its forms:
//   log form      "(1502984866.421964) can0 09F112CC#FF725AFF7FFF7FFD"
//   default form  "can0  09F112CC   [8]  FF 72 5A FF 7F FF 7F FD", optionally after
//                 a "(seconds.micros)" timestamp
//   older form    "<0x18eeff01> [8] 05 a0 be 1c 00 a0 a0 c0"
// Only extended (29-bit) identifiers carry NMEA 2000; a standard identifier is a
// malformed line here.
#pragma once

#include <string_view>

#include "n2k/line_result.h"

namespace n2k {

LineKind readCandumpLine(std::string_view line, LineOutput& out);

}  // namespace n2k
