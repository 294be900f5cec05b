// iKonvert: a whole PGN as "!PDGY,129039,4,43,255,481.706,<base64 payload>" (PGN,
// priority, source, destination in decimal, the gateway's seconds since it started,
// and the payload in base64), with an optional "*hh" checksum. "$PDGY,..." lines are
// the gateway's status reports.
#pragma once

#include <string_view>

#include "n2k/line_result.h"

namespace n2k {

LineKind readPdgyLine(std::string_view line, LineOutput& out);

// Standard base64 (with '=' padding) into at most `capacity` bytes: the byte count,
// or -1.
int decodeBase64(std::string_view text, std::uint8_t* out, int capacity);

}  // namespace n2k
