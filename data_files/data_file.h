// Where a program finds a data file that ships with it: right beside the executable
// when run from the build tree, else in its installed data directory, reached from the
// executable's own folder through `dataFromBinDir` (for example "../share/tidewright"),
// so a package unpacked under any root still finds it. Plain C++.
#pragma once

#include <string>
#include <string_view>

namespace datafiles {

// The file beside the executable when it exists; else the installed location, which
// is where it belongs (so a message about a missing file names a plain path).
std::string dataFilePath(std::string_view executablePath, std::string_view dataFromBinDir,
                         std::string_view fileName);

// The path of the running executable; empty when the system does not say.
std::string runningExecutable();

}  // namespace datafiles
