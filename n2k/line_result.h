// What one gateway line reader makes of one line (given without its line end).
#pragma once

#include <cstdint>

#include "n2k/can_id.h"
#include "n2k/message.h"

namespace n2k {

enum class LineKind : std::uint8_t {
    Frame,          // one CAN frame, to be reassembled: LineOutput::frame
    Message,        // a whole PGN the gateway delivered: LineOutput::message
    Status,         // the gateway's own status or control line: no PGN in it
    NotThisFormat,  // the line belongs to another format
    Malformed,      // the line is of this format but broken
};

// The reader's output, owned by the caller: a reader writes either the frame or the
// message, as its LineKind says.
struct LineOutput {
    Frame frame;
    Message message;
};

// A reader's last step: the header of the frame whose data it has placed in
// out.frame.data.
inline LineKind frameRead(LineOutput& out, std::uint32_t canId, int length, std::int64_t timeMs,
                          bool sentByGateway = false) {
    out.frame.canId = canId;
    out.frame.length = static_cast<std::uint8_t>(length);
    out.frame.timeMs = timeMs;
    out.frame.sentByGateway = sentByGateway;
    return LineKind::Frame;
}

// The same for a whole PGN whose payload is in out.message.data.
inline LineKind messageRead(LineOutput& out, const CanAddress& address, int length,
                            std::int64_t timeMs) {
    Message& m = out.message;
    setAddress(m, address);
    m.timeMs = timeMs;
    m.length = length;
    m.sentByGateway = false;
    return LineKind::Message;
}

}  // namespace n2k
