// What a stream of bytes did on its way through the framer: how much arrived, how
// many sentences were taken, and every way one can be lost. The caller owns the
// counters and hands them to each parser context it builds, so they outlive the
// context and count the whole stream until the caller clears them.
#pragma once

#include <cstdint>

namespace nmeaz {

struct LineCounters {
    std::uint64_t bytes;             // every byte fed
    std::uint64_t accepted;          // framed with a good checksum, or without one
    std::uint64_t badChecksum;       // framed, but the checksum does not match
    std::uint64_t noChecksum;        // accepted without a checksum (also in accepted)
    std::uint64_t tooLong;           // abandoned at the sentence size limit
    std::uint64_t noiseBytes;        // outside any sentence (line ends excepted)
    std::uint64_t unknownType;       // accepted, but no registered parser takes it
    std::uint64_t fragmentsDropped;  // AIS fragments that never became a message
    std::uint64_t aisUndecodable;    // AIS messages assembled, but not decodable

    friend bool operator==(const LineCounters&, const LineCounters&) = default;
};

// How a framed sentence ended, for the frame observer.
enum class FrameOutcome : int { Accepted = 0, BadChecksum = 1 };

// Sees every framed sentence just before it is dispatched (or dropped for its
// checksum): the sentence text from its start character, CR LF included.
using FrameObserver = void (*)(void* user, const char* sentence, int length, FrameOutcome outcome);

}  // namespace nmeaz
