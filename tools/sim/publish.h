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

// A link is live only while the simulator that published it holds an exclusive lock on
// the lock file beside it (<link>.lock) for its whole life. A simulator killed outright
// leaves its link behind, but the system releases its lock, and the pseudo-terminal the
// link names may since have been given to someone else's program.
std::string lockPathFor(const std::string& linkPath);
bool linkIsLive(const std::string& linkPath);

// Removes every link in the directory without a held lock, and lock files nobody holds.
void pruneStaleLinks(const std::string& directory);

// Takes the name and creates directory/name -> target. The name's lock is taken first;
// a link left under it by a dead simulator is then replaced. On success lockFd holds
// the lock, to be kept open until unpublishLink.
bool publishLink(const std::string& linkPath, const std::string& target, int& lockFd,
                 std::string& error);

// Removes the link if it still points at `target` (it may have been replaced since),
// then the lock file, and releases the lock.
void unpublishLink(const std::string& linkPath, const std::string& target, int lockFd);

}  // namespace sim
