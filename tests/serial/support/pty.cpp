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
    ::close(master);
    ::close(slave);
}

bool TestPty::send(const QByteArray& bytes) {
    for (qsizetype done = 0, idle = 0; done < bytes.size();) {
        const ssize_t n = ::write(master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
            idle = 0;
        } else if ((n < 0 && errno != EAGAIN && errno != EINTR) || ++idle > 20000) {
            return false;  // broken, or nobody drained the line for 20 s
        } else {
            QTest::qWait(1);
        }
    }
    return true;
}

QByteArray TestPty::receive() {
    QByteArray bytes;
    char buffer[4096];
    for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;) {
        bytes.append(buffer, n);
    }
    return bytes;
}
