#pragma once

#include <string>
#include <string_view>

namespace sim {

// The log replayed when none is named. A simulator run from the build tree has it right
// beside the executable; an installed one keeps it in its data directory, reached from
// the executable's own folder through `dataFromBinDir` (for example
// "../share/tidewright"), so a package unpacked under any root still finds it. When
// neither file exists the installed location is returned, which is where it belongs.
std::string defaultLogPath(std::string_view executablePath, std::string_view dataFromBinDir);

// The same for this running executable, with the data directory chosen at build time.
std::string defaultLogPath();
// The NMEA 2000 demo log (default.n2k), found the same way.
std::string defaultN2kLogPath();

}  // namespace sim
