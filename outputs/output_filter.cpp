#include "outputs/output_filter.h"

namespace outputs {

namespace {

std::vector<QByteArray> latin1(const QStringList& keys) {
    std::vector<QByteArray> patterns;
    for (const QString& key : keys) {
        patterns.push_back(key.toLatin1());
    }
    return patterns;
}

bool isStart(char c) {
    return c == '$' || c == '!';
}

// Glob matching with '*' and '?' by backtracking to the last star: linear in practice
// for the short keys of sentences.
bool glob(QByteArrayView pattern, QByteArrayView key) {
    qsizetype p = 0;
    qsizetype k = 0;
    qsizetype starP = -1;
    qsizetype starK = 0;
    while (k < key.size()) {
        const bool talkerWildcard = (p == 1 || p == 2) && pattern.size() > 2 &&
                                    isStart(pattern[0]) && pattern[1] == '-' && pattern[2] == '-';
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == key[k] || talkerWildcard) &&
            pattern[p] != '*') {
            ++p;
            ++k;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starK = k;
        } else if (starP >= 0) {
            p = starP + 1;
            k = ++starK;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

}  // namespace

OutputFilter::OutputFilter(const FilterOptions& options)
    : include_(latin1(options.include)),
      exclude_(latin1(options.exclude)),
      passBad_(options.passBadChecksum) {
    for (const IntervalRule& rule : options.intervals) {
        intervals_.push_back({rule.key.toLatin1(), rule.milliseconds});
    }
}

QByteArrayView OutputFilter::keyOf(QByteArrayView sentence) {
    qsizetype end = 0;
    while (end < sentence.size() && end < 32) {
        const char c = sentence[end];
        if (c == ',' || c == '*' || c == '\r' || c == '\n') {
            break;
        }
        ++end;
    }
    return sentence.first(end);
}

bool OutputFilter::matches(QByteArrayView pattern, QByteArrayView key) {
    return glob(pattern, key);
}

bool OutputFilter::anyMatches(const std::vector<QByteArray>& patterns, QByteArrayView key) const {
    for (const QByteArray& pattern : patterns) {
        if (glob(pattern, key)) {
            return true;
        }
    }
    return false;
}

OutputFilter::Verdict OutputFilter::check(QByteArrayView sentence, bool checksumGood,
                                          qint64 nowMs) {
    if (!checksumGood && !passBad_) {
        return Verdict::Filtered;
    }
    const QByteArrayView key = keyOf(sentence);
    if ((!include_.empty() && !anyMatches(include_, key)) || anyMatches(exclude_, key)) {
        return Verdict::Filtered;
    }
    for (const Interval& interval : intervals_) {
        if (!glob(interval.pattern, key)) {
            continue;
        }
        const QByteArray owned = key.toByteArray();
        const auto last = lastPassed_.constFind(owned);
        if (last != lastPassed_.constEnd() && nowMs - *last < interval.milliseconds) {
            return Verdict::RateCapped;
        }
        if (lastPassed_.size() >= kMaxIntervalKeys) {
            lastPassed_.clear();
        }
        lastPassed_.insert(owned, nowMs);
        break;
    }
    return Verdict::Pass;
}

}  // namespace outputs
