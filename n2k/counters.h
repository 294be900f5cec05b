// What the NMEA 2000 input side counts: frames and whole PGNs, every way a fast
// packet or transport-protocol transfer can fail, and the outcome of every gateway
// line and byte. Plain numbers, so that the monitor, the decoder's --stats and the
// tests read the same fields.
#pragma once

#include <cstdint>

#include "n2k/gateway_format.h"

namespace n2k {

struct ReassemblyCounters {
    std::uint64_t frames = 0;    // CAN frames fed in
    std::uint64_t messages = 0;  // whole PGNs out of frames (single, fast packet, transport)
    std::uint64_t fastPackets = 0;
    std::uint64_t transports = 0;

    // Fast packets. A dropped packet counts once, under the reason it was dropped;
    // the frames of it that still arrive are counted as discarded.
    std::uint64_t fastPacketLost = 0;        // a frame counter was skipped
    std::uint64_t fastPacketRepeated = 0;    // a frame came twice
    std::uint64_t fastPacketOutOfOrder = 0;  // a skipped frame arrived late
    std::uint64_t fastPacketOrphans = 0;     // a frame of a packet whose first frame was not seen
    std::uint64_t fastPacketRestarted = 0;   // a new sequence began before the old one completed
    std::uint64_t fastPacketEvicted = 0;     // too many open packets: the oldest was dropped
    std::uint64_t fastPacketBadLength = 0;   // first frame announced 0 or more than 223 bytes
    std::uint64_t fastPacketDiscardedFrames = 0;

    // ISO transport protocol (TP.CM 60416 and TP.DT 60160).
    std::uint64_t transportLost = 0;
    std::uint64_t transportRepeated = 0;
    std::uint64_t transportOutOfOrder = 0;
    std::uint64_t transportOrphans = 0;
    std::uint64_t transportRestarted = 0;
    std::uint64_t transportEvicted = 0;
    std::uint64_t transportAborted = 0;
    std::uint64_t transportBadAnnounce = 0;
    std::uint64_t transportDiscardedFrames = 0;

    std::uint64_t fastPacketErrors() const {
        return fastPacketLost + fastPacketRepeated + fastPacketOutOfOrder + fastPacketOrphans +
               fastPacketRestarted + fastPacketEvicted + fastPacketBadLength;
    }
    std::uint64_t transportErrors() const {
        return transportLost + transportRepeated + transportOutOfOrder + transportOrphans +
               transportRestarted + transportEvicted + transportAborted + transportBadAnnounce;
    }
};

// Binary gateway framing (NGT-1 and EBL).
struct BinaryCounters {
    std::uint64_t messages = 0;       // received-PGN messages delivered
    std::uint64_t otherCommands = 0;  // good frames of other commands, skipped
    std::uint64_t badChecksum = 0;
    std::uint64_t badFrames = 0;   // broken framing, bad lengths, overlong frames
    std::uint64_t logRecords = 0;  // EBL records (time stamps, version)
    // Every byte fed ends in exactly one of these.
    std::uint64_t bytesInMessages = 0;
    std::uint64_t bytesInOtherCommands = 0;
    std::uint64_t bytesInLogRecords = 0;
    std::uint64_t bytesGarbage = 0;
};

// The outcome of every line of a text stream, by the format it was read as.
struct LineCounters {
    std::uint64_t lines[kLineFormatCount] = {};
    std::uint64_t frames[kGatewayFormatCount] = {};
    std::uint64_t messages[kGatewayFormatCount] = {};
    std::uint64_t status[kGatewayFormatCount] = {};
    std::uint64_t malformed[kGatewayFormatCount] = {};
    std::uint64_t notThisFormat = 0;  // a forced format met a line of another
    std::uint64_t overlong = 0;       // lines cut off at the length limit
};

}  // namespace n2k
