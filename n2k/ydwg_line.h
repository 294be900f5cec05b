// YDWG RAW text: "hh:mm:ss.mmm R 09F8017F 01 02 03 04 05 06 07 08", one CAN frame
// a line. 'R' marks a frame the gateway heard, 'T' one it sent itself.
#pragma once

#include <string_view>

#include "n2k/line_result.h"

namespace n2k {

LineKind readYdwgLine(std::string_view line, LineOutput& out);

}  // namespace n2k
