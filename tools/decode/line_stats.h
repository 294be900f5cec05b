// The decoder's --stats line: what the line counters and the per-key tally saw over
// the whole input, as one JSON object.
#pragma once

#include <string>

#include "nmea/line_counters.h"
#include "present/sentence_tally.h"

namespace decode {

// {"bytes": N, ..., "bytes_by_outcome": {...}, "warnings": {...}, "keys": {"$GPGGA": N,
// ...}} and a newline. Keys in order of first arrival, each with its sentences that
// framed with a good checksum or none; keys heard only with wrong checksums are left
// out. `unfinished`: bytes of a sentence the input ended inside, already in `bytes`.
std::string statsLine(const nmeaz::LineCounters& counters, const present::SentenceTally& tally,
                      std::uint64_t unfinished);

}  // namespace decode
