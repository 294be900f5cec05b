// What the kernel says of this process, and the line it listens on, for the memory
// benchmarks of the window.
#pragma once

#include <QByteArray>
#include <QFile>
#include <cstdio>

// A kilobyte field of /proc/self/status ("VmRSS:", "VmHWM:"), or -1.
inline qint64 statusKilobytes(const char* field) {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field)) {
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLongLong();
        }
    }
    return -1;
}

#include <pty.h>
#include <termios.h>

// A pseudo-terminal in raw mode, as the monitor's port sees a talker: false (after
// saying why) when none can be had.
inline bool openRawPty(int& master, int& slave, char (&slaveName)[256]) {
    if (::openpty(&master, &slave, slaveName, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return false;
    }
    termios raw{};
    ::tcgetattr(slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave, TCSANOW, &raw);
    return true;
}
