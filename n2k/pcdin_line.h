// $PCDIN: a whole PGN inside an NMEA 0183 sentence,
//   "$PCDIN,01F119,00000000,0F,2AAF00D1067414FF*59"
// PGN (six hexadecimal digits), the gateway's time stamp (eight hexadecimal digits),
// source address and the payload as packed hexadecimal. The sentence carries no
// priority or destination: they read as 0 and global.
#pragma once

#include <string_view>

#include "n2k/line_result.h"

namespace n2k {

LineKind readPcdinLine(std::string_view line, LineOutput& out);

}  // namespace n2k
