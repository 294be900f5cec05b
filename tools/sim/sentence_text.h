#pragma once

#include <string>
#include <string_view>

namespace sim {

// A line is a sentence when it begins with a sentence start character.
bool isSentence(std::string_view line);

// XOR of the characters between the start character and the '*' (or the end).
unsigned nmeaChecksum(std::string_view sentence);

// The sentence with a checksum that is certainly wrong: an existing "*hh" is replaced,
// a sentence without one gets one. Anything after "*hh" is kept.
std::string withWrongChecksum(std::string_view sentence);

// For a VDM or VDO sentence: how many fragments its message has and which one this is.
// False for every other line, and for fields that are not small positive numbers.
bool vdmFragment(std::string_view line, int& total, int& number);

}  // namespace sim
