#include "n2k/ebl_unframer.h"

namespace n2k {

namespace {

constexpr std::uint8_t kEsc = 0x1B;
constexpr std::uint8_t kSoh = 0x01;
constexpr std::uint8_t kLf = 0x0A;
constexpr std::uint8_t kTimeRecord = 0x03;
// 1601-01-01 to 1970-01-01 in 100 ns ticks.
constexpr std::uint64_t kFiletimeUnixEpoch = 116444736000000000ull;

}  // namespace

EblUnframer::EblUnframer(MessageCallback onMessage, void* user) : frames_(onMessage, user) {}

void EblUnframer::feed(const std::uint8_t* data, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i)
        feedByte(data[i]);
}

void EblUnframer::finish() {
    BinaryCounters& c = frames_.counters();
    if (state_ == State::OutsideEsc)
        c.bytesGarbage += 1;
    if (state_ == State::InRecord || state_ == State::InRecordEsc) {
        ++c.badFrames;
        c.bytesGarbage += recordBytes_;
    }
    state_ = State::Outside;
    recordBytes_ = 0;
    frames_.finish();
}

void EblUnframer::feedByte(std::uint8_t byte) {
    BinaryCounters& c = frames_.counters();
    switch (state_) {
        case State::Outside:
            if (byte == kEsc)
                state_ = State::OutsideEsc;
            else
                frames_.feedByte(byte);
            return;
        case State::OutsideEsc:
            if (byte == kEsc) {
                frames_.feedByte(kEsc, 2);
                state_ = State::Outside;
            } else if (byte == kSoh) {
                recordBytes_ = 2;
                length_ = 0;
                state_ = State::InRecord;
            } else {
                ++c.badFrames;
                c.bytesGarbage += 1;
                state_ = State::Outside;
                feedByte(byte);
            }
            return;
        case State::InRecord:
            ++recordBytes_;
            if (byte == kEsc) {
                state_ = State::InRecordEsc;
                return;
            }
            break;
        case State::InRecordEsc:
            ++recordBytes_;
            if (byte == kLf) {
                finishRecord();
                state_ = State::Outside;
                return;
            }
            if (byte != kEsc) {
                // A record broken off: what it held is lost, the rest is read afresh.
                ++c.badFrames;
                c.bytesGarbage += recordBytes_ - 1;
                recordBytes_ = 0;
                state_ = State::Outside;
                if (byte == kSoh) {
                    recordBytes_ = 2;
                    length_ = 0;
                    state_ = State::InRecord;
                    c.bytesGarbage -= 1;  // the ESC belongs to the new record
                } else {
                    feedByte(byte);
                }
                return;
            }
            state_ = State::InRecord;
            break;
    }
    if (length_ == kRecordCapacity) {
        ++c.badFrames;
        c.bytesGarbage += recordBytes_;
        recordBytes_ = 0;
        state_ = State::Outside;
        return;
    }
    record_[length_++] = byte;
}

void EblUnframer::finishRecord() {
    BinaryCounters& c = frames_.counters();
    ++c.logRecords;
    c.bytesInLogRecords += recordBytes_;
    recordBytes_ = 0;
    if (length_ == 9 && record_[0] == kTimeRecord) {
        std::uint64_t ticks = 0;
        for (int i = 8; i >= 1; --i)
            ticks = ticks << 8 | record_[i];
        if (ticks >= kFiletimeUnixEpoch)
            frames_.setTime(static_cast<std::int64_t>((ticks - kFiletimeUnixEpoch) / 10000));
    }
}

}  // namespace n2k
