#include "serial/simulator_ports.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace {

QString lockPathFor(const QString& linkPath) {
    return linkPath + QStringLiteral(".lock");
}

#ifndef Q_OS_WIN
// Removes a link and its lock file when nobody holds the lock. Removing them under
// the lock is safe: a simulator taking the name checks, once it holds the lock, that
// its file is still the one under the name.
void removeIfStale(const QString& linkPath) {
    const QByteArray lock = QFile::encodeName(lockPathFor(linkPath));
    const int fd = ::open(lock.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        if (errno == ENOENT) {
            QFile::remove(linkPath);
        }
        return;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        QFile::remove(linkPath);
        ::unlink(lock.constData());
    }
    ::close(fd);
}
#endif

}  // namespace

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
        if (!entry.isSymLink()) {
            continue;
        }
        if (simulatorLinkIsLive(entry.absoluteFilePath())) {
            ports.append(entry.absoluteFilePath());
#ifndef Q_OS_WIN
        } else {
            removeIfStale(entry.absoluteFilePath());
#endif
        }
    }
    return ports;
}

bool isPublishedSimulatorLink(const QString& path) {
    const QFileInfo info(path);
    return info.isSymLink() && QFileInfo(info.absolutePath()).canonicalFilePath() ==
                                   QFileInfo(simulatorPortDirectory()).canonicalFilePath();
}

bool simulatorLinkIsLive(const QString& linkPath) {
#ifdef Q_OS_WIN
    return QFileInfo(linkPath).exists();
#else
    const QByteArray lock = QFile::encodeName(lockPathFor(linkPath));
    const int fd = ::open(lock.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return false;
    }
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
#endif
}
