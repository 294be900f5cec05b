#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "options.h"

namespace sim {

// One write onto the line; `pauseBefore` asks for a pause first, so a reader sees the
// pieces of a split sentence in separate reads.
struct Piece {
    std::string bytes;
    bool pauseBefore = false;
};

// What goes on the line for one log line, and how many bytes of line time it takes
// (for pacing; a lost fragment takes none).
struct Transmission {
    std::vector<Piece> pieces;
    std::size_t lineBytes = 0;
};

// Turns log lines into transmissions: adds CR LF and the faults the options ask for.
// Sentences are counted as they are put on the line, so "every N-th sentence" refers
// to that count; lines that are not sentences pass through untouched and uncounted.
class FaultInjector {
public:
    FaultInjector(const SimOptions& options, std::uint32_t seed);

    Transmission shape(std::string_view line);

    // Noise bytes are random but never a sentence start or a line end, so noise only
    // ever sits between sentences and cannot complete or fake one.
    static bool isNoiseByte(unsigned char byte);

private:
    bool due(int every) const { return every > 0 && sentences_ % every == 0; }
    bool loseFragment(std::string_view line);
    std::string noise();

    SimOptions options_;
    std::mt19937 random_;
    std::uint64_t sentences_ = 0;
    std::uint64_t multiSentenceMessages_ = 0;
    int fragmentToLose_ = 0;  // fragment number of the current message to drop, 0: none
    int currentTotal_ = 0;
};

}  // namespace sim
