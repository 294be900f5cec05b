// --version and --help of the monitor, answered before any window exists, so both work
// without a display (and the manual page can be made from --help at build time).
#pragma once

#include <cstdio>
#include <optional>

// The exit status when argv asks for the version or the help (written to `out`);
// nothing when the monitor should start.
std::optional<int> answerInformationOptions(int argc, const char* const* argv, std::FILE* out);
