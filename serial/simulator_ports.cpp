#include "serial/simulator_ports.h"

#include <QDir>
#include <QFileInfo>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

QString simulatorPortDirectory() {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(QString::fromLocal8Bit(runtime)).isDir()) {
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
