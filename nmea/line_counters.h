// What a stream of bytes did on its way through the framer: how much arrived, how
// many sentences were taken, and every way one can be lost. The caller owns the
// counters and hands them to each parser context it builds, so they outlive the
// context and count the whole stream until the caller clears them.
//
// Every byte fed ends in exactly one outcome class (the *Bytes fields below): once
// the framer has decided about it, `bytes` equals their sum. Bytes of a sentence
// still in hand are decided when it ends.
#pragma once

#include <cstdint>

namespace nmeaz {

// Ways real talkers end or decorate a sentence differently from the sentence format,
// read anyway unless framing is strict. A sentence may show several.
enum FrameDeviation : unsigned {
    kLfOnly = 1u << 0,             // line ended by LF alone
    kCrCrLf = 1u << 1,             // line ended by CR CR LF
    kLowercaseChecksum = 1u << 2,  // checksum written in lower-case hexadecimal digits
    kTrailingData = 1u << 3,       // ",receiver metadata" between "*hh" and the line end
};
using FrameDeviations = unsigned;

struct FrameDeviationKind {
    FrameDeviation bit;
    const char* key;    // the name in machine-readable output ("lf_only")
    const char* label;  // how a person reads it
};

// In bit order; warnings[i] counts kDeviationKinds[i].
inline constexpr FrameDeviationKind kDeviationKinds[] = {
    {kLfOnly, "lf_only", "line ended by LF alone"},
    {kCrCrLf, "cr_cr_lf", "line ended by CR CR LF"},
    {kLowercaseChecksum, "lowercase_checksum", "lower-case checksum"},
    {kTrailingData, "trailing_data", "data after the checksum"},
};
inline constexpr int kDeviationKindCount = 4;
static_assert(sizeof kDeviationKinds / sizeof kDeviationKinds[0] == kDeviationKindCount);

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
    std::uint64_t malformed;         // begun, but broken off by a byte the format forbids
    // Accepted sentences per deviation, in kDeviationKinds order.
    std::uint64_t warnings[kDeviationKindCount];
    // The outcome of every byte; with noiseBytes they sum to `bytes`.
    std::uint64_t acceptedBytes;     // in accepted sentences, line end included
    std::uint64_t badChecksumBytes;  // in sentences with a wrong checksum
    std::uint64_t tooLongBytes;      // in abandoned over-long sentences, to their line end
    std::uint64_t malformedBytes;    // in malformed sentences, up to the breaking byte
    std::uint64_t lineEndBytes;      // CR and LF outside any sentence
    std::uint64_t commentBytes;      // in comment lines of a file, their LF included

    friend bool operator==(const LineCounters&, const LineCounters&) = default;
};

// The sum of the outcome classes: equals `bytes` whenever no sentence is in hand.
inline std::uint64_t decidedBytes(const LineCounters& c) {
    return c.acceptedBytes + c.badChecksumBytes + c.tooLongBytes + c.malformedBytes +
           c.lineEndBytes + c.noiseBytes + c.commentBytes;
}

// How a framed sentence ended, for the frame observer.
enum class FrameOutcome : int { Accepted = 0, BadChecksum = 1 };

// Sees every framed sentence just before it is dispatched (or dropped for its
// checksum): the sentence text exactly as it came, from its start character through
// its line end, any data after the checksum included, and the deviations it shows.
using FrameObserver = void (*)(void* user, const char* sentence, int length, FrameOutcome outcome,
                               FrameDeviations deviations);

}  // namespace nmeaz
