#include "publish.h"

#include <cerrno>
#include <cstring>
#include <string_view>

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sim {

namespace {

// The pid of a sim-<pid> name, or 0 for any other name.
pid_t pidOfLinkName(std::string_view name) {
    constexpr std::string_view kPrefix = "sim-";
    if (!name.starts_with(kPrefix) || name.size() == kPrefix.size() || name.size() > 14) {
        return 0;
    }
    long pid = 0;
    for (char c : name.substr(kPrefix.size())) {
        if (c < '0' || c > '9') {
            return 0;
        }
        pid = pid * 10 + (c - '0');
    }
    return static_cast<pid_t>(pid);
}

bool processGone(pid_t pid) {
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

bool isStale(const std::string& linkPath, std::string_view name) {
    struct stat target {};
    if (::stat(linkPath.c_str(), &target) != 0 && errno == ENOENT) {
        return true;  // dangling
    }
    pid_t pid = pidOfLinkName(name);
    return pid > 0 && processGone(pid);
}

std::string_view baseName(std::string_view path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
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

void pruneStaleLinks(const std::string& directory) {
    DIR* dir = ::opendir(directory.c_str());
    if (dir == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        std::string_view name = entry->d_name;
        pid_t pid = pidOfLinkName(name);
        if (pid <= 0 || !processGone(pid)) {
            continue;
        }
        std::string path = directory + "/" + std::string(name);
        struct stat info {};
        if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
            ::unlink(path.c_str());
        }
    }
    ::closedir(dir);
}

bool publishLink(const std::string& linkPath, const std::string& target, std::string& error) {
    if (::symlink(target.c_str(), linkPath.c_str()) == 0) {
        return true;
    }
    if (errno == EEXIST) {
        struct stat info {};
        if (::lstat(linkPath.c_str(), &info) == 0 && S_ISLNK(info.st_mode) &&
            isStale(linkPath, baseName(linkPath))) {
            ::unlink(linkPath.c_str());
            if (::symlink(target.c_str(), linkPath.c_str()) == 0) {
                return true;
            }
        } else {
            error = "'" + linkPath + "' already exists and is in use (choose another --name)";
            return false;
        }
    }
    error = "cannot publish '" + linkPath + "': " + std::strerror(errno);
    return false;
}

void unpublishLink(const std::string& linkPath, const std::string& target) {
    char buffer[4096];
    ssize_t n = ::readlink(linkPath.c_str(), buffer, sizeof buffer - 1);
    if (n >= 0 && std::string_view(buffer, static_cast<std::size_t>(n)) == target) {
        ::unlink(linkPath.c_str());
    }
}

}  // namespace sim
