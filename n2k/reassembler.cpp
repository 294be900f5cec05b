#include "n2k/reassembler.h"

#include <cstring>

#include "n2k/can_id.h"

namespace n2k {

namespace {

enum TransportControl : std::uint8_t {
    kRequestToSend = 16,
    kClearToSend = 17,
    kEndOfMessageAck = 19,
    kBroadcastAnnounce = 32,
    kAbort = 255,
};

}  // namespace

Reassembler::Reassembler(FastPacketList fastPackets) : fastPackets_(fastPackets) {}

void Reassembler::dropped(std::uint32_t pgn, std::uint8_t source) {
    if (dropCount_ < kMaxDropsPerFrame)
        drops_[dropCount_++] = DroppedPacket{pgn, source};
}

// A free slot, or else the one least recently touched (counted as evicted when it
// was still being filled).
template <typename Slot, std::size_t N>
Slot* Reassembler::claimSlot(Slot (&slots)[N], std::uint64_t& evicted) {
    Slot* oldest = &slots[0];
    for (Slot& slot : slots) {
        if (!slot.used)
            return &slot;
        if (slot.stamp < oldest->stamp)
            oldest = &slot;
    }
    if (!oldest->discarding) {
        ++evicted;
        dropped(oldest->pgn, oldest->source);
    }
    return oldest;
}

void Reassembler::clearOpen() {
    for (FastSlot& slot : fast_)
        slot.used = false;
    for (TransportSlot& slot : transport_)
        slot.used = false;
}

const Message* Reassembler::feed(const Frame& frame) {
    ++counters_.frames;
    dropCount_ = 0;
    const std::uint32_t pgn = decodeCanId(frame.canId).pgn;
    const Message* done = nullptr;
    if (pgn == kTransportControlPgn)
        done = transportControl(frame);
    else if (pgn == kTransportDataPgn)
        done = transportData(frame);
    else if (fastPackets_.contains(pgn))
        done = fastPacket(frame);
    else
        done = single(frame);
    if (done != nullptr)
        ++counters_.messages;
    return done;
}

const Message* Reassembler::complete(const CanAddress& a, std::int64_t timeMs, bool sentByGateway,
                                     const std::uint8_t* data, int length) {
    setAddress(out_, a);
    out_.timeMs = timeMs;
    out_.sentByGateway = sentByGateway;
    out_.length = length;
    std::memcpy(out_.data, data, static_cast<std::size_t>(length));
    return &out_;
}

const Message* Reassembler::single(const Frame& frame) {
    return complete(decodeCanId(frame.canId), frame.timeMs, frame.sentByGateway, frame.data,
                    frame.length > 8 ? 8 : frame.length);
}

Reassembler::FastSlot* Reassembler::findFast(std::uint8_t source, std::uint8_t destination,
                                             std::uint32_t pgn) {
    for (FastSlot& slot : fast_) {
        if (slot.used && slot.source == source && slot.pgn == pgn &&
            slot.destination == destination)
            return &slot;
    }
    return nullptr;
}

const Message* Reassembler::fastPacket(const Frame& frame) {
    const CanAddress a = decodeCanId(frame.canId);
    const int length = frame.length > 8 ? 8 : frame.length;
    if (length < 1) {
        ++counters_.fastPacketBadLength;
        dropped(a.pgn, a.source);
        return nullptr;
    }
    const std::uint8_t sequence = frame.data[0] >> 5;
    const std::uint8_t counter = frame.data[0] & 0x1F;
    FastSlot* slot = findFast(a.source, a.destination, a.pgn);

    if (counter == 0) {
        if (slot != nullptr && !slot->discarding) {
            if (slot->sequence == sequence && slot->nextFrame == 1) {
                ++counters_.fastPacketRepeated;
                slot->discarding = true;
                slot->drop = Drop::Other;
                dropped(a.pgn, a.source);
                return nullptr;
            }
            ++counters_.fastPacketRestarted;
            dropped(a.pgn, a.source);
        }
        const int total = length >= 2 ? frame.data[1] : 0;
        if (total == 0 || total > kFastPacketMaxPayload) {
            ++counters_.fastPacketBadLength;
            dropped(a.pgn, a.source);
            if (slot != nullptr)
                slot->used = false;
            return nullptr;
        }
        if (slot == nullptr)
            slot = claimSlot(fast_, counters_.fastPacketEvicted);
        slot->used = true;
        slot->discarding = false;
        slot->drop = Drop::None;
        slot->source = a.source;
        slot->destination = a.destination;
        slot->priority = a.priority;
        slot->pgn = a.pgn;
        slot->sequence = sequence;
        slot->nextFrame = 1;
        slot->length = total;
        slot->sentByGateway = frame.sentByGateway;
        slot->stamp = ++clock_;
        const int take = length - 2 < total ? length - 2 : total;
        std::memcpy(slot->data, frame.data + 2, static_cast<std::size_t>(take));
        slot->received = take;
    } else {
        if (slot == nullptr || slot->sequence != sequence) {
            ++counters_.fastPacketOrphans;
            dropped(a.pgn, a.source);
            return nullptr;
        }
        if (slot->discarding) {
            if (slot->drop == Drop::Gap && counter == slot->missing) {
                // The frame whose absence dropped the packet came after all: the
                // packet was reordered, not lost.
                --counters_.fastPacketLost;
                ++counters_.fastPacketOutOfOrder;
                slot->drop = Drop::Other;
            }
            ++counters_.fastPacketDiscardedFrames;
            return nullptr;
        }
        if (counter != slot->nextFrame) {
            slot->discarding = true;
            dropped(a.pgn, a.source);
            if (counter + 1 == slot->nextFrame) {
                ++counters_.fastPacketRepeated;
                slot->drop = Drop::Other;
            } else if (counter > slot->nextFrame) {
                ++counters_.fastPacketLost;
                slot->drop = Drop::Gap;
                slot->missing = slot->nextFrame;
            } else {
                ++counters_.fastPacketOutOfOrder;
                slot->drop = Drop::Other;
            }
            return nullptr;
        }
        const int remaining = slot->length - slot->received;
        const int take = length - 1 < remaining ? length - 1 : remaining;
        std::memcpy(slot->data + slot->received, frame.data + 1, static_cast<std::size_t>(take));
        slot->received += take;
        ++slot->nextFrame;
        slot->stamp = ++clock_;
    }

    if (slot->received < slot->length)
        return nullptr;
    slot->used = false;
    ++counters_.fastPackets;
    return complete({slot->pgn, slot->priority, slot->source, slot->destination}, frame.timeMs,
                    slot->sentByGateway, slot->data, slot->length);
}

Reassembler::TransportSlot* Reassembler::findTransport(std::uint8_t source,
                                                       std::uint8_t destination) {
    for (TransportSlot& slot : transport_) {
        if (slot.used && slot.source == source && slot.destination == destination)
            return &slot;
    }
    return nullptr;
}

const Message* Reassembler::transportControl(const Frame& frame) {
    const CanAddress a = decodeCanId(frame.canId);
    if (frame.length < 8) {
        ++counters_.transportBadAnnounce;
        return nullptr;
    }
    const std::uint8_t* d = frame.data;
    switch (d[0]) {
        case kRequestToSend:
        case kBroadcastAnnounce: {
            const std::uint8_t destination =
                d[0] == kBroadcastAnnounce ? kGlobalAddress : a.destination;
            TransportSlot* slot = findTransport(a.source, destination);
            if (slot != nullptr && !slot->discarding) {
                ++counters_.transportRestarted;
                dropped(slot->pgn, slot->source);
            }
            const int size = d[1] | d[2] << 8;
            const int packets = d[3];
            if (size < 9 || size > kMaxPayload || packets != (size + 6) / 7) {
                ++counters_.transportBadAnnounce;
                dropped(static_cast<std::uint32_t>(d[5] | d[6] << 8 | (d[7] & 0x03) << 16),
                        a.source);
                if (slot != nullptr)
                    slot->used = false;
                return nullptr;
            }
            if (slot == nullptr)
                slot = claimSlot(transport_, counters_.transportEvicted);
            slot->used = true;
            slot->discarding = false;
            slot->drop = Drop::None;
            slot->source = a.source;
            slot->destination = destination;
            slot->priority = a.priority;
            slot->packets = static_cast<std::uint8_t>(packets);
            slot->nextPacket = 1;
            slot->size = size;
            slot->pgn = static_cast<std::uint32_t>(d[5] | d[6] << 8 | (d[7] & 0x03) << 16);
            slot->stamp = ++clock_;
            return nullptr;
        }
        case kClearToSend: {
            // From the receiver to the sender: the sender's packets continue (or are sent
            // again) from the one asked for.
            TransportSlot* slot = findTransport(a.destination, a.source);
            if (slot != nullptr && d[1] > 0 && d[2] >= 1 && d[2] <= slot->packets) {
                if (!slot->discarding || d[2] <= slot->nextPacket) {
                    slot->discarding = false;
                    slot->drop = Drop::None;
                    slot->nextPacket = d[2];
                }
            }
            return nullptr;
        }
        case kAbort: {
            TransportSlot* slot = findTransport(a.source, a.destination);
            if (slot == nullptr)
                slot = findTransport(a.destination, a.source);
            if (slot != nullptr) {
                ++counters_.transportAborted;
                if (!slot->discarding)
                    dropped(slot->pgn, slot->source);
                slot->used = false;
            }
            return nullptr;
        }
        case kEndOfMessageAck:
        default:
            return nullptr;
    }
}

const Message* Reassembler::transportData(const Frame& frame) {
    const CanAddress a = decodeCanId(frame.canId);
    TransportSlot* slot = findTransport(a.source, a.destination);
    if (slot == nullptr || frame.length < 1) {
        ++counters_.transportOrphans;
        return nullptr;
    }
    const std::uint8_t packet = frame.data[0];
    if (slot->discarding) {
        if (slot->drop == Drop::Gap && packet == slot->missing) {
            --counters_.transportLost;
            ++counters_.transportOutOfOrder;
            slot->drop = Drop::Other;
        }
        ++counters_.transportDiscardedFrames;
        return nullptr;
    }
    if (packet != slot->nextPacket) {
        slot->discarding = true;
        dropped(slot->pgn, slot->source);
        if (packet != 0 && packet + 1 == slot->nextPacket) {
            ++counters_.transportRepeated;
            slot->drop = Drop::Other;
        } else if (packet > slot->nextPacket && packet <= slot->packets) {
            ++counters_.transportLost;
            slot->drop = Drop::Gap;
            slot->missing = slot->nextPacket;
        } else {
            ++counters_.transportOutOfOrder;
            slot->drop = Drop::Other;
        }
        return nullptr;
    }
    const int offset = (packet - 1) * 7;
    const int available = (frame.length > 8 ? 8 : frame.length) - 1;
    const int take = slot->size - offset < available ? slot->size - offset : available;
    if (take > 0)
        std::memcpy(slot->data + offset, frame.data + 1, static_cast<std::size_t>(take));
    slot->stamp = ++clock_;
    if (packet < slot->packets) {
        ++slot->nextPacket;
        return nullptr;
    }
    slot->used = false;
    ++counters_.transports;
    return complete({slot->pgn, slot->priority, slot->source, slot->destination}, frame.timeMs,
                    frame.sentByGateway, slot->data, slot->size);
}

}  // namespace n2k
