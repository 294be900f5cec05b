// A log recording kept in a temporary file, so that hours of recording cost disk,
// not memory. The text arrives already decoded (Latin-1 bytes, LF line ends).
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

class QTemporaryFile;

class LogRecorder {
public:
    LogRecorder();
    ~LogRecorder();
    LogRecorder(const LogRecorder&) = delete;
    LogRecorder& operator=(const LogRecorder&) = delete;

    // Starts an empty recording, dropping any previous one. False when no
    // temporary file could be created.
    bool start();
    void append(const QByteArray& text);
    // Writes the recording to path in text mode (LF becomes the platform's line
    // end). False when the file cannot be written completely.
    bool writeTo(const QString& path) const;
    void discard();
    bool active() const { return file != nullptr; }
    qint64 size() const;

private:
    std::unique_ptr<QTemporaryFile> file;
};
