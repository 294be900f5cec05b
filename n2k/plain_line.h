// PLAIN/FAST CSV, the log format of the open NMEA 2000 tools:
//   "2016-02-28T19:57:02.364Z,2,127250,7,255,8,ff,10,3b,ff,7f,ff,7f,fd"
// time, priority, PGN, source, destination, length and the payload bytes. A line of
// at most eight bytes is one CAN frame (a fast packet arrives frame by frame); a
// longer one is a whole PGN.
#pragma once

#include <string_view>

#include "n2k/line_result.h"

namespace n2k {

LineKind readPlainLine(std::string_view line, LineOutput& out);

}  // namespace n2k
