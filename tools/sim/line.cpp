#include "line.h"

#include <cerrno>
#include <cstring>
#include <ctime>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

namespace {

constexpr int kStuckMilliseconds = 1000;
constexpr double kStaleSeconds = 2.0;
// The terminal's input queue holds about 4 KB; beyond that data waits where TIOCINQ does
// not see it, so a queue this full is as telling as one that did not move.
constexpr int kFullQueue = 3072;

struct SpeedCode {
    int baud;
    speed_t code;
};
constexpr SpeedCode kSpeedCodes[] = {{4800, B4800},   {9600, B9600},   {19200, B19200},
                                     {38400, B38400}, {57600, B57600}, {115200, B115200}};

speed_t speedCode(int baud) {
    for (const SpeedCode& entry : kSpeedCodes) {
        if (entry.baud == baud) {
            return entry.code;
        }
    }
    return B4800;
}

bool makeRaw(int fd, int baud, std::string& error) {
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0) {
        error = std::strerror(errno);
        return false;
    }
    ::cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    settings.c_cflag &= ~(CSTOPB | PARENB | CRTSCTS);
    speed_t speed = speedCode(baud);
    if (::cfsetispeed(&settings, speed) != 0 || ::cfsetospeed(&settings, speed) != 0 ||
        ::tcsetattr(fd, TCSANOW, &settings) != 0) {
        error = std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace

int Line::listenerBaud() const {
    termios settings{};
    if (slaveFd_ < 0 || ::tcgetattr(slaveFd_, &settings) != 0) {
        return 0;
    }
    const speed_t code = ::cfgetispeed(&settings);
    for (const SpeedCode& entry : kSpeedCodes) {
        if (entry.code == code) {
            return entry.baud;
        }
    }
    return 0;
}

double monotonicSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

Line::Line(int writeFd, int slaveFd, std::string devicePath)
    : writeFd_(writeFd),
      slaveFd_(slaveFd),
      devicePath_(std::move(devicePath)),
      lastCheck_(monotonicSeconds()) {}

Line::~Line() {
    if (slaveFd_ >= 0) {
        ::close(slaveFd_);
    }
    if (writeFd_ >= 0) {
        ::close(writeFd_);
    }
}

std::unique_ptr<Line> Line::openPseudoTerminal(int baud, std::string& error) {
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
        error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        return nullptr;
    }
    // The slave stays open here too: without any opener a pty master's writes fail,
    // and the simulator must be able to talk before the monitor opens the port.
    const char* name = ::ttyname(slave);
    std::string reason;
    if (name == nullptr || !makeRaw(slave, baud, reason) ||
        ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK) != 0) {
        error = "cannot set up the pseudo-terminal: " +
                (reason.empty() ? std::string(std::strerror(errno)) : reason);
        ::close(master);
        ::close(slave);
        return nullptr;
    }
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    return std::unique_ptr<Line>(new Line(master, slave, name));
}

std::unique_ptr<Line> Line::openDevice(const std::string& path, int baud, std::string& error) {
    int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot open device '" + path + "': " + std::strerror(errno);
        return nullptr;
    }
    if (!::isatty(fd)) {
        error = "'" + path + "' is not a serial device";
        ::close(fd);
        return nullptr;
    }
    std::string reason;
    if (!makeRaw(fd, baud, reason)) {
        error = "cannot set up device '" + path + "': " + reason;
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<Line>(new Line(fd, -1, path));
}

void Line::discardUnread() {
    // A serial device sends whether anyone listens (there is no flow control), so it
    // only blocks while its UART drains; only a pseudo-terminal can hold unread data.
    if (slaveFd_ >= 0) {
        ::tcflush(slaveFd_, TCIFLUSH);
    }
}

bool Line::write(std::string_view bytes, const volatile std::sig_atomic_t& stop,
                 std::string& error) {
    while (!bytes.empty() && !stop) {
        ssize_t n = ::write(writeFd_, bytes.data(), bytes.size());
        if (n > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(n));
            writtenSinceCheck_ += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN) {
            error = "writing to '" + devicePath_ + "' failed: " + std::strerror(errno);
            return false;
        }
        pollfd waiting{writeFd_, POLLOUT, 0};
        int ready = ::poll(&waiting, 1, kStuckMilliseconds);
        if (ready == 0) {
            discardUnread();
        }
    }
    return true;
}

void Line::dropStaleBacklog() {
    if (slaveFd_ < 0) {
        return;
    }
    double now = monotonicSeconds();
    if (now - lastCheck_ < kStaleSeconds) {
        return;
    }
    int pending = 0;
    if (::ioctl(slaveFd_, TIOCINQ, &pending) != 0) {
        return;
    }
    // Nothing was consumed since the last look when everything written since then is
    // still waiting on top of what waited before.
    long consumed = static_cast<long>(pendingAtCheck_) + static_cast<long>(writtenSinceCheck_) -
                    static_cast<long>(pending);
    if (pending > 0 && (consumed <= 0 || pending >= kFullQueue)) {
        discardUnread();
        pending = 0;
    }
    pendingAtCheck_ = pending;
    writtenSinceCheck_ = 0;
    lastCheck_ = now;
}

}  // namespace sim
