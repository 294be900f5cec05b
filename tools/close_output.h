// Standard output is buffered: a write that fails (a full disk, a closed pipe) may
// only show when the buffer is flushed at exit, after the program has decided it
// succeeded. Both companion programs close standard output themselves and turn a
// failure there into a message and a failing exit status.
#pragma once

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace tools {

// Flushes and closes standard output. False, after a message naming the program and
// the system's reason on standard error, when any write to it failed. A program that
// flushed earlier passes the reason that flush failed with, if any.
inline bool closeStandardOutput(const char* program, int earlierReason = 0) {
    const bool earlierFailure = std::ferror(stdout) != 0;
    errno = 0;
    const bool closed = std::fclose(stdout) == 0;
    if (closed && !earlierFailure) {
        return true;
    }
    const int reason = earlierReason != 0 ? earlierReason : errno;
    if (reason == EPIPE) {
        return true;  // the reader chose to stop reading; nothing of ours failed
    }
    if (reason != 0) {
        std::fprintf(stderr, "%s: write error on standard output: %s\n", program,
                     std::strerror(reason));
    } else {
        std::fprintf(stderr, "%s: write error on standard output\n", program);
    }
    return false;
}

}  // namespace tools
