// The PGN database of the decoder, loaded the first time a stream carries NMEA 2000.
#pragma once

#include "n2k/pgn_database.h"

namespace decode {

// The loaded database, or nullptr when it cannot be loaded (said once on standard
// error; PGNs are then written raw).
const n2k::PgnDatabase* programPgnDatabase();

}  // namespace decode
