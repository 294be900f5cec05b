#include "app/line_health.h"

#include <QElapsedTimer>
#include <algorithm>
#include <memory>

#include "n2k/pgn_decoder.h"

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
}

void LineHealth::setN2kCounts(const N2kCounts& counts) {
    if (counts.bytes != n2k_.bytes) {
        if (lastByteMs_ < 0 || cycleNow_ - lastByteMs_ >= kSilentMs) {
            receivingSinceMs_ = cycleNow_;
        }
        lastByteMs_ = cycleNow_;
    }
    if (counts.messages != n2k_.messages) {
        lastGoodMs_ = cycleNow_;
    }
    n2k_ = counts;
}

QByteArray LineHealth::pgnKeyText(quint32 pgn, const QString& description, quint8 source) {
    return tr("%1 %2 · src %3")
        .arg(pgn)
        .arg(description.isEmpty() ? tr("Unknown PGN") : description)
        .arg(source)
        .toUtf8();
}

void LineHealth::pgn(const n2k::Message& message, const n2k::DecodedPgn& decoded,
                     const n2k::PgnDatabase* database) {
    database_ = database;
    // The key text is made once per PGN and source; a busy bus repeats them.
    const quint32 id = message.pgn << 8 | message.source;
    auto key = pgnKeys_.find(id);
    if (key == pgnKeys_.end()) {
        // Garbage on the bus could make up endless PGN and source pairs; past the
        // tally's own bound they are not remembered (the tally files them as "other").
        if (pgnKeys_.size() >= present::SentenceTally::kMaxKeys) {
            tally_.recordAs(pgnKeyText(message.pgn, QString(), message.source), {}, cycleNow_);
            return;
        }
        QString description;
        if (decoded.definition != nullptr && database != nullptr) {
            const std::string_view text = database->text(decoded.definition->description);
            description = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
        }
        key = pgnKeys_.insert(id, pgnKeyText(message.pgn, description, message.source));
    }
    const int length = std::clamp(message.length, 0, n2k::kMaxPayload);
    tally_.recordAs(*key, QByteArrayView(reinterpret_cast<const char*>(message.data), length),
                    cycleNow_);
    PgnHeader& header = pgnHeaders_[*key];
    header.pgn = message.pgn;
    header.priority = message.priority;
    header.source = message.source;
    header.destination = message.destination;
}

const LineHealth::PgnHeader* LineHealth::pgnHeader(const QByteArray& key) const {
    const auto found = pgnHeaders_.constFind(key);
    return found == pgnHeaders_.cend() ? nullptr : &found.value();
}

void LineHealth::reset() {
    counters_ = {};
    tally_.clear();
    pgnHeaders_.clear();
    pgnKeys_.clear();
    n2k_ = {};
    bytesBefore_ = acceptedBefore_ = 0;
    openedMs_ = now();
    lastByteMs_ = lastGoodMs_ = receivingSinceMs_ = -1;
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
    return counters_.badChecksum + counters_.tooLong + counters_.fragmentsDropped;
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
