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

void LineHealth::framed(QByteArrayView sentence, bool checksumGood) {
    tally_.record(sentence, checksumGood, cycleNow_);
    conformance_.check(sentence);
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
    return counters_.badChecksum + counters_.tooLong + counters_.fragmentsDropped +
           sourceLosses().losses();
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

QString LineHealth::errorBreakdown() const {
    const nmeaz::LineCounters& c = counters_;
    return tr("Bad checksums: %1\nToo long: %2\nAIS fragments dropped: %3\n"
              "Without checksum: %4\nUnknown types: %5\nUndecodable AIS: %6\n"
              "Noise bytes: %7\nBytes received: %8")
        .arg(c.badChecksum)
        .arg(c.tooLong)
        .arg(c.fragmentsDropped)
        .arg(c.noChecksum)
        .arg(c.unknownType)
        .arg(c.aisUndecodable)
        .arg(c.noiseBytes)
        .arg(c.bytes);
}
