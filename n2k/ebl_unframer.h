// Actisense EBL log files, byte by byte. The log holds the gateway's NGT-1 frames
// as they came (see ngt1_unframer.h) between records of its own:
//   ESC SOH type bytes... ESC LF
// Type 3 records carry the wall-clock time (a Windows FILETIME: 100 ns ticks since
// 1601, least significant byte first), which stamps the PGNs that follow; type 1
// holds the log's version. An ESC byte anywhere else in the file is written twice.
#pragma once

#include <cstddef>
#include <cstdint>

#include "n2k/ngt1_unframer.h"

namespace n2k {

class EblUnframer {
public:
    EblUnframer(MessageCallback onMessage, void* user);

    void feed(const std::uint8_t* data, std::size_t size);
    void feedByte(std::uint8_t byte);
    void finish();

    // Every byte fed ends in exactly one of the byte counts here.
    const BinaryCounters& counters() const { return frames_.counters(); }

private:
    enum class State : std::uint8_t { Outside, OutsideEsc, InRecord, InRecordEsc };
    static constexpr int kRecordCapacity = 32;

    void finishRecord();

    Ngt1Unframer frames_;
    State state_ = State::Outside;
    int length_ = 0;
    std::uint64_t recordBytes_ = 0;
    std::uint8_t record_[kRecordCapacity] = {};
};

}  // namespace n2k
