#include "present/sentence_tally.h"

#include <algorithm>
#include <cstring>

namespace present {

QByteArrayView SentenceTally::keyOf(QByteArrayView sentence) {
    qsizetype length = 0;
    const qsizetype limit = std::min<qsizetype>(sentence.size(), kKeyLimit);
    while (length < limit) {
        const char c = sentence[length];
        if (c == ',' || c == '*' || c == '\r' || c == '\n') {
            break;
        }
        ++length;
    }
    return sentence.first(length);
}

KeyStats& SentenceTally::entryFor(QByteArrayView key, qint64 nowMs) {
    // A view of the caller's bytes is enough to look up; only a new key is copied.
    const auto found = index_.constFind(QByteArray::fromRawData(key.data(), key.size()));
    if (found != index_.cend()) {
        return keys_[static_cast<std::size_t>(found.value())];
    }
    if (static_cast<int>(keys_.size()) >= kMaxKeys) {
        if (otherIndex_ < 0) {
            otherIndex_ = static_cast<int>(keys_.size());
            keys_.push_back({});
            keys_.back().key = QByteArrayLiteral("other");
            keys_.back().firstMs = nowMs;
        }
        return keys_[static_cast<std::size_t>(otherIndex_)];
    }
    index_.insert(key.toByteArray(), static_cast<int>(keys_.size()));
    keys_.push_back({});
    keys_.back().key = key.toByteArray();
    keys_.back().firstMs = nowMs;
    return keys_.back();
}

void SentenceTally::record(QByteArrayView sentence, bool checksumGood, qint64 nowMs,
                           unsigned deviations) {
    KeyStats& stats = entryFor(keyOf(sentence), nowMs);
    if (!checksumGood) {
        ++stats.errors;
        return;
    }
    stats.warnings += deviations != 0;
    qsizetype length = sentence.size();
    while (length > 0 && (sentence[length - 1] == '\n' || sentence[length - 1] == '\r')) {
        --length;
    }
    noteGood(stats, sentence.first(length), nowMs);
}

void SentenceTally::recordAs(QByteArrayView key, QByteArrayView last, qint64 nowMs) {
    noteGood(entryFor(key, nowMs), last, nowMs);
}

void SentenceTally::recordErrorAs(QByteArrayView key, qint64 nowMs) {
    ++entryFor(key, nowMs).errors;
}

void SentenceTally::noteGood(KeyStats& stats, QByteArrayView last, qint64 nowMs) {
    if (stats.count > 0) {
        const double gap = static_cast<double>(nowMs - stats.lastMs);
        stats.intervalMs = stats.count == 1 ? gap : 0.8 * stats.intervalMs + 0.2 * gap;
    }
    ++stats.count;
    stats.lastMs = nowMs;

    const qint64 second = nowMs / 1000;
    const auto bucket = static_cast<std::size_t>(second % 10);
    if (stats.bucketSecond[bucket] != second || stats.bucketCount[bucket] == 0) {
        stats.bucketSecond[bucket] = second;
        stats.bucketCount[bucket] = 0;
    }
    ++stats.bucketCount[bucket];

    // Resizing keeps the buffer, so a steady key copies without allocating.
    stats.lastSentence.resize(last.size());
    if (!last.isEmpty()) {
        std::memcpy(stats.lastSentence.data(), last.data(), static_cast<std::size_t>(last.size()));
    }
}

void SentenceTally::clear() {
    keys_.clear();
    index_.clear();
    otherIndex_ = -1;
}

double SentenceTally::rate(const KeyStats& stats, qint64 nowMs) {
    const qint64 second = nowMs / 1000;
    qint64 heard = 0;
    for (std::size_t i = 0; i < stats.bucketCount.size(); ++i) {
        if (second - stats.bucketSecond[i] < 10) {
            heard += stats.bucketCount[i];
        }
    }
    const qint64 span = std::clamp<qint64>(nowMs - stats.firstMs, 1000, kRateWindowMs);
    return static_cast<double>(heard) * 1000.0 / static_cast<double>(span);
}

bool SentenceTally::isStale(const KeyStats& stats, qint64 nowMs) {
    if (stats.count == 0) {
        return false;
    }
    const double limit = std::max(3.0 * stats.intervalMs, static_cast<double>(kMinStaleMs));
    return static_cast<double>(nowMs - stats.lastMs) > limit;
}

}  // namespace present
