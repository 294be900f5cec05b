#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sim {

// Splits a log into the lines a talker would send, without their line ends. A line ends
// at LF, CR or CR LF, so logs saved on any system replay alike. Empty lines and lines
// starting with '#' (comments that capture tools put into logs) are not talker output
// and are left out.
std::vector<std::string> splitLogLines(std::string_view text);

// Reads the whole log. False, with a message in `error`, when it cannot be read or holds
// no line to send (replaying an empty log would spin without ever talking).
bool loadLog(const std::string& path, std::vector<std::string>& lines, std::string& error);

}  // namespace sim
