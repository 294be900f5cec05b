#include "app/line_health.h"

#include <QElapsedTimer>
#include <algorithm>
#include <memory>

LineHealth::LineHealth(QObject* parent) : QObject(parent) {
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    clock_ = [started] { return started->elapsed(); };
}

void LineHealth::beginCycle() {
    cycleNow_ = now();
    bytesBefore_ = counters_.bytes;
    acceptedBefore_ = counters_.accepted;
}

void LineHealth::endCycle() {
    if (counters_.bytes != bytesBefore_) {
        if (lastByteMs_ < 0 || cycleNow_ - lastByteMs_ >= kSilentMs) {
            receivingSinceMs_ = cycleNow_;
        }
        lastByteMs_ = cycleNow_;
    }
    if (counters_.accepted != acceptedBefore_) {
        lastGoodMs_ = cycleNow_;
    }
}

void LineHealth::framed(QByteArrayView sentence, bool checksumGood,
                        nmeaz::FrameDeviations deviations) {
    tally_.record(sentence, checksumGood, cycleNow_, deviations);
    conformance_.check(sentence);
    if (checksumGood && deviations != 0) {
        emit sentenceWithWarning(sentence);
    }
}

void LineHealth::reset() {
    counters_ = {};
    tally_.clear();
    conformance_.clear();
    bytesBefore_ = acceptedBefore_ = 0;
    openedMs_ = now();
    lastByteMs_ = lastGoodMs_ = receivingSinceMs_ = -1;
    sourceBase_ = sourceCounters_;
    emit cleared();
}

void LineHealth::setPortOpen(bool open) {
    portOpen_ = open;
    if (open) {
        portLost_ = false;
        lostReason_.clear();
        reset();
    }
}

void LineHealth::setPortLost(const QString& reason) {
    portLost_ = true;
    portOpen_ = false;
    lostReason_ = reason;
}

LineHealth::State LineHealth::state(qint64 nowMs) const {
    if (portLost_) {
        return State::PortLost;
    }
    if (!portOpen_) {
        return State::NoPort;
    }
    const qint64 heard = lastByteMs_ >= 0 ? lastByteMs_ : openedMs_;
    if (nowMs - heard >= kSilentMs) {
        return State::Silent;
    }
    // Bytes are arriving: they have to frame into something within a few seconds of
    // the line waking up or of the last good sentence.
    const qint64 since = std::max(lastGoodMs_, receivingSinceMs_);
    if (lastByteMs_ >= 0 && nowMs - since >= kNoValidMs) {
        return State::NoValidSentences;
    }
    return State::Receiving;
}

QString LineHealth::stateText(qint64 nowMs) const {
    switch (state(nowMs)) {
        case State::NoPort:
            return tr("No port");
        case State::Receiving:
            return tr("Receiving");
        case State::Silent: {
            const qint64 heard = lastByteMs_ >= 0 ? lastByteMs_ : openedMs_;
            return tr("Silent for %1 s").arg((nowMs - heard) / 1000);
        }
        case State::NoValidSentences:
            return tr("No valid sentences — wrong speed?");
        case State::PortLost:
            return lostReason_.isEmpty() ? tr("Port lost") : tr("Port lost: %1").arg(lostReason_);
    }
    return {};
}

quint64 LineHealth::errorTotal() const {
    return counters_.badChecksum + counters_.tooLong + counters_.malformed +
           counters_.fragmentsDropped + sourceLosses().losses();
}

void LineHealth::sourceOpened(const sources::SourceCounters& counters) {
    sourceCounters_ = sourceBase_ = counters;
}

void LineHealth::sourceCountersChanged(const sources::SourceCounters& counters) {
    sourceCounters_ = counters;
}

sources::SourceCounters LineHealth::sourceLosses() const {
    return sources::since(sourceCounters_, sourceBase_);
}

QString LineHealth::sourceLossBreakdown() const {
    const QStringList lines = sources::lossLines(sourceLosses());
    return lines.isEmpty() ? QString() : QLatin1Char('\n') + lines.join(QLatin1Char('\n'));
}

quint64 LineHealth::warningTotal() const {
    quint64 total = 0;
    for (const std::uint64_t count : counters_.warnings) {
        total += count;
    }
    return total;
}

QStringList LineHealth::errorBreakdownParts() const {
    const nmeaz::LineCounters& c = counters_;
    QStringList parts = {
        tr("Bad checksums: %1").arg(c.badChecksum),
        tr("Too long: %1").arg(c.tooLong),
        tr("Malformed: %1").arg(c.malformed),
        tr("AIS fragments dropped: %1").arg(c.fragmentsDropped),
        tr("Without checksum: %1").arg(c.noChecksum),
        tr("Unknown types: %1").arg(c.unknownType),
        tr("Undecodable AIS: %1").arg(c.aisUndecodable),
        tr("Noise bytes: %1").arg(c.noiseBytes),
        tr("Bytes received: %1").arg(c.bytes),
    };
    // Warnings: sentences read although they deviate, by kind.
    const quint64 warnings = warningTotal();
    parts << tr("Warnings: %1").arg(warnings);
    if (warnings > 0) {
        for (int i = 0; i < nmeaz::kDeviationKindCount; ++i) {
            if (c.warnings[i] > 0) {
                parts << tr("  %1: %2").arg(tr(nmeaz::kDeviationKinds[i].label)).arg(c.warnings[i]);
            }
        }
    }
    return parts;
}

QString LineHealth::errorBreakdown() const {
    return errorBreakdownParts().join(QLatin1Char('\n'));
}
