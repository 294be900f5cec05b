// Actisense N2K ASCII: "A000057.055 09FF7 0FF00 3F9FDCFFFFFFFFFF": 'A' and the time
// of day (hhmmss.ddd), source, destination and priority packed as "SSDDP", the PGN
// in hexadecimal and the whole payload as packed hexadecimal. Every line is a whole
// PGN: the gateway reassembles fast packets itself.
#pragma once

#include <string_view>

#include "n2k/line_result.h"

namespace n2k {

LineKind readActisenseAsciiLine(std::string_view line, LineOutput& out);

}  // namespace n2k
