// The NMEA 2000 part of the decoder's --stats object, there only when the input
// carried NMEA 2000: "n2k": {"bytes": N, "frames": N, ..., "pgns": {"PGN 129025": N}}.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "present/stream_router.h"

namespace decode {

// Adds the "n2k" member to the --stats object `line` (which ends in "}\n").
void addN2kStats(std::string& line, const present::N2kStreamCounters& counters,
                 const std::vector<std::pair<std::string, long long>>& pgnKeys);

}  // namespace decode
