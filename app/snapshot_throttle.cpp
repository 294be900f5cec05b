#include "app/snapshot_throttle.h"

#include <QDateTime>
#include <QFile>
#include <cstddef>
#include <cstring>

#include "nmea/sentence_fields.h"
#include "present/xml_snapshot.h"

SnapshotThrottle::SnapshotThrottle(QObject* parent) : QObject(parent) {}

SnapshotThrottle::~SnapshotThrottle() {
    // The last fix still reaches its file; the window that would show a failure is
    // already going away.
    blockSignals(true);
    flush();
}

void SnapshotThrottle::offer(int code, const void* record) {
    const QString fileName = present::snapshotFileName(code);
    const nmeaz::SentenceLayout* layout = nmeaz::layoutFor(code);
    if (fileName.isEmpty() || layout == nullptr) {
        return;
    }
    std::unique_ptr<File>& slot = files_[code];
    if (!slot) {
        slot = std::make_unique<File>();
        slot->timer.setSingleShot(true);
        File* file = slot.get();
        connect(&file->timer, &QTimer::timeout, this, [this, code, file] {
            if (!file->pending.empty()) {
                write(code, *file);
            }
        });
    }
    File& file = *slot;
    // The fix records hold numbers and characters only, nothing that points into the
    // sentence buffer, so a copy of the bytes keeps the fix until it is written.
    file.pending.resize((layout->recordSize + sizeof(std::max_align_t) - 1) /
                        sizeof(std::max_align_t));
    std::memcpy(file.pending.data(), record, layout->recordSize);
    // A reader that removed the file gets it back at once.
    if (!file.sinceWrite.isValid() || file.sinceWrite.elapsed() >= kIntervalMs ||
        !QFile::exists(fileName)) {
        write(code, file);
        return;
    }
    if (!file.timer.isActive()) {
        file.timer.start(static_cast<int>(kIntervalMs - file.sinceWrite.elapsed()));
    }
}

void SnapshotThrottle::write(int code, File& file) {
    // The record copy is aligned for any of the record types: QByteArray data is.
    const QString now = QDateTime::currentDateTime().toString(Qt::ISODate);
    // A file that cannot be written is skipped: the snapshot is refreshed by the next fix.
    QString error;
    present::writeSnapshotDocument(code, present::snapshotDocument(code, file.pending.data(), now),
                                   QString(), &error);
    file.sinceWrite.start();
    file.pending.clear();
    file.timer.stop();
    emit written(error);
}

void SnapshotThrottle::flush() {
    for (auto& [code, file] : files_) {
        if (!file->pending.empty()) {
            write(code, *file);
        }
    }
}
