#include "present/conformance_log.h"

#include "present/sentence_tally.h"

namespace present {

namespace {

QByteArrayView withoutLineEnd(QByteArrayView line) {
    qsizetype end = line.size();
    while (end > 0 && (line[end - 1] == '\r' || line[end - 1] == '\n'))
        --end;
    return line.first(end);
}

// "GP", "AI", or "P" and the maker's code for a proprietary sentence.
QByteArray talkerOf(QByteArrayView key) {
    if (key.size() >= 2 && key[1] == 'P')
        return key.sliced(1, std::min<qsizetype>(4, key.size() - 1)).toByteArray();
    return key.size() >= 3 ? key.sliced(1, 2).toByteArray() : QByteArray("?");
}

// One `pattern` (rule, severity, count, what it checks) per rule with findings.
QString ruleRows(const std::array<qint64, conformance::kRuleCount>& counts, const QString& pattern,
                 bool html) {
    QString out;
    for (const conformance::Rule& rule : conformance::kRules) {
        const qint64 count = counts[static_cast<std::size_t>(rule.id)];
        if (count == 0)
            continue;
        const QString checks = QString::fromLatin1(rule.checks);
        out += pattern
                   .arg(QLatin1StringView(rule.name),
                        QLatin1StringView(conformance::severityName(rule.severity)))
                   .arg(count)
                   .arg(html ? checks.toHtmlEscaped() : checks);
    }
    return out;
}

}  // namespace

void ConformanceLog::check(QByteArrayView line) {
    ++sentences_;
    const std::string_view text(line.data(), static_cast<std::size_t>(line.size()));
    if (checker_.check(text, findings_) == 0)
        return;

    const QByteArray key = SentenceTally::keyOf(line).toByteArray();
    KeyEntry* entry = nullptr;
    auto found = keys_.find(key);
    if (found != keys_.end()) {
        entry = &found.value();
    } else if (keys_.size() < kMaxKeys) {
        entry = &keys_[key];
    } else {
        entry = &keys_[QByteArrayLiteral("other")];
    }
    RuleCounts* perTalker = nullptr;
    const QByteArray talker = talkerOf(key);
    auto talkerFound = talkers_.find(talker);
    if (talkerFound != talkers_.end()) {
        perTalker = &talkerFound->second;
    } else if (static_cast<int>(talkers_.size()) < kMaxTalkers) {
        perTalker = &talkers_[talker];
        perTalker->fill(0);
    }

    LineMark mark;
    for (const conformance::Finding& finding : findings_) {
        const bool error = finding.severity == conformance::Severity::Error;
        ++(error ? errors_ : warnings_);
        ++entry->count;
        if (perTalker != nullptr)
            ++(*perTalker)[static_cast<std::size_t>(finding.rule)];
        NotedFinding noted;
        noted.rule = finding.rule;
        noted.severity = finding.severity;
        noted.field = finding.field;
        noted.name =
            finding.fieldName != nullptr ? QString::fromLatin1(finding.fieldName) : QString();
        noted.message = QString::fromLatin1(finding.message.data());
        if (error)
            mark.worst = conformance::Severity::Error;
        if (!mark.messages.isEmpty())
            mark.messages += QLatin1Char('\n');
        mark.messages += QStringLiteral("%1: %2").arg(
            QLatin1StringView(conformance::ruleOf(finding.rule).name), noted.message);
        entry->latest.push_back(std::move(noted));
        if (static_cast<int>(entry->latest.size()) > kLatestPerKey)
            entry->latest.pop_front();
    }

    const QByteArray lineKey = withoutLineEnd(line).toByteArray();
    if (!marks_.contains(lineKey)) {
        markOrder_.push_back(lineKey);
        if (static_cast<int>(markOrder_.size()) > kMarkedLines) {
            marks_.remove(markOrder_.front());
            markOrder_.pop_front();
        }
    }
    marks_.insert(lineKey, mark);
}

void ConformanceLog::clear() {
    checker_.reset();
    sentences_ = errors_ = warnings_ = 0;
    keys_.clear();
    talkers_.clear();
    marks_.clear();
    markOrder_.clear();
}

qint64 ConformanceLog::countFor(QByteArrayView key) const {
    const auto found = keys_.constFind(key.toByteArray());
    return found == keys_.cend() ? 0 : found->count;
}

QList<NotedFinding> ConformanceLog::latestFor(QByteArrayView key) const {
    const auto found = keys_.constFind(key.toByteArray());
    if (found == keys_.cend())
        return {};
    return QList<NotedFinding>(found->latest.begin(), found->latest.end());
}

bool ConformanceLog::markOf(QByteArrayView line, LineMark& mark) const {
    const auto found = marks_.constFind(withoutLineEnd(line).toByteArray());
    if (found == marks_.cend())
        return false;
    mark = *found;
    return true;
}

QString ConformanceLog::reportText() const {
    QString out = QStringLiteral(
                      "Conformance report\n\nSentences checked: %1\nErrors: %2\n"
                      "Warnings: %3\n")
                      .arg(sentences_)
                      .arg(errors_)
                      .arg(warnings_);
    for (const auto& [talker, counts] : talkers_) {
        out += QStringLiteral("\nTalker %1\n").arg(QString::fromLatin1(talker));
        out += ruleRows(counts, QStringLiteral("  %1 (%2): %3 - %4\n"), false);
    }
    if (talkers_.empty())
        out += QStringLiteral("\nNo findings.\n");
    return out;
}

QString ConformanceLog::reportHtml() const {
    QString out = QStringLiteral(
                      "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Conformance "
                      "report</title></head><body>\n<h1>Conformance report</h1>\n<p>Sentences "
                      "checked: %1. Errors: %2. Warnings: %3.</p>\n")
                      .arg(sentences_)
                      .arg(errors_)
                      .arg(warnings_);
    for (const auto& [talker, counts] : talkers_) {
        out += QStringLiteral(
                   "<h2>Talker %1</h2>\n<table>\n<tr><th>Rule</th><th>Severity</th>"
                   "<th>Findings</th><th>Checks</th></tr>\n")
                   .arg(QString::fromLatin1(talker).toHtmlEscaped());
        out += ruleRows(counts,
                        QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td>%4</td></tr>\n"),
                        true);
        out += QStringLiteral("</table>\n");
    }
    if (talkers_.empty())
        out += QStringLiteral("<p>No findings.</p>\n");
    out += QStringLiteral("</body></html>\n");
    return out;
}

}  // namespace present
