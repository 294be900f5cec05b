// $MXPGN: one CAN frame inside an NMEA 0183 sentence,
//   "$MXPGN,01F801,2801,C1308AC40C5DE343*19"
// PGN (six hexadecimal digits; an addressed PGN carries its destination in the low
// byte), an attribute word (bit 15: a frame to send rather than one received, bits
// 14-12 priority, bits 11-8 data length, bits 7-0 the source address of a received
// frame, the destination of one to send) and the frame's data written as one
// hexadecimal number, most significant (last) byte first. Fast packets arrive frame
// by frame.
#pragma once

#include <string_view>

#include "n2k/line_result.h"

namespace n2k {

LineKind readMxpgnLine(std::string_view line, LineOutput& out);

}  // namespace n2k
