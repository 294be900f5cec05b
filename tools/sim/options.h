#pragma once

#include <cstdint>
#include <string>

namespace sim {

// Everything the command line can ask of the simulator. A fault period of 0 means the
// fault is off; N means "every N-th sentence" (or every N-th multi-sentence AIS message
// for lost fragments).
struct SimOptions {
    std::string logPath;     // empty: the default log shipped beside the executable
    std::string devicePath;  // empty: create a pseudo-terminal and publish it
    std::string linkName;    // empty: sim-<pid>
    std::string teePath;     // copy of every byte put on the line, for checking runs
    std::string tcpListen;   // "[HOST:]PORT": serve TCP clients instead of a line
    std::string udpTarget;   // "HOST:PORT": send datagrams instead of a line
    int baud = 4800;
    bool fast = false;  // no pacing
    bool once = false;  // a single pass through the log instead of looping
    bool hold = false;  // after a single pass keep the port open and quiet
    std::uint32_t seed = 0;
    bool seedGiven = false;
    int badChecksumEvery = 0;
    int noiseEvery = 0;
    int dropFragmentEvery = 0;
    int splitEvery = 0;
    int garbageEvery = 0;
    // NMEA 2000: a capture (any gateway format) replayed between the log's lines in
    // this gateway format; empty format: none.
    std::string n2kFormat;   // "yd", "pcdin", "plain" or "candump"
    std::string n2kLogPath;  // empty: the default NMEA 2000 log beside the executable
    int dropFrameEvery = 0;  // every N-th fast packet loses one of its frames
    int garbleEvery = 0;     // every N-th NMEA 2000 line is garbled
};

enum class ParseOutcome { Run, Help, Version, Error };

// Reads argv into `options`. On Error, `error` holds a one-line explanation.
ParseOutcome parseOptions(int argc, const char* const* argv, SimOptions& options,
                          std::string& error);

const char* usageText();

// The speeds the simulator talks at.
constexpr int kLineSpeeds[] = {4800, 9600, 19200, 38400, 57600, 115200};
bool isLineSpeed(int baud);

// The other of the two classic line speeds (4800 and 38400): what a receiver set
// wrongly would be listening at.
int otherBaud(int baud);

}  // namespace sim
