#pragma once

#include <string>
#include <string_view>

namespace sim {

// What a receiver listening at `receiveBaud` makes of `bytes` sent back to back at
// `sendBaud` (8 data bits, no parity, 1 stop bit, line idle high). The receiver is a
// classic 16x oversampling UART: it arms on a high line, starts on the next low sample,
// checks the start bit at its middle, samples eight data bits and the stop bit at their
// middles, and hands up a NUL for a frame whose stop bit is low (framing error or break),
// as a raw-mode terminal without parity marking does.
std::string uartMisread(std::string_view bytes, int sendBaud, int receiveBaud);

}  // namespace sim
