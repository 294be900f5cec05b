// Adapters from the decoded AIS records to target reports, one per message type.
#pragma once

#include "targets/report.h"

namespace targets {

// Fills `report` from the record of AIS message `messageType` (the record type the
// decoder of that message fills). False for messages that describe no station (safety
// text, addressed traffic) or types without an adapter; `report` is then unspecified.
bool reportFromAis(int messageType, const void* record, bool ownShip, Report& report);

}  // namespace targets
