#include "app/log_recorder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

LogRecorder::LogRecorder() = default;
LogRecorder::~LogRecorder() = default;

bool LogRecorder::start() {
    auto fresh = std::make_unique<QTemporaryFile>(QDir::tempPath() +
                                                  QStringLiteral("/tidewright-log-XXXXXX"));
    if (!fresh->open()) {
        file.reset();
        return false;
    }
    file = std::move(fresh);
    return true;
}

void LogRecorder::append(const QByteArray& text) {
    if (file && !text.isEmpty()) {
        file->write(text);
    }
}

bool LogRecorder::writeTo(const QString& path) const {
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        return false;
    }
    if (!file) {
        return out.error() == QFileDevice::NoError;
    }
    file->flush();
    const qint64 end = file->pos();
    bool ok = file->seek(0);
    QByteArray block;
    while (ok && file->pos() < end) {
        block = file->read(qMin<qint64>(64 * 1024, end - file->pos()));
        ok = !block.isEmpty() && out.write(block) == block.size();
    }
    ok = file->seek(end) && ok;
    out.close();
    return ok && out.error() == QFileDevice::NoError;
}

void LogRecorder::discard() {
    file.reset();
}

qint64 LogRecorder::size() const {
    return file ? file->size() : 0;
}
