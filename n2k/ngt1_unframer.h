// The binary framing of an Actisense NGT-1 gateway, byte by byte:
//   DLE STX command length data... checksum DLE ETX
// with every DLE inside the frame doubled, and a checksum that makes the bytes from
// command to checksum add up to zero. Command 0x93 is a PGN the gateway received:
// priority, PGN (three bytes, least significant first), destination, source, the
// gateway's millisecond counter (four bytes), payload length and payload. Frames of
// other commands are counted and skipped. Garbage between frames, broken frames and
// bad checksums are counted and the unframer waits for the next DLE STX.
//
// This only reads: nothing is ever sent to the gateway.
#pragma once

#include <cstddef>
#include <cstdint>

#include "n2k/counters.h"
#include "n2k/message.h"

namespace n2k {

using MessageCallback = void (*)(void* user, const Message& message);

class Ngt1Unframer {
public:
    Ngt1Unframer(MessageCallback onMessage, void* user);

    void feed(const std::uint8_t* data, std::size_t size);
    // One byte that stood for `rawBytes` bytes of the input (an EBL log writes some
    // bytes escaped as two), so that every input byte is counted once.
    void feedByte(std::uint8_t byte, int rawBytes = 1);
    // The input ended: a frame cut short is garbage.
    void finish();

    // The time stamped on the messages that follow (kNoTime: none). A log file
    // records the wall-clock time between frames.
    void setTime(std::int64_t timeMs) { timeMs_ = timeMs; }

    const BinaryCounters& counters() const { return counters_; }
    BinaryCounters& counters() { return counters_; }

private:
    enum class State : std::uint8_t { Idle, SawDle, InFrame, InFrameDle };
    static constexpr int kFrameCapacity = 258;  // command, length, 255 bytes, checksum

    void finishFrame();
    void dropPending(std::uint64_t extra);

    MessageCallback onMessage_;
    void* user_;
    State state_ = State::Idle;
    int length_ = 0;
    std::uint64_t pendingBytes_ = 0;
    std::int64_t timeMs_ = kNoTime;
    BinaryCounters counters_;
    std::uint8_t frame_[kFrameCapacity] = {};
    Message message_;
};

}  // namespace n2k
