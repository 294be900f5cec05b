// Adapters from decoded NMEA 2000 PGNs to target reports and own-ship fixes: the AIS
// PGNs become the same Reports as the AIS sentences, so both merge into one table.
// Values are read by the database's field Ids from the decoder's record.
#pragma once

#include <cstdint>

#include "n2k/message.h"
#include "n2k/pgn_decoder.h"
#include "targets/report.h"
#include "targets/target_table.h"

namespace targets {

// Whether the PGN is one of the AIS PGNs reportFromPgn reads.
bool isAisPgn(std::uint32_t pgn);

// Fills `report` from an AIS PGN (129038, 129039, 129040, 129041, 129793, 129794,
// 129798, 129809, 129810). False for other PGNs, an undecoded one or one without an
// MMSI; `report` is then unspecified.
bool reportFromPgn(const n2k::PgnDatabase& database, const n2k::Message& message,
                   const n2k::DecodedPgn& decoded, Report& report);

// Own ship's position (129025, 129029) or motion (129026, true course) into the
// table. False when the PGN is none of these or carries no valid values. The caller
// decides whether the NMEA 2000 fix is wanted (the monitor and the decoder take it
// only while no NMEA 0183 fix is heard).
bool applyPgnFix(const n2k::PgnDatabase& database, const n2k::DecodedPgn& decoded,
                 TargetTable& table, std::int64_t nowMs);

}  // namespace targets
