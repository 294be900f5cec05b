// CAN frames in, whole PGNs out: single-frame PGNs pass straight through, fast
// packets and ISO transport-protocol transfers are put back together.
//
// Fast packet: every frame's first byte holds a sequence counter (top three bits)
// and a frame counter (low five bits); frame 0 carries the total length and six
// bytes, every further frame seven. Packets are kept apart by source, destination
// and PGN, so packets of different sources and PGNs interleave freely. A lost,
// repeated or out-of-order frame drops its packet; a first frame that arrives while
// a packet of the same source and PGN is open drops the open one.
//
// Transport protocol: TP.CM (PGN 60416) announces a transfer (BAM to all, or RTS to
// one receiver, whose CTS may ask for packets again), TP.DT (PGN 60160) carries it
// seven bytes a packet; the whole transfer comes out as the announced PGN.
//
// Storage is fixed: a bounded number of open packets and transfers, the oldest
// evicted when a new one needs room. Nothing is allocated per frame.
#pragma once

#include <cstdint>

#include "n2k/can_id.h"
#include "n2k/counters.h"
#include "n2k/message.h"

namespace n2k {

// Which PGNs travel as fast packets: the PGN database knows, so the caller hands
// the question in (tests pass a short list).
using FastPacketPredicate = bool (*)(const void* user, std::uint32_t pgn);

struct FastPacketList {
    FastPacketPredicate isFastPacket = nullptr;
    const void* user = nullptr;

    bool contains(std::uint32_t pgn) const {
        return isFastPacket != nullptr && isFastPacket(user, pgn);
    }
};

constexpr std::uint32_t kTransportControlPgn = 60416;  // TP.CM
constexpr std::uint32_t kTransportDataPgn = 60160;     // TP.DT
constexpr int kMaxOpenFastPackets = 64;
constexpr int kMaxOpenTransports = 8;

// A packet or transfer that a frame dropped, by the PGN it carried and its sender:
// what a monitor counts as that PGN's error.
struct DroppedPacket {
    std::uint32_t pgn = 0;
    std::uint8_t source = 0;
};
// At most this many drops come of one frame (a restart that also evicts, say).
constexpr int kMaxDropsPerFrame = 4;

class Reassembler {
public:
    explicit Reassembler(FastPacketList fastPackets = {});

    // Feeds one frame. Returns the whole PGN it completes, or nullptr; the message
    // stays valid until the next call.
    const Message* feed(const Frame& frame);

    const ReassemblyCounters& counters() const { return counters_; }
    // The packets and transfers the last frame fed dropped, each once; a drop of a
    // transfer whose PGN was never announced (a stray data frame) is not among them.
    const DroppedPacket* lastDrops() const { return drops_; }
    int lastDropCount() const { return dropCount_; }
    void setFastPacketList(FastPacketList list) { fastPackets_ = list; }
    // Forgets every open packet and transfer (a source that reconnects).
    void clearOpen();

private:
    enum class Drop : std::uint8_t { None, Gap, Other };

    struct FastSlot {
        bool used = false;
        bool discarding = false;  // dropped: its remaining frames are discarded
        Drop drop = Drop::None;
        std::uint8_t missing = 0;  // the frame counter whose absence dropped it
        std::uint8_t source = 0, destination = 0, priority = 0;
        std::uint8_t sequence = 0, nextFrame = 0;
        bool sentByGateway = false;
        std::uint32_t pgn = 0;
        int length = 0, received = 0;
        std::uint64_t stamp = 0;
        std::uint8_t data[kFastPacketMaxPayload] = {};
    };

    struct TransportSlot {
        bool used = false;
        bool discarding = false;
        Drop drop = Drop::None;
        std::uint8_t missing = 0;
        std::uint8_t source = 0, destination = 0, priority = 0;
        std::uint8_t packets = 0, nextPacket = 0;
        std::uint32_t pgn = 0;
        int size = 0;
        std::uint64_t stamp = 0;
        std::uint8_t data[kMaxPayload] = {};
    };

    const Message* single(const Frame& frame);
    const Message* fastPacket(const Frame& frame);
    const Message* transportControl(const Frame& frame);
    const Message* transportData(const Frame& frame);
    FastSlot* findFast(std::uint8_t source, std::uint8_t destination, std::uint32_t pgn);

    TransportSlot* findTransport(std::uint8_t source, std::uint8_t destination);
    void dropped(std::uint32_t pgn, std::uint8_t source);
    template <typename Slot, std::size_t N>
    Slot* claimSlot(Slot (&slots)[N], std::uint64_t& evicted);
    const Message* complete(const CanAddress& address, std::int64_t timeMs, bool sentByGateway,
                            const std::uint8_t* data, int length);

    FastPacketList fastPackets_;
    ReassemblyCounters counters_;
    std::uint64_t clock_ = 0;
    FastSlot fast_[kMaxOpenFastPackets];
    TransportSlot transport_[kMaxOpenTransports];
    Message out_;
    DroppedPacket drops_[kMaxDropsPerFrame];
    int dropCount_ = 0;
};

}  // namespace n2k
