#include "n2k/ngt1_unframer.h"

#include <cstring>

namespace n2k {

namespace {

constexpr std::uint8_t kDle = 0x10;
constexpr std::uint8_t kStx = 0x02;
constexpr std::uint8_t kEtx = 0x03;
constexpr std::uint8_t kReceivedPgn = 0x93;
constexpr int kReceivedPgnHeader = 11;  // priority .. payload length

}  // namespace

Ngt1Unframer::Ngt1Unframer(MessageCallback onMessage, void* user)
    : onMessage_(onMessage), user_(user) {}

void Ngt1Unframer::feed(const std::uint8_t* data, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i)
        feedByte(data[i]);
}

void Ngt1Unframer::dropPending(std::uint64_t extra) {
    counters_.bytesGarbage += pendingBytes_ + extra;
    pendingBytes_ = 0;
}

void Ngt1Unframer::finish() {
    if (state_ == State::InFrame || state_ == State::InFrameDle)
        ++counters_.badFrames;
    dropPending(0);
    state_ = State::Idle;
}

void Ngt1Unframer::feedByte(std::uint8_t byte, int rawBytes) {
    const auto raw = static_cast<std::uint64_t>(rawBytes);
    switch (state_) {
        case State::Idle:
            if (byte == kDle) {
                pendingBytes_ = raw;
                state_ = State::SawDle;
            } else {
                counters_.bytesGarbage += raw;
            }
            return;
        case State::SawDle:
            if (byte == kStx) {
                pendingBytes_ += raw;
                length_ = 0;
                state_ = State::InFrame;
            } else if (byte == kDle) {
                dropPending(0);
                pendingBytes_ = raw;
            } else {
                dropPending(raw);
                state_ = State::Idle;
            }
            return;
        case State::InFrame:
            pendingBytes_ += raw;
            if (byte == kDle) {
                state_ = State::InFrameDle;
                return;
            }
            break;
        case State::InFrameDle:
            if (byte == kEtx) {
                pendingBytes_ += raw;
                finishFrame();
                state_ = State::Idle;
                return;
            }
            if (byte == kStx) {
                // A new frame began inside this one: this one was cut short.
                ++counters_.badFrames;
                counters_.bytesGarbage += pendingBytes_ - 1;
                pendingBytes_ = 1 + raw;
                length_ = 0;
                state_ = State::InFrame;
                return;
            }
            if (byte != kDle) {
                ++counters_.badFrames;
                dropPending(raw);
                state_ = State::Idle;
                return;
            }
            pendingBytes_ += raw;
            state_ = State::InFrame;
            break;
    }
    if (length_ == kFrameCapacity) {
        ++counters_.badFrames;
        dropPending(0);
        state_ = State::Idle;
        return;
    }
    frame_[length_++] = byte;
}

void Ngt1Unframer::finishFrame() {
    if (length_ < 3 || frame_[1] + 3 != length_) {
        ++counters_.badFrames;
        dropPending(0);
        return;
    }
    std::uint8_t sum = 0;
    for (int i = 0; i < length_; ++i)
        sum = static_cast<std::uint8_t>(sum + frame_[i]);
    if (sum != 0) {
        ++counters_.badChecksum;
        dropPending(0);
        return;
    }
    const std::uint8_t* d = frame_ + 2;
    const int size = frame_[1];
    if (frame_[0] != kReceivedPgn) {
        ++counters_.otherCommands;
        counters_.bytesInOtherCommands += pendingBytes_;
        pendingBytes_ = 0;
        return;
    }
    if (size < kReceivedPgnHeader || d[10] != size - kReceivedPgnHeader) {
        ++counters_.badFrames;
        dropPending(0);
        return;
    }
    message_.priority = d[0] & 0x7;
    message_.pgn = static_cast<std::uint32_t>(d[1] | d[2] << 8 | (d[3] & 0x03) << 16);
    message_.destination = d[4];
    message_.source = d[5];
    message_.timeMs = timeMs_;
    message_.sentByGateway = false;
    message_.length = d[10];
    std::memcpy(message_.data, d + kReceivedPgnHeader, d[10]);
    ++counters_.messages;
    counters_.bytesInMessages += pendingBytes_;
    pendingBytes_ = 0;
    if (onMessage_ != nullptr)
        onMessage_(user_, message_);
}

}  // namespace n2k
