// The TAG block an output may put in front of every line: the receive time and,
// when named, the source ("\c:1733540400,s:mast*hh\$GPGGA,..."). A line that already
// starts with a block keeps its own.
#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace outputs {

// Appends the line to out, preceded by a block for unixMs and source (may be empty).
void appendTagged(QByteArray& out, QByteArrayView line, qint64 unixMs, QByteArrayView source);

}  // namespace outputs
