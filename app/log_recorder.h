// A log recording kept in a storage device (a temporary file by default), so that
// hours of recording cost disk, not memory. The text arrives already decoded
// (Latin-1 bytes, LF line ends).
//
// A recording never fails quietly: a storage that cannot be created stops Record
// before it starts, a write that fails (a full disk) is reported at once and keeps
// what was stored until then, and saving names the step that failed.
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <functional>
#include <memory>

class LogRecorder {
public:
    // Creates the storage of a new recording, open for reading and writing and empty;
    // null with the system's reason in `error` when it cannot.
    using StorageFactory = std::function<std::unique_ptr<QIODevice>(QString& error)>;

    LogRecorder();
    ~LogRecorder();
    LogRecorder(const LogRecorder&) = delete;
    LogRecorder& operator=(const LogRecorder&) = delete;

    // A temporary file in the system's temporary directory, unless replaced here.
    void setStorageFactory(StorageFactory factory);

    // Starts an empty recording, dropping any previous one. False, with the reason
    // in `error`, when no storage could be created.
    bool start(QString& error);
    // Stores the text. False when it could not be stored completely; failure() then
    // says why. Everything stored before stays; after a failure nothing more is
    // stored, so the recording never has a hole in the middle.
    bool append(const QByteArray& text);
    bool failed() const { return !failure_.isEmpty(); }
    QString failure() const { return failure_; }

    // Writes the recording to path in text mode (LF becomes the platform's line end)
    // through a temporary file beside it, renamed over path only when complete: path
    // is never left holding part of a recording. False, with the step that failed
    // (reading the recording or writing path) and the reason in `error`.
    bool writeTo(const QString& path, QString& error);
    void discard();
    bool active() const { return storage_ != nullptr; }
    qint64 size() const { return stored_; }

private:
    StorageFactory factory_;
    std::unique_ptr<QIODevice> storage_;
    qint64 stored_ = 0;  // bytes the storage accepted
    QString failure_;
};
