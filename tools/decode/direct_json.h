// The JSON lines written straight from the records, without building the result list
// and text as Qt strings first: the same bytes as appendJsonLine over resultList and
// resultText, at a fraction of the cost.
#pragma once

#include <string>
#include <string_view>

#include "present/parse_cycle.h"

namespace decode {

// Appends the line of the sentence the cycle is publishing; `key` is its current
// sentence name.
void appendDirectJsonLine(std::string& out, const present::DecodedSentence& decoded,
                          std::string_view key);

}  // namespace decode
