#include "log_lines.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sim {

std::vector<std::string> splitLogLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    auto take = [&](std::size_t end) {
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.front() != '#') {
            lines.emplace_back(line);
        }
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || text[i] == '\r') {
            take(i);
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            start = i + 1;
        }
    }
    if (start < text.size()) {
        take(text.size());
    }
    return lines;
}

bool loadLog(const std::string& path, std::vector<std::string>& lines, std::string& error) {
    auto fail = [&](const char* why) {
        error = "cannot read log '" + path + "': " + why;
        return false;
    };
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return fail(std::strerror(errno));
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return fail("not a regular file");
    }
    std::string content;
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            int saved = errno;
            ::close(fd);
            return fail(std::strerror(saved));
        }
        if (n == 0) {
            break;
        }
        content.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    lines = splitLogLines(content);
    if (lines.empty()) {
        error = "log '" + path + "' holds no sentence to send";
        return false;
    }
    return true;
}

}  // namespace sim
