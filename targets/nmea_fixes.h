// Own ship from the navigation receiver: position from GGA and RMC, motion from RMC
// and VTG.
#pragma once

#include <cstdint>

#include "targets/target_table.h"

namespace targets {

// `code` and `record` as the sentence parsers produce them; other sentences, fixes
// flagged invalid and empty positions are ignored.
void applyNavigationFix(int code, const void* record, TargetTable& table, std::int64_t nowMs);

}  // namespace targets
