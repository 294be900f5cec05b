// The XML snapshots gga.xml, rmc.xml and gll.xml: the latest fix of each type with the
// local time it was written at, for other programs to pick up.
#pragma once

#include <QByteArray>
#include <QString>

namespace present {

// The snapshot file name of a parse code ("gga.xml" for GGA), empty for codes that
// have no snapshot.
QString snapshotFileName(int code);

// The whole document for the record a GGA, RMC or GLL sentence has just filled.
// currentTime is written as given. Empty for any other code.
QByteArray snapshotDocument(int code, const void* record, const QString& currentTime);

// Writes the snapshot of the record into directory (the current directory when
// empty), replacing the old file at once: readers see the old or the new document,
// never a part. The file is not forced to disk; a snapshot is a view of live data.
// False when nothing was written (other code, or the file could not be written); for
// a file that could not be written, `error` (when given) names it and says why.
bool saveSnapshot(int code, const void* record, const QString& directory = QString(),
                  QString* error = nullptr);

// Writes a document made by snapshotDocument for `code` the way saveSnapshot does.
bool writeSnapshotDocument(int code, const QByteArray& document,
                           const QString& directory = QString(), QString* error = nullptr);

}  // namespace present
