#include "serial/simulator_ports.h"

#include <QDir>
#include <QFileInfo>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

QString simulatorPortDirectory() {
    // A relative runtime directory is no runtime directory: the simulator ignores
    // it too, and both must agree on where the links are.
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (runtime.startsWith('/') && QFileInfo(QString::fromLocal8Bit(runtime)).isDir()) {
        return QString::fromLocal8Bit(runtime) + QStringLiteral("/tidewright");
    }
#ifdef Q_OS_WIN
    return QDir::tempPath() + QStringLiteral("/tidewright");
#else
    return QStringLiteral("/tmp/tidewright-%1").arg(::getuid());
#endif
}

QStringList publishedSimulatorPorts() {
    const QDir dir(simulatorPortDirectory());
    QStringList ports;
#ifndef Q_OS_WIN
    // Links are trusted only in a directory of our own that nobody else can write
    // to; otherwise anyone could point the port scan at one of our terminals.
    const QFileInfo info(dir.path());
    if (!info.isDir() || info.isSymLink() || info.ownerId() != ::getuid() ||
        (info.permissions() & (QFileDevice::WriteGroup | QFileDevice::WriteOther))) {
        return ports;
    }
#endif
    const QFileInfoList entries =
        dir.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& entry : entries) {
        // exists() follows the link, so a dangling one reports false.
        if (entry.isSymLink() && entry.exists()) {
            ports.append(entry.absoluteFilePath());
        }
    }
    return ports;
}
