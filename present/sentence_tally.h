// Every sentence key seen on a line ("$GPGGA", "$PGRME", "!AIVDO", decoded or not):
// how often it framed, how often its checksum failed, how fast it comes and when it
// was last heard. Bounded: past kMaxKeys distinct keys the rest share one "other"
// entry, so a flood of garbage cannot grow it without end.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <array>
#include <vector>

namespace present {

struct KeyStats {
    QByteArray key;
    qint64 count = 0;     // framed with a good checksum, or without one
    qint64 errors = 0;    // framed with a wrong checksum
    qint64 warnings = 0;  // read although it deviates from the sentence format
    qint64 firstMs = 0;
    qint64 lastMs = 0;
    double intervalMs = 0;    // the usual time between two, smoothed; 0 until known
    QByteArray lastSentence;  // the latest good one, without its line end
    // Arrivals per second over the last ten seconds, by second modulo ten.
    std::array<qint64, 10> bucketSecond{};
    std::array<int, 10> bucketCount{};
};

class SentenceTally {
public:
    static constexpr int kMaxKeys = 1000;
    static constexpr int kKeyLimit = 12;  // key characters kept, start character included
    static constexpr qint64 kRateWindowMs = 10000;
    static constexpr qint64 kMinStaleMs = 5000;

    // The key of a framed sentence: from its start character to the first comma,
    // star or line end, at most kKeyLimit characters.
    static QByteArrayView keyOf(QByteArrayView sentence);

    // Notes one framed sentence (line end included or not) at nowMs on a monotonic
    // clock, with the deviations (nmeaz::FrameDeviation bits) it was read with.
    // Timestamps must not go backwards.
    void record(QByteArrayView sentence, bool checksumGood, qint64 nowMs, unsigned deviations = 0);
    // Notes one good arrival under a key of the caller's making (an NMEA 2000 PGN
    // from one source), keeping `last` as its latest content.
    void recordAs(QByteArrayView key, QByteArrayView last, qint64 nowMs);
    // Notes one error under such a key (an NMEA 2000 packet of it dropped).
    void recordErrorAs(QByteArrayView key, qint64 nowMs);
    void clear();

    // In order of first arrival; the "other" entry, once needed, is among them.
    const std::vector<KeyStats>& keys() const { return keys_; }

    // Sentences per second over the last ten seconds (or since first heard).
    static double rate(const KeyStats& stats, qint64 nowMs);
    // Not heard for more than three usual intervals, and at least five seconds.
    static bool isStale(const KeyStats& stats, qint64 nowMs);

private:
    KeyStats& entryFor(QByteArrayView key, qint64 nowMs);
    static void noteGood(KeyStats& stats, QByteArrayView last, qint64 nowMs);

    std::vector<KeyStats> keys_;
    QHash<QByteArray, int> index_;
    int otherIndex_ = -1;
};

}  // namespace present
