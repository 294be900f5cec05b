// A realistic NMEA stream built in memory: all 26 supported types in the proportions
// a navigation installation produces (GNSS sentences most, AIS often, instruments
// steadily), plus sentences of types nobody registered.
#pragma once

#include <string>

namespace nmeaz::bench {

struct MixedLog {
    std::string bytes;
    int sentences = 0;  // sentences of the 26 supported types in `bytes`
};

// About `targetBytes` of stream, CR LF line ends, valid checksums.
MixedLog buildMixedLog(std::size_t targetBytes);

}  // namespace nmeaz::bench
