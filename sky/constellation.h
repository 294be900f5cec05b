// Which GNSS a satellite belongs to, from the talker of its sentence, the system ID
// of NMEA 4.10, or (for the combined talker GN) its satellite number.
#pragma once

#include <cstdint>

namespace sky {

enum class Constellation : std::uint8_t { Gps, Glonass, Galileo, BeiDou, Qzss, NavIC, Sbas, Other };
inline constexpr int kConstellationCount = 8;

// "GP" GPS, "GL" GLONASS, "GA" Galileo, "GB"/"BD" BeiDou, "GQ" QZSS, "GI" NavIC;
// Other for anything else (GN included: its satellites are told by number).
Constellation constellationOfTalker(char first, char second);
// NMEA 4.10 system IDs 1 to 6; Other for the rest.
Constellation constellationOfSystemId(int id);
// The satellite numbers of NMEA 0183 as receivers reporting under GN use them:
// 1-32 GPS, 33-64 SBAS, 65-96 GLONASS, 193-200 QZSS, 201-235 BeiDou, 301-336 Galileo.
Constellation constellationOfNumber(int number);
// Short names for legends and screen readers: "GPS", "GLONASS", ...
const char* constellationName(Constellation c);

}  // namespace sky
