// What the NMEA 2000 side of the house passes around: CAN frames as gateways report
// them, and whole PGNs once frames are reassembled (or when a gateway hands a PGN over
// whole). Fixed storage only, like the NMEA 0183 records.
#pragma once

#include <cstdint>

namespace n2k {

// The largest payload a PGN can carry: an ISO transport-protocol transfer of 255
// packets of seven bytes. A fast packet carries at most 223 bytes.
constexpr int kMaxPayload = 1785;
constexpr int kFastPacketMaxPayload = 223;
constexpr std::uint8_t kGlobalAddress = 255;
constexpr std::uint8_t kNullAddress = 254;  // a device without an address of its own

// A receive time as the gateway gave it, in milliseconds: since the Unix epoch when
// the format carries a date, since midnight when it carries only a time of day, and
// kNoTime when it carries none.
constexpr std::int64_t kNoTime = -1;

// One CAN frame with its 29-bit extended identifier.
struct Frame {
    std::uint32_t canId = 0;
    std::uint8_t length = 0;  // 0..8
    std::uint8_t data[8] = {};
    std::int64_t timeMs = kNoTime;
    // The gateway itself put this frame on the bus (a YDWG "T" line), rather than
    // hearing it from another device.
    bool sentByGateway = false;
};

// One whole PGN: a single frame, a reassembled fast packet or transport-protocol
// transfer, or a PGN that a gateway delivered whole.
struct Message {
    std::uint32_t pgn = 0;
    std::uint8_t priority = 0;
    std::uint8_t source = 0;
    std::uint8_t destination = kGlobalAddress;
    std::int64_t timeMs = kNoTime;
    int length = 0;
    bool sentByGateway = false;  // as on Frame: the gateway's own transmission
    std::uint8_t data[kMaxPayload] = {};
};

}  // namespace n2k
