// What the kernel says of this process, for the memory benchmarks of the window.
#pragma once

#include <QByteArray>
#include <QFile>

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
