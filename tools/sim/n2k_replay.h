// The NMEA 2000 side of the simulator: a capture of any gateway format read into
// whole PGNs, written again in the gateway format asked for (one line a CAN frame for
// yd, candump and plain; one line a PGN for pcdin), with lost fast-packet frames and
// garbled lines as faults, and interleaved with the NMEA 0183 log's lines.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "n2k/message.h"
#include "n2k/pgn_database.h"

namespace sim {

struct N2kReplayOptions {
    std::string format;  // "yd", "pcdin", "plain" or "candump"
    int dropFrameEvery = 0;
    int garbleEvery = 0;
};

// Reads every whole PGN of a capture (any text format, mixed with NMEA 0183 or not, or
// a binary NGT-1 or EBL log). False, with a message, when it cannot be read or holds
// no PGN.
bool loadN2kCapture(const std::string& path, const n2k::PgnDatabase& database,
                    std::vector<n2k::Message>& messages, std::string& error);

// The lines (without line ends) that carry the PGNs in the chosen format, faults
// applied.
std::vector<std::string> n2kLines(const std::vector<n2k::Message>& messages,
                                  const n2k::PgnDatabase& database,
                                  const N2kReplayOptions& options);

// The NMEA 0183 lines with the NMEA 2000 lines spread evenly between them, so both
// run through one pass together.
std::vector<std::string> interleave(const std::vector<std::string>& nmea,
                                    const std::vector<std::string>& n2kLines);

}  // namespace sim
