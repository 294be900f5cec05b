#pragma once

#include <string>

#include <sys/types.h>

namespace sim {

// Where running simulators publish their ports, so the monitor's port scan can offer
// them: <XDG_RUNTIME_DIR>/tidewright when that variable names a directory, otherwise
// /tmp/tidewright-<uid>. The monitor's port detection applies the same rule.
std::string publishDirectory(const char* xdgRuntimeDir, uid_t uid);

// Creates the directory (mode 0700) if needed and makes sure it is a real directory of
// ours that nobody else can write into: links in it point the monitor at devices to open.
bool preparePublishDirectory(const std::string& directory, std::string& error);

// Removes links named sim-<pid> whose simulator is no longer running (one killed with
// SIGKILL cannot clean up); a stale link could point at a terminal that has since been
// given to someone else.
void pruneStaleLinks(const std::string& directory);

// Creates directory/name -> target. A link of the same name is replaced only when it is
// stale (it dangles, or it is a sim-<pid> link of a dead process).
bool publishLink(const std::string& linkPath, const std::string& target, std::string& error);

// Removes the link if it still points at `target` (it may have been replaced since).
void unpublishLink(const std::string& linkPath, const std::string& target);

}  // namespace sim
