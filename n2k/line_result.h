// What one gateway line reader makes of one line (given without its line end).
#pragma once

#include <cstdint>

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

}  // namespace n2k
