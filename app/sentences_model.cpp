#include "app/sentences_model.h"

#include <QBrush>
#include <QColor>
#include <algorithm>

#include "app/line_health.h"

using present::KeyStats;
using present::SentenceTally;

namespace {

// NMEA 0183 keys are shown byte for byte; NMEA 2000 keys are text of our own making.
QString keyText(const QByteArray& key) {
    return key.startsWith('$') || key.startsWith('!') ? QString::fromLatin1(key)
                                                      : QString::fromUtf8(key);
}

}  // namespace

SentencesModel::SentencesModel(const LineHealth* health, QObject* parent)
    : AppendingTableModel(parent), health_(health) {}

int SentencesModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SentencesModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    switch (section) {
        case Key:
            return tr("Key");
        case Count:
            return tr("Count");
        case Rate:
            return tr("Rate /s");
        case Age:
            return tr("Age s");
        case Errors:
            return tr("Errors");
        case Warnings:
            return tr("Warnings");
        case Findings:
            return tr("Findings");
        default:
            return {};
    }
}

QVariant SentencesModel::data(const QModelIndex& index, int role) const {
    const auto& keys = health_->tally().keys();
    if (!index.isValid() || index.row() >= rows_ || index.row() >= int(keys.size())) {
        return {};
    }
    const KeyStats& stats = keys[static_cast<std::size_t>(index.row())];
    const bool stale = SentenceTally::isStale(stats, now_);
    // A key heard since the last refresh is as fresh as can be, not from the future.
    const double age =
        stats.count > 0 ? double(std::max<qint64>(0, now_ - stats.lastMs)) / 1000.0 : -1.0;
    if (role == StaleRole) {
        return stale;
    }
    if (role == Qt::ForegroundRole) {
        return stale ? QVariant(QBrush(QColor(Qt::gray))) : QVariant();
    }
    if (role == SortRole) {
        switch (index.column()) {
            case Key:
                return keyText(stats.key);
            case Count:
                return stats.count;
            case Rate:
                return SentenceTally::rate(stats, now_);
            case Age:
                return age;
            case Errors:
                return stats.errors;
            case Warnings:
                return stats.warnings;
            case Findings:
                return health_->conformance().countFor(stats.key);
        }
    }
    if (role == Qt::TextAlignmentRole && index.column() != Key) {
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) {
        return {};
    }
    switch (index.column()) {
        case Key:
            return keyText(stats.key);
        case Count:
            return QString::number(stats.count);
        case Rate:
            return QString::number(SentenceTally::rate(stats, now_), 'f', 1);
        case Age:
            if (age < 0) {
                return QString();
            }
            // The word carries what the grey shows, for readers without colour.
            return stale ? tr("%1 stale").arg(age, 0, 'f', 0) : QString::number(age, 'f', 1);
        case Errors:
            return QString::number(stats.errors);
        case Warnings:
            return QString::number(stats.warnings);
        case Findings:
            return QString::number(health_->conformance().countFor(stats.key));
    }
    return {};
}

void SentencesModel::refresh(qint64 nowMs) {
    now_ = nowMs;
    const int size = static_cast<int>(health_->tally().keys().size());
    followRows(size);
}

QByteArray SentencesModel::key(int row) const {
    const auto& keys = health_->tally().keys();
    return row >= 0 && row < int(keys.size()) ? keys[static_cast<std::size_t>(row)].key
                                              : QByteArray();
}

QByteArray SentencesModel::lastSentence(int row) const {
    const auto& keys = health_->tally().keys();
    return row >= 0 && row < int(keys.size()) ? keys[static_cast<std::size_t>(row)].lastSentence
                                              : QByteArray();
}
