// What one output lets through: include and exclude lists of keys with wildcards, a
// minimum interval per key, and whether sentences with a wrong checksum pass.
//
// A sentence's key is its text from the start character to the first comma: "$GPGGA",
// "!AIVDM". In a pattern '*' stands for any run of characters, '?' for any one, and
// "--" right after the start character for any talker: "$--GGA" matches "$GPGGA" and
// "$GNGGA". NMEA 2000 keys ("PGN 129025") are accepted now and match PGNs once those
// are forwarded; they never match a 0183 sentence.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <vector>

#include "outputs/output_address.h"

namespace outputs {

class OutputFilter {
public:
    enum class Verdict { Pass, Filtered, RateCapped };

    explicit OutputFilter(const FilterOptions& options = {});

    // Decides for one sentence (its text from the start character on) seen at nowMs
    // of a monotonic clock. A sentence that passes starts its key's interval anew.
    Verdict check(QByteArrayView sentence, bool checksumGood, qint64 nowMs);

    // Whether check() reads its time; when not, any time may be given.
    bool hasIntervals() const { return !intervals_.empty(); }

    static QByteArrayView keyOf(QByteArrayView sentence);
    static bool matches(QByteArrayView pattern, QByteArrayView key);

    // Keys remembered for intervals at most; past it they are forgotten at once, which
    // lets one sentence of each through early rather than growing without bound.
    static constexpr qsizetype kMaxIntervalKeys = 4096;

private:
    bool anyMatches(const std::vector<QByteArray>& patterns, QByteArrayView key) const;

    std::vector<QByteArray> include_;
    std::vector<QByteArray> exclude_;
    struct Interval {
        QByteArray pattern;
        qint64 milliseconds;
    };
    std::vector<Interval> intervals_;
    bool passBad_;
    QHash<QByteArray, qint64> lastPassed_;
};

}  // namespace outputs
