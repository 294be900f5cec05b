// The fields packed into a 29-bit NMEA 2000 (J1939) CAN identifier. A PDU1 PGN (PF
// below 240) is addressed: its low byte is the destination, not part of the PGN.
#pragma once

#include <cstdint>

#include "n2k/message.h"

namespace n2k {

struct CanAddress {
    std::uint32_t pgn = 0;
    std::uint8_t priority = 0;
    std::uint8_t source = 0;
    std::uint8_t destination = kGlobalAddress;

    friend bool operator==(const CanAddress&, const CanAddress&) = default;
};

constexpr CanAddress decodeCanId(std::uint32_t canId) {
    CanAddress a;
    a.priority = static_cast<std::uint8_t>((canId >> 26) & 0x7);
    a.source = static_cast<std::uint8_t>(canId & 0xFF);
    const std::uint32_t dataPage = (canId >> 24) & 0x3;  // extended data page and data page
    const std::uint32_t pduFormat = (canId >> 16) & 0xFF;
    const std::uint32_t pduSpecific = (canId >> 8) & 0xFF;
    if (pduFormat < 240) {
        a.destination = static_cast<std::uint8_t>(pduSpecific);
        a.pgn = (dataPage << 16) | (pduFormat << 8);
    } else {
        a.destination = kGlobalAddress;
        a.pgn = (dataPage << 16) | (pduFormat << 8) | pduSpecific;
    }
    return a;
}

constexpr std::uint32_t encodeCanId(const CanAddress& a) {
    const std::uint32_t pduFormat = (a.pgn >> 8) & 0xFF;
    std::uint32_t id = (std::uint32_t{a.priority} & 0x7) << 26;
    id |= (a.pgn & 0x3FF00) << 8;
    if (pduFormat < 240) {
        id |= std::uint32_t{a.destination} << 8;
    } else {
        id |= (a.pgn & 0xFF) << 8;
    }
    return id | a.source;
}

// Gives a whole PGN the addresses of the frames it came in.
constexpr void setAddress(Message& m, const CanAddress& a) {
    m.pgn = a.pgn;
    m.priority = a.priority;
    m.source = a.source;
    m.destination = a.destination;
}

static_assert(decodeCanId(0x09F8017F).pgn == 129025);
static_assert(decodeCanId(0x09F8017F).source == 0x7F);
static_assert(decodeCanId(0x09F8017F).priority == 2);
static_assert(decodeCanId(0x18EEFF01).pgn == 60928);
static_assert(decodeCanId(0x18EAFF01).pgn == 59904 && decodeCanId(0x18EAFF01).destination == 255);
static_assert(encodeCanId(decodeCanId(0x09F8017F)) == 0x09F8017F);
static_assert(encodeCanId(decodeCanId(0x18EA2301)) == 0x18EA2301);

}  // namespace n2k
