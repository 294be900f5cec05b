#include "app/log_recorder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDevice>
#include <QSaveFile>
#include <QTemporaryFile>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("LogRecorder", text);
}

std::unique_ptr<QIODevice> temporaryStorage(QString& error) {
    const QString pattern = QDir::tempPath() + QStringLiteral("/tidewright-log-XXXXXX");
    auto file = std::make_unique<QTemporaryFile>(pattern);
    if (!file->open()) {
        error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(QDir::tempPath()),
                                             file->errorString());
        return nullptr;
    }
    return file;
}

// Buffered devices may accept a write and fail only when flushing it.
bool flushed(QIODevice& device) {
    auto* file = qobject_cast<QFileDevice*>(&device);
    return file == nullptr || file->flush();
}

// What a file really holds, without trying to write out its buffer once more (a full
// disk would fail again). Other devices hold what they accepted.
qint64 bytesOnDisk(QIODevice& device, qint64 accepted) {
#ifdef Q_OS_UNIX
    auto* file = qobject_cast<QFileDevice*>(&device);
    struct stat info {};
    if (file != nullptr && file->handle() >= 0 && ::fstat(file->handle(), &info) == 0) {
        return info.st_size;
    }
#else
    (void)device;
#endif
    return accepted;
}

}  // namespace

LogRecorder::LogRecorder() : factory_(temporaryStorage) {}
LogRecorder::~LogRecorder() = default;

void LogRecorder::setStorageFactory(StorageFactory factory) {
    factory_ = factory ? std::move(factory) : StorageFactory(temporaryStorage);
}

bool LogRecorder::start(QString& error) {
    discard();
    error.clear();
    storage_ = factory_(error);
    if (!storage_ && error.isEmpty()) {
        error = tr("no storage for the recording");
    }
    return storage_ != nullptr;
}

bool LogRecorder::append(const QByteArray& text) {
    if (!storage_ || text.isEmpty()) {
        return true;
    }
    if (failed()) {
        return false;
    }
    const qint64 written = storage_->write(text);
    if (written > 0) {
        stored_ += written;
    }
    if (written == text.size() && flushed(*storage_)) {
        return true;
    }
    // A file may have taken the text into its buffer and failed to write it out: only
    // what reached the file counts.
    stored_ = qMin(stored_, bytesOnDisk(*storage_, stored_));
    failure_ = storage_->errorString();
    if (failure_.isEmpty() || failure_ == QLatin1String("Unknown error")) {
        failure_ = tr("the storage took only part of the data");
    }
    return false;
}

bool LogRecorder::writeTo(const QString& path, QString& error) {
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Text)) {
        error = tr("Cannot write %1: %2").arg(path, out.errorString());
        return false;
    }
    if (storage_) {
        flushed(*storage_);
        const qint64 end = storage_->pos();
        bool readOk = storage_->seek(0);
        bool writeOk = true;
        for (qint64 done = 0; readOk && writeOk && done < stored_;) {
            const QByteArray block = storage_->read(qMin<qint64>(64 * 1024, stored_ - done));
            readOk = !block.isEmpty();
            writeOk = readOk && out.write(block) == block.size();
            done += block.size();
        }
        if (!readOk) {
            error = tr("Cannot read the recording: %1").arg(storage_->errorString());
        } else if (!writeOk) {
            error = tr("Cannot write %1: %2").arg(path, out.errorString());
        }
        storage_->seek(end);
        if (!readOk || !writeOk) {
            out.cancelWriting();
            return false;
        }
    }
    if (!out.commit()) {
        error = tr("Cannot write %1: %2").arg(path, out.errorString());
        return false;
    }
    return true;
}

void LogRecorder::discard() {
    storage_.reset();
    stored_ = 0;
    failure_.clear();
}
