// Keeps the XML snapshots current without rewriting them for every sentence: a file is
// written at once when it is missing or was last written a while ago; otherwise the
// latest document waits, and is written when that while is over. Every snapshot
// file still holds the latest fix within kIntervalMs, and replacing a file costs the
// file system far more than anything else the window does per sentence.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <cstddef>
#include <map>
#include <memory>
#include <vector>

class SnapshotThrottle : public QObject {
    Q_OBJECT

public:
    static constexpr int kIntervalMs = 1000;

    explicit SnapshotThrottle(QObject* parent = nullptr);
    ~SnapshotThrottle() override;

    // The record a GGA, RMC or GLL sentence has just filled.
    void offer(int code, const void* record);
    // Writes every waiting document.
    void flush();

signals:
    // After every write: an empty error when it succeeded, else the path and reason.
    void written(const QString& error);

private:
    struct File {
        QElapsedTimer sinceWrite;
        // A copy of the latest record, not yet written.
        std::vector<std::max_align_t> pending;
        QTimer timer;
    };
    void write(int code, File& file);

    std::map<int, std::unique_ptr<File>> files_;
};
