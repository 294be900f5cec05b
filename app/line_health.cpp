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

void LineHealth::framed(QByteArrayView sentence, bool checksumGood,
                        nmeaz::FrameDeviations deviations) {
    tally_.record(sentence, checksumGood, cycleNow_, deviations);
    conformance_.check(sentence);
    if (checksumGood && deviations != 0) {
        emit sentenceWithWarning(sentence);
    }
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

const QByteArray* LineHealth::pgnKey(quint32 pgn, quint8 source, const n2k::PgnDef* definition,
                                     const n2k::PgnDatabase* database) {
    // The key text is made once per PGN and source; a busy bus repeats them.
    const quint32 id = pgn << 8 | source;
    const auto key = pgnKeys_.constFind(id);
    if (key != pgnKeys_.cend()) {
        return &key.value();
    }
    // Garbage on the bus could make up endless PGN and source pairs; past the tally's
    // own bound they are not remembered (the tally files them as "other").
    if (pgnKeys_.size() >= present::SentenceTally::kMaxKeys) {
        return nullptr;
    }
    QString description;
    if (definition != nullptr && database != nullptr) {
        const std::string_view text = database->text(definition->description);
        description = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    return &pgnKeys_.insert(id, pgnKeyText(pgn, description, source)).value();
}

void LineHealth::pgn(const n2k::Message& message, const n2k::DecodedPgn& decoded,
                     const n2k::PgnDatabase* database) {
    database_ = database;
    const QByteArray* key = pgnKey(message.pgn, message.source, decoded.definition, database);
    if (key == nullptr) {
        tally_.recordAs(pgnKeyText(message.pgn, QString(), message.source), {}, cycleNow_);
        return;
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

void LineHealth::pgnDropped(quint32 pgn, quint8 source, const n2k::PgnDatabase* database) {
    // A PGN first heard through a dropped packet is named by its first definition; a
    // PGN with several (proprietary ones) keeps that name when its packets decode.
    const n2k::PgnDef* definition = nullptr;
    if (database != nullptr && !database->definitionsOf(pgn).empty()) {
        definition = &database->definitionsOf(pgn).front();
    }
    const QByteArray* key = pgnKey(pgn, source, definition, database);
    tally_.recordErrorAs(key != nullptr ? *key : pgnKeyText(pgn, QString(), source), cycleNow_);
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
