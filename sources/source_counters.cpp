#include "sources/source_counters.h"

#include <QCoreApplication>

namespace sources {

namespace {

quint64 minus(quint64 now, quint64 base) {
    return now >= base ? now - base : now;  // a counter that started again
}

}  // namespace

SourceCounters since(const SourceCounters& now, const SourceCounters& base) {
    return {minus(now.datagrams, base.datagrams),
            minus(now.systemDropped, base.systemDropped),
            minus(now.serialOverruns, base.serialOverruns),
            minus(now.serialFramingErrors, base.serialFramingErrors),
            minus(now.reopened, base.reopened),
            now.systemDropsCounted};
}

QStringList lossLines(const SourceCounters& c) {
    const auto tr = [](const char* text) {
        return QCoreApplication::translate("sources::SourceCounters", text);
    };
    QStringList lines;
    // Where the system counts, it is always said, so that none means none.
    if (c.systemDropsCounted || c.systemDropped > 0) {
        lines << tr("Datagrams dropped by the system: %1").arg(c.systemDropped);
    }
    if (c.serialOverruns > 0) {
        lines << tr("Serial overruns: %1").arg(c.serialOverruns);
    }
    if (c.serialFramingErrors > 0) {
        lines << tr("Serial framing errors: %1").arg(c.serialFramingErrors);
    }
    if (c.reopened > 0) {
        lines << tr("Source reopened: %1").arg(c.reopened);
    }
    return lines;
}

QJsonObject toJson(const SourceCounters& c) {
    // JSON numbers are doubles: exact up to 2^53, far beyond any real count.
    return QJsonObject{
        {QStringLiteral("datagrams"), double(c.datagrams)},
        {QStringLiteral("datagrams_dropped_by_system"), double(c.systemDropped)},
        {QStringLiteral("serial_overruns"), double(c.serialOverruns)},
        {QStringLiteral("serial_framing_errors"), double(c.serialFramingErrors)},
        {QStringLiteral("source_reopened"), double(c.reopened)},
    };
}

}  // namespace sources
