// Gateway text written from frames and whole PGNs: the inverse of the line readers,
// for the simulator and for tests. Each writer fills `out` (without a line end) and
// returns the length written, or -1 when `capacity` is too small.
#pragma once

#include <cstdint>

#include "n2k/message.h"

namespace n2k {

// "hh:mm:ss.mmm R 09F8017F 01 02 ..." ('T' for a frame the gateway sent). A time
// of kNoTime is written as midnight; a date is dropped.
int writeYdwgLine(const Frame& frame, char* out, int capacity);

// candump's log form "(1502984866.421964) can0 09F112CC#FF725AFF7FFF7FFD".
int writeCandumpLine(const Frame& frame, const char* interfaceName, char* out, int capacity);

// PLAIN CSV of one frame: "2016-02-28T19:57:02.364Z,2,127250,7,255,8,ff,10,...".
int writePlainFrame(const Frame& frame, char* out, int capacity);

// PLAIN CSV of a whole PGN (its length may exceed eight).
int writePlainMessage(const Message& message, char* out, int capacity);

// "$PCDIN,01F119,00000000,0F,2AAF00D1067414FF*59".
int writePcdinLine(const Message& message, char* out, int capacity);

// The CAN frames that carry a PGN: one frame for at most eight bytes when
// `fastPacket` is false, else the fast-packet frames with the given sequence
// counter (0..7). Returns the frame count, or -1 when the PGN does not fit.
int framesOf(const Message& message, bool fastPacket, std::uint8_t sequence, Frame* frames,
             int capacity);

}  // namespace n2k
