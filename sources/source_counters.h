// What a source lost before its bytes reached us, as the system or the driver
// counted it, and how often it had to be reopened. Kept apart from the line
// counters: these losses happen below the byte stream and leave no trace in it.
#pragma once

#include <QJsonObject>
#include <QStringList>
#include <QtGlobal>

namespace sources {

struct SourceCounters {
    quint64 datagrams = 0;  // UDP datagrams read
    // Datagrams the system threw away because the socket's receive buffer was full.
    quint64 systemDropped = 0;
    // Characters a serial driver lost: the UART or its buffer overran, or a character
    // arrived with a bad stop bit. Zero where the driver does not report them.
    quint64 serialOverruns = 0;
    quint64 serialFramingErrors = 0;
    // Times the source was reopened because it had data waiting but delivered nothing.
    quint64 reopened = 0;
    // The system reports its drops for this source (a UDP socket on Linux); where it
    // does not, no count is shown rather than a zero that means nothing.
    bool systemDropsCounted = false;

    quint64 losses() const { return systemDropped + serialOverruns + serialFramingErrors; }
    bool operator==(const SourceCounters&) const = default;
};

// The differences since `base`: what happened after a reset of the view.
SourceCounters since(const SourceCounters& now, const SourceCounters& base);
// One line per kind of loss that occurred, for the line errors' breakdown.
QStringList lossLines(const SourceCounters& counters);
// For a `--stats` line: every counter under a stable name.
QJsonObject toJson(const SourceCounters& counters);

}  // namespace sources
