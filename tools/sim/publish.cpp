#include "publish.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <string_view>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sim {

namespace {

constexpr std::string_view kLockSuffix = ".lock";

bool isSymlink(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

// Takes the lock of a name nobody holds and removes what was left under the name.
// False when the lock is held (the name is live) or the lock file is missing.
bool removeIfUnheld(const std::string& linkPath) {
    const std::string lockPath = lockPathFor(linkPath);
    int fd = ::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        if (errno == ENOENT && isSymlink(linkPath)) {
            ::unlink(linkPath.c_str());  // a link without a lock file is never live
            return true;
        }
        return false;
    }
    const bool unheld = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (unheld) {
        // Removed while locked: a simulator that opened the old file meanwhile finds,
        // once it has the lock, that the file is no longer the one under the name.
        if (isSymlink(linkPath)) {
            ::unlink(linkPath.c_str());
        }
        ::unlink(lockPath.c_str());
    }
    ::close(fd);
    return unheld;
}

// Locks the name's lock file; -1 when another process holds it. A monitor checking
// the name holds the lock for an instant, so a busy lock is tried again briefly.
int lockName(const std::string& linkPath, std::string& error) {
    const std::string lockPath = lockPathFor(linkPath);
    for (int attempt = 0; attempt < 50; ++attempt) {
        int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) {
            error = "cannot create '" + lockPath + "': " + std::strerror(errno);
            return -1;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            struct stat held {};
            struct stat named {};
            if (::fstat(fd, &held) == 0 && ::stat(lockPath.c_str(), &named) == 0 &&
                held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
                return fd;
            }
            ::close(fd);  // removed by a prune after we opened it: take the new one
            continue;
        }
        ::close(fd);
        timespec pause{0, 10'000'000};
        ::nanosleep(&pause, nullptr);
    }
    error = "'" + linkPath + "' is in use by a running simulator (choose another --name)";
    return -1;
}

}  // namespace

std::string publishDirectory(const char* xdgRuntimeDir, uid_t uid) {
    struct stat info {};
    if (xdgRuntimeDir != nullptr && xdgRuntimeDir[0] == '/' && ::stat(xdgRuntimeDir, &info) == 0 &&
        S_ISDIR(info.st_mode)) {
        return std::string(xdgRuntimeDir) + "/tidewright";
    }
    return "/tmp/tidewright-" + std::to_string(uid);
}

bool preparePublishDirectory(const std::string& directory, std::string& error) {
    if (::mkdir(directory.c_str(), 0700) != 0 && errno != EEXIST) {
        error = "cannot create '" + directory + "': " + std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (::lstat(directory.c_str(), &info) != 0) {
        error = "cannot inspect '" + directory + "': " + std::strerror(errno);
        return false;
    }
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::geteuid() || (info.st_mode & 0077) != 0) {
        error = "'" + directory +
                "' is not a private directory of this user (expected mode 0700); "
                "not publishing into it";
        return false;
    }
    return true;
}

std::string lockPathFor(const std::string& linkPath) {
    return linkPath + std::string(kLockSuffix);
}

bool linkIsLive(const std::string& linkPath) {
    int fd = ::open(lockPathFor(linkPath).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return false;
    }
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

void pruneStaleLinks(const std::string& directory) {
    DIR* dir = ::opendir(directory.c_str());
    if (dir == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        std::string_view name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        std::string path = directory + "/" + std::string(name);
        if (name.ends_with(kLockSuffix)) {
            path.resize(path.size() - kLockSuffix.size());
        } else if (!isSymlink(path)) {
            continue;
        }
        removeIfUnheld(path);
    }
    ::closedir(dir);
}

bool publishLink(const std::string& linkPath, const std::string& target, int& lockFd,
                 std::string& error) {
    lockFd = lockName(linkPath, error);
    if (lockFd < 0) {
        return false;
    }
    // With the lock ours, whatever link has this name was left by a dead simulator.
    if (isSymlink(linkPath)) {
        ::unlink(linkPath.c_str());
    }
    if (::symlink(target.c_str(), linkPath.c_str()) == 0) {
        return true;
    }
    error = errno == EEXIST ? "'" + linkPath + "' already exists and is not a link"
                            : "cannot publish '" + linkPath + "': " + std::strerror(errno);
    ::unlink(lockPathFor(linkPath).c_str());
    ::close(lockFd);
    lockFd = -1;
    return false;
}

void unpublishLink(const std::string& linkPath, const std::string& target, int lockFd) {
    char buffer[4096];
    ssize_t n = ::readlink(linkPath.c_str(), buffer, sizeof buffer - 1);
    if (n >= 0 && std::string_view(buffer, static_cast<std::size_t>(n)) == target) {
        ::unlink(linkPath.c_str());
    }
    if (lockFd >= 0) {
        ::unlink(lockPathFor(linkPath).c_str());
        ::close(lockFd);
    }
}

}  // namespace sim
