// The conformance findings of a session: every framed line goes through the checker;
// what it finds is kept per sentence key (a count and the latest few), per talker and
// rule (for the report), and for the latest lines (so the raw pane can mark them).
// Bounded like the sentence tally, so a flood of faulty lines cannot grow it.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>
#include <array>
#include <deque>
#include <map>

#include "conformance/checker.h"

namespace present {

struct NotedFinding {
    conformance::RuleId rule = conformance::RuleId::LineEnd;
    conformance::Severity severity = conformance::Severity::Warning;
    int field = -1;  // -1: the whole line
    QString name;    // the field's name, empty for the whole line
    QString message;
};

// How a recent line was found: its worst severity and its messages, one a line.
struct LineMark {
    conformance::Severity worst = conformance::Severity::Warning;
    QString messages;
};

class ConformanceLog {
public:
    static constexpr int kLatestPerKey = 8;
    static constexpr int kMaxKeys = 1000;
    static constexpr int kMaxTalkers = 200;
    static constexpr int kMarkedLines = 2000;

    // One line as framed: from its start character through its line end.
    void check(QByteArrayView line);
    void clear();

    qint64 sentences() const { return sentences_; }
    qint64 errors() const { return errors_; }
    qint64 warnings() const { return warnings_; }

    // Findings of a sentence key ("$GPGGA") so far, and the latest of them, newest last.
    qint64 countFor(QByteArrayView key) const;
    QList<NotedFinding> latestFor(QByteArrayView key) const;
    // The mark of a recent line, given without its line end; false for a line without
    // findings (or one too old to remember).
    bool markOf(QByteArrayView line, LineMark& mark) const;

    // The session's findings per talker and rule, as readable text or HTML.
    QString reportText() const;
    QString reportHtml() const;

private:
    struct KeyEntry {
        qint64 count = 0;
        std::deque<NotedFinding> latest;
    };
    using RuleCounts = std::array<qint64, conformance::kRuleCount>;

    conformance::Checker checker_;
    conformance::Findings findings_;
    qint64 sentences_ = 0;
    qint64 errors_ = 0;
    qint64 warnings_ = 0;
    QHash<QByteArray, KeyEntry> keys_;
    std::map<QByteArray, RuleCounts> talkers_;
    QHash<QByteArray, LineMark> marks_;
    std::deque<QByteArray> markOrder_;
};

}  // namespace present
