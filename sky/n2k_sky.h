// The NMEA 2000 satellites-in-view (PGN 129540) and DOP (PGN 129539) messages into
// the sky model: the same view a GSV group and a GSA sentence give. Values are read by
// the PGN database's field Ids from the decoder's record.
#pragma once

#include "n2k/pgn_database.h"
#include "n2k/pgn_decoder.h"
#include "sky/sky_model.h"

namespace sky {

// False for other PGNs and for one the database could not decode.
bool addSkyPgn(const n2k::PgnDatabase& database, const n2k::DecodedPgn& decoded, SkyModel& sky);

}  // namespace sky
