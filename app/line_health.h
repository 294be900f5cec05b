// The health of the line the window listens to: the core's counters and the per-key
// tally of one stream, when bytes and good sentences last arrived, and the line state
// that follows from them. The parse step feeds it; the Sentences dock and the status
// bar read it. Time comes from a clock that tests replace.
#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

#include "nmea/line_counters.h"
#include "present/conformance_log.h"
#include "present/sentence_tally.h"
#include "sources/source_counters.h"

namespace n2k {
struct Message;
struct DecodedPgn;
class PgnDatabase;
struct PgnDef;
}  // namespace n2k

class LineHealth : public QObject {
    Q_OBJECT

public:
    static constexpr qint64 kSilentMs = 3000;
    static constexpr qint64 kNoValidMs = 5000;

    explicit LineHealth(QObject* parent = nullptr);

    // Milliseconds on a monotonic clock.
    using Clock = std::function<qint64()>;
    void setClock(Clock clock) { clock_ = std::move(clock); }
    qint64 now() const { return clock_(); }

    // Around every parse cycle: the cycle's sentences are stamped with one reading of
    // the clock, and what the cycle counted moves the arrival times on.
    void beginCycle();
    void endCycle();
    nmeaz::LineCounters* counters() { return &counters_; }
    const nmeaz::LineCounters& counts() const { return counters_; }
    void framed(QByteArrayView sentence, bool checksumGood, nmeaz::FrameDeviations deviations = 0);
    const present::SentenceTally& tally() const { return tally_; }
    // What the conformance rules found in the framed sentences.
    const present::ConformanceLog& conformance() const { return conformance_; }

    // How the framer reads this line (nmeaz::FramingRule bits): chosen when it opens.
    void setFramingRules(unsigned rules) { framingRules_ = rules; }
    unsigned framingRules() const { return framingRules_; }

    // NMEA 2000: each whole PGN is a key of the tally, one per PGN and source
    // ("129025 Position, Rapid Update · src 3"), its payload kept as the key's last
    // content. The database is the one that decoded it, kept for the views.
    struct PgnHeader {
        quint32 pgn = 0;
        quint8 priority = 0;
        quint8 source = 0;
        quint8 destination = 0;
    };
    void pgn(const n2k::Message& message, const n2k::DecodedPgn& decoded,
             const n2k::PgnDatabase* database);
    // The header of a PGN key's last message; nullptr for an NMEA 0183 key.
    // A packet of this PGN and sender was dropped: an error in its row.
    void pgnDropped(quint32 pgn, quint8 source, const n2k::PgnDatabase* database);
    const PgnHeader* pgnHeader(const QByteArray& key) const;
    const n2k::PgnDatabase* pgnDatabase() const { return database_; }
    static QByteArray pgnKeyText(quint32 pgn, const QString& description, quint8 source);

    // What the NMEA 2000 side of the stream counted, as the stream path reports it.
    struct N2kCounts {
        bool heard = false;
        quint64 frames = 0;
        quint64 fastPacketErrors = 0;  // fast-packet and transport-protocol transfers dropped
        quint64 unknownPgns = 0;
        quint64 badGatewayLines = 0;
        quint64 bytes = 0;
        quint64 messages = 0;
    };
    // Called after every read, with that read's clock reading: NMEA 2000 bytes and whole
    // PGNs keep the line state "Receiving" as NMEA 0183 bytes and sentences do.
    void setN2kCounts(const N2kCounts& counts);
    const N2kCounts& n2kCounts() const { return n2k_; }

    // A new stream: counters, keys and times start again.
    void reset();
    void setPortOpen(bool open);
    // The port went away under us (unplugged, closed by the system); shown until a
    // port opens again.
    void setPortLost(const QString& reason);

    // "Receiving", "Silent for N s", "No valid sentences — wrong speed?", "Port lost…",
    // or "No port".
    enum class State { NoPort, Receiving, Silent, NoValidSentences, PortLost };
    State state(qint64 nowMs) const;
    QString stateText(qint64 nowMs) const;
    // Bad checksums, overlong sentences, malformed sentences and dropped fragments.
    quint64 errorTotal() const;
    // Sentences read although they deviate from the sentence format.
    quint64 warningTotal() const;
    // The error tooltip: one part per line, each "What: count".
    QStringList errorBreakdownParts() const;
    QString errorBreakdown() const;
    // What the source lost below the byte stream (datagrams the system dropped, serial
    // overruns): a newly opened source, and every change of its counts. The losses
    // count in errorTotal(); sourceLossBreakdown() gives them as lines that follow
    // errorBreakdown(), empty when the source counts none.
    void sourceOpened(const sources::SourceCounters& counters);
    void sourceCountersChanged(const sources::SourceCounters& counters);
    sources::SourceCounters sourceLosses() const;
    QString sourceLossBreakdown() const;

signals:
    // After reset(): views drop what they show.
    void cleared();
    // A sentence read although it deviates from the sentence format (its text as it
    // came), emitted while the parse cycle runs, before the raw pane sees its line.
    void sentenceWithWarning(QByteArrayView sentence);

private:
    Clock clock_;
    unsigned framingRules_ = 0;
    nmeaz::LineCounters counters_{};
    present::SentenceTally tally_;
    // The Sentences key of a PGN and sender, made on first use; nullptr past the bound.
    const QByteArray* pgnKey(quint32 pgn, quint8 source, const n2k::PgnDef* definition,
                             const n2k::PgnDatabase* database);

    QHash<QByteArray, PgnHeader> pgnHeaders_;
    QHash<quint32, QByteArray> pgnKeys_;  // (PGN << 8 | source) -> its key text
    const n2k::PgnDatabase* database_ = nullptr;
    N2kCounts n2k_;
    present::ConformanceLog conformance_;
    qint64 cycleNow_ = 0;
    quint64 bytesBefore_ = 0;
    quint64 acceptedBefore_ = 0;
    bool portOpen_ = false;
    QString lostReason_;
    bool portLost_ = false;
    qint64 openedMs_ = 0;
    qint64 lastByteMs_ = -1;
    qint64 lastGoodMs_ = -1;
    qint64 receivingSinceMs_ = -1;  // when bytes began to arrive after a silence
    // The source's own counts run on across a reset; the view shows them from there.
    sources::SourceCounters sourceCounters_;
    sources::SourceCounters sourceBase_;
};
