// One JSON object per target for the command-line decoder: the merged fields by
// their output names, "not available" as null, and the target's relation to own ship.
#pragma once

#include <string>

#include "targets/target_table.h"

namespace targets {

// Appends the object and a newline.
void appendTargetJson(std::string& out, const Target& target, const Relation& relation);

}  // namespace targets
