#include "decode_sink.h"

#include <cstdio>
#include <cstring>

#include "direct_json.h"
#include "line_stats.h"
#include "n2k_stats.h"
#include "nmea/records.h"
#include "present/n2k_named.h"
#include "present/named_json.h"
#include "program_database.h"

namespace decode {

void DecodeSink::resultList(int, const QStringList& list) {
    list_ = list;
    hasList_ = true;
}

void DecodeSink::resultText(int, const QString& text) {
    text_ = text;
    hasText_ = true;
}

// The decoder writes no XML: a log is decoded, not replayed into live snapshots.
void DecodeSink::snapshot(int, void*) {}

void DecodeSink::sentenceDone(int) {
    const char* name = nmeaz::currentSentenceName;
    const std::size_t nameLength = strnlen(name, nmeaz::kSentenceNameSize);
    if (summary_) {
        std::string key(name, nameLength);
        auto [it, inserted] = keyIndex_.try_emplace(key, counts_.size());
        if (inserted) {
            counts_.emplace_back(std::move(key), 0);
        }
        ++counts_[it->second].second;
    } else if (named_) {
        present::appendNamedJson(output_, present::currentDecoded(),
                                 std::string_view(name, nameLength), tail_);
    } else if (!stats_) {
        appendDirectJsonLine(output_, present::currentDecoded(),
                             std::string_view(name, nameLength));
    }
    hasList_ = false;
    hasText_ = false;
    tail_.clear();
}

void DecodeSink::pgnMessage(const n2k::Message& message, const n2k::DecodedPgn& decoded) {
    if (summary_ || stats_) {
        auto [it, inserted] = pgnIndex_.try_emplace(message.pgn, pgnCounts_.size());
        if (inserted) {
            pgnCounts_.emplace_back("PGN " + std::to_string(message.pgn), 0);
        }
        ++pgnCounts_[it->second].second;
        if (summary_) {
            auto [key, added] = keyIndex_.try_emplace(pgnCounts_[it->second].first, counts_.size());
            if (added) {
                counts_.emplace_back(pgnCounts_[it->second].first, 0);
            }
            ++counts_[key->second].second;
        }
        return;
    }
    static const n2k::PgnDatabase kEmpty;
    const n2k::PgnDatabase* database = programPgnDatabase();
    present::appendNamedPgn(database != nullptr ? *database : kEmpty, message, decoded, output_);
    output_ += '\n';
}

void DecodeSink::framedWithDeviations(QByteArrayView sentence, bool checksumGood,
                                      nmeaz::FrameDeviations deviations) {
    if (stats_) {
        tally_.record(sentence, checksumGood, 0);
    }
    tail_.clear();
    if (named_ && (deviations & nmeaz::kTrailingData) != 0) {
        tail_ = nmeaz::trailingData(std::string_view(sentence.data(), sentence.size()));
    }
}

std::string DecodeSink::statsLine(qsizetype unfinished) const {
    nmeaz::LineCounters counters = counters_;
    counters.bytes += static_cast<std::uint64_t>(unfinished);
    std::string line = decode::statsLine(counters, tally_, static_cast<std::uint64_t>(unfinished));
    addN2kStats(line, n2k_, pgnCounts_);
    return line;
}

std::string DecodeSink::summaryTable() const {
    std::string table;
    long long total = 0;
    char line[64];
    for (const auto& [key, count] : counts_) {
        std::snprintf(line, sizeof line, "%-14s %12lld\n", key.c_str(), count);
        table += line;
        total += count;
    }
    std::snprintf(line, sizeof line, "%-14s %12lld\n", "total", total);
    table += line;
    return table;
}

}  // namespace decode
