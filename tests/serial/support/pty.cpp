#include "pty.h"

#include <errno.h>
#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include <QTest>

TestPty::TestPty() {
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        master = slave = -1;
        return;
    }
    termios raw{};
    ::tcgetattr(slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave, TCSANOW, &raw);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    path = QString::fromLocal8Bit(name);
}

TestPty::~TestPty() {
    if (master >= 0) {
        ::close(master);
    }
    if (slave >= 0) {
        ::close(slave);
    }
}

bool TestPty::send(const QByteArray& bytes) {
    qsizetype done = 0;
    int idleRounds = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::write(master, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n > 0) {
            done += n;
            idleRounds = 0;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        }
        // Nobody drained the line for a long while: give up instead of hanging.
        if (++idleRounds > 20000) {
            return false;
        }
        QTest::qWait(1);
    }
    return true;
}

speed_t TestPty::inputSpeed() const {
    termios settings{};
    ::tcgetattr(master, &settings);
    return ::cfgetispeed(&settings);
}

speed_t TestPty::outputSpeed() const {
    termios settings{};
    ::tcgetattr(master, &settings);
    return ::cfgetospeed(&settings);
}
