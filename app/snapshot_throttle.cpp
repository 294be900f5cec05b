#include "app/snapshot_throttle.h"

#include <QDateTime>
#include <QFile>

#include "present/xml_snapshot.h"

SnapshotThrottle::SnapshotThrottle(QObject* parent) : QObject(parent) {}

SnapshotThrottle::~SnapshotThrottle() {
    flush();
}

void SnapshotThrottle::offer(int code, const void* record) {
    const QString fileName = present::snapshotFileName(code);
    if (fileName.isEmpty()) {
        return;
    }
    const QString now = QDateTime::currentDateTime().toString(Qt::ISODate);
    const QByteArray document = present::snapshotDocument(code, record, now);
    std::unique_ptr<File>& slot = files_[code];
    if (!slot) {
        slot = std::make_unique<File>();
        slot->timer.setSingleShot(true);
        File* file = slot.get();
        connect(&file->timer, &QTimer::timeout, this, [this, code, file] {
            if (!file->pending.isEmpty()) {
                write(code, *file, file->pending);
            }
        });
    }
    File& file = *slot;
    // A reader that removed the file gets it back at once.
    if (!file.sinceWrite.isValid() || file.sinceWrite.elapsed() >= kIntervalMs ||
        !QFile::exists(fileName)) {
        write(code, file, document);
        return;
    }
    file.pending = document;
    if (!file.timer.isActive()) {
        file.timer.start(static_cast<int>(kIntervalMs - file.sinceWrite.elapsed()));
    }
}

void SnapshotThrottle::write(int code, File& file, const QByteArray& document) {
    // A file that cannot be written is skipped: the snapshot is refreshed by the next fix.
    present::writeSnapshotDocument(code, document);
    file.sinceWrite.start();
    file.pending.clear();
    file.timer.stop();
}

void SnapshotThrottle::flush() {
    for (auto& [code, file] : files_) {
        if (!file->pending.isEmpty()) {
            write(code, *file, file->pending);
        }
    }
}
