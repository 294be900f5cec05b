#include "app/ais_targets_model.h"

#include <QBrush>
#include <QColor>
#include <cmath>
#include <cstring>
#include <limits>

#include "nmea/sentence_parsers.h"
#include "targets/ais_reports.h"
#include "targets/n2k_reports.h"
#include "targets/nmea_fixes.h"
#include "targets/target_fields.h"

using targets::Field;

namespace {

QString fixed(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

// "54°07.407' N 010°15.000' E": degrees and decimal minutes, as on a chart.
QString coordinate(double value, char positive, char negative, int degreeDigits) {
    const double magnitude = std::fabs(value);
    int degrees = static_cast<int>(magnitude);
    double minutes = (magnitude - degrees) * 60.0;
    if (minutes >= 59.9995) {
        ++degrees;
        minutes = 0.0;
    }
    return QStringLiteral("%1°%2' %3")
        .arg(degrees, degreeDigits, 10, QLatin1Char('0'))
        .arg(minutes, 6, 'f', 3, QLatin1Char('0'))
        .arg(QLatin1Char(value < 0 ? negative : positive));
}

QString age(qint64 ms) {
    const qint64 seconds = std::max<qint64>(ms, 0) / 1000;
    if (seconds < 60) {
        return QStringLiteral("%1 s").arg(seconds);
    }
    return QStringLiteral("%1 min %2 s")
        .arg(seconds / 60)
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString typeText(const targets::Target& t) {
    if (t.targetClass == targets::TargetClass::AtoN && t.has(Field::AidType)) {
        return QString::fromUtf8(targets::aidTypeText(static_cast<int>(t.number(Field::AidType))));
    }
    if (t.has(Field::ShipType)) {
        return QString::fromUtf8(
            targets::shipTypeText(static_cast<int>(t.number(Field::ShipType))));
    }
    return {};
}

// Blank values sort after every number in an ascending sort.
constexpr double kBlank = std::numeric_limits<double>::max();

}  // namespace

AisTargetsModel::AisTargetsModel(const targets::TableSettings& settings, Clock clock,
                                 QObject* parent)
    : QAbstractTableModel(parent), table_(settings), clock_(std::move(clock)) {}

void AisTargetsModel::addAisRecord(int messageType, const void* record, bool ownShip) {
    targets::Report report;
    if (targets::reportFromAis(messageType, record, ownShip, report)) {
        table_.merge(report, clock_());
    }
}

void AisTargetsModel::addSentenceRecord(int code, const void* record) {
    if (code == nmeaz::kCodeGga || code == nmeaz::kCodeRmc || code == nmeaz::kCodeVtg) {
        nmea0183FixMs_ = clock_();
    }
    targets::applyNavigationFix(code, record, table_, clock_());
}

void AisTargetsModel::addPgn(const n2k::PgnDatabase& database, const n2k::Message& message,
                             const n2k::DecodedPgn& decoded) {
    const qint64 now = clock_();
    targets::Report report;
    if (targets::reportFromPgn(database, message, decoded, report)) {
        table_.merge(report, now);
    } else if (nmea0183FixMs_ < 0 || now - nmea0183FixMs_ > kNmea0183FixHeldMs) {
        targets::applyPgnFix(database, decoded, table_, now);
    }
}

// Between refreshes the table may have pushed a target out for a new one in the same
// storage; the MMSI check then falls back to a lookup.
const targets::Target* AisTargetsModel::targetAt(int row) const {
    if (row < 0 || row >= static_cast<int>(rows_.size())) {
        return nullptr;
    }
    if (row < static_cast<int>(targets_.size()) && targets_[row]->mmsi == rows_[row]) {
        return targets_[row];
    }
    return table_.find(rows_[row]);
}

void AisTargetsModel::reindex() {
    rowByMmsi_.clear();
    rowByMmsi_.reserve(static_cast<qsizetype>(rows_.size()));
    for (int i = 0; i < static_cast<int>(rows_.size()); ++i) {
        rowByMmsi_.insert(rows_[i], i);
    }
}

void AisTargetsModel::refresh() {
    table_.expire(clock_());

    // Rows of targets that left, removed back to front in runs so indices stay valid.
    bool changed = false;
    for (int end = static_cast<int>(rows_.size()); end > 0;) {
        if (table_.find(rows_[end - 1]) != nullptr) {
            --end;
            continue;
        }
        int first = end - 1;
        while (first > 0 && table_.find(rows_[first - 1]) == nullptr) {
            --first;
        }
        beginRemoveRows(QModelIndex(), first, end - 1);
        rows_.erase(rows_.begin() + first, rows_.begin() + end);
        endRemoveRows();
        end = first;
        changed = true;
    }
    if (changed) {
        reindex();
    }

    std::vector<quint32> added;
    table_.forEach([this, &added](const targets::Target& t) {
        if (!rowByMmsi_.contains(t.mmsi)) {
            added.push_back(t.mmsi);
        }
    });
    if (!added.empty()) {
        const int first = static_cast<int>(rows_.size());
        beginInsertRows(QModelIndex(), first, first + static_cast<int>(added.size()) - 1);
        for (quint32 mmsi : added) {
            rowByMmsi_.insert(mmsi, static_cast<int>(rows_.size()));
            rows_.push_back(mmsi);
        }
        endInsertRows();
    }
    updateRowStates();
    if (!rows_.empty()) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
    }
}

void AisTargetsModel::updateRowStates() {
    const qint64 now = clock_();
    states_.resize(rows_.size());
    targets_.resize(rows_.size());
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const targets::Target* t = table_.find(rows_[i]);
        targets_[i] = t;
        states_[i] = RowState{table_.relate(*t), table_.isStale(*t, now)};
    }
}

bool AisTargetsModel::rowLessThan(int left, int right, int column) const {
    const int known = static_cast<int>(targets_.size());
    if (left >= known || right >= known) {  // rows newer than the last refresh go last
        return left < right;
    }
    const targets::Target* a = targets_[left];
    const targets::Target* b = targets_[right];
    switch (column) {
        case Name:
            return std::strcmp(a->shipName, b->shipName) < 0;
        case Class:
            return a->targetClass < b->targetClass;
        case Type:
            return display(*a, states_[left], column).toString() <
                   display(*b, states_[right], column).toString();
        default:
            return sortKey(*a, states_[left], column) < sortKey(*b, states_[right], column);
    }
}

int AisTargetsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int AisTargetsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant AisTargetsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    static const char* const kHeaders[ColumnCount] = {
        "MMSI",     "Name",        "Class",    "Type",       "SOG (kn)",
        "COG (°)",  "Heading (°)", "Position", "Range (NM)", "Bearing (°)",
        "CPA (NM)", "TCPA (min)",  "Messages", "Age",
    };
    return section >= 0 && section < ColumnCount ? tr(kHeaders[section]) : QVariant();
}

QVariant AisTargetsModel::display(const targets::Target& t, const RowState& state,
                                  int column) const {
    const targets::Relation& relation = state.relation;
    switch (column) {
        case Mmsi:
            return QString::number(t.mmsi).rightJustified(9, QLatin1Char('0'));
        case Name:
            return QString::fromLatin1(t.shipName);
        case Class:
            return QString::fromUtf8(targets::classText(t.targetClass));
        case Type:
            return typeText(t);
        case Sog:
            return t.has(Field::Sog) ? fixed(t.number(Field::Sog), 1) : QString();
        case Cog:
            return t.has(Field::Cog) ? fixed(t.number(Field::Cog), 1) : QString();
        case Heading:
            return t.has(Field::Heading) ? fixed(t.number(Field::Heading), 0) : QString();
        case Position:
            if (!t.hasPosition()) {
                return QString();
            }
            return coordinate(t.number(Field::Latitude), 'N', 'S', 2) + QLatin1Char(' ') +
                   coordinate(t.number(Field::Longitude), 'E', 'W', 3);
        case Distance:
            return relation.hasRange ? fixed(relation.rangeBearing.rangeNm, 2) : QString();
        case Bearing:
            return relation.hasRange ? fixed(relation.rangeBearing.bearingDeg, 0) : QString();
        case Cpa:
            return relation.hasApproach ? fixed(relation.approach.cpaNm, 2) : QString();
        case Tcpa:
            return relation.hasApproach ? fixed(relation.approach.tcpaMin, 1) : QString();
        case Messages:
            return QString::number(t.messages);
        case Age:
            return age(clock_() - t.lastSeenMs);
        default:
            return {};
    }
}

double AisTargetsModel::sortKey(const targets::Target& t, const RowState& state, int column) const {
    const targets::Relation& relation = state.relation;
    auto number = [&t](Field f) { return t.has(f) ? t.number(f) : kBlank; };
    switch (column) {
        case Mmsi:
            return static_cast<double>(t.mmsi);
        case Sog:
            return number(Field::Sog);
        case Cog:
            return number(Field::Cog);
        case Heading:
            return number(Field::Heading);
        case Position:
            return number(Field::Latitude);
        case Distance:
            return relation.hasRange ? relation.rangeBearing.rangeNm : kBlank;
        case Bearing:
            return relation.hasRange ? relation.rangeBearing.bearingDeg : kBlank;
        case Cpa:
            return relation.hasApproach ? relation.approach.cpaNm : kBlank;
        case Tcpa:
            return relation.hasApproach ? relation.approach.tcpaMin : kBlank;
        case Messages:
            return static_cast<double>(t.messages);
        case Age:
            return static_cast<double>(-t.lastSeenMs);
        default:
            return 0.0;
    }
}

QVariant AisTargetsModel::data(const QModelIndex& index, int role) const {
    const targets::Target* t = index.isValid() ? targetAt(index.row()) : nullptr;
    if (t == nullptr) {
        return {};
    }
    static const RowState kUnknown;
    const RowState& state =
        index.row() < static_cast<int>(states_.size()) ? states_[index.row()] : kUnknown;
    switch (role) {
        case Qt::DisplayRole:
            return display(*t, state, index.column());
        case SortRole:
            return sortKey(*t, state, index.column());
        case MmsiRole:
            return t->mmsi;
        case Qt::ForegroundRole:
            if (state.stale) {
                return QBrush(QColor(0x90, 0x90, 0x90));
            }
            return {};
        case Qt::BackgroundRole:
            if (state.relation.dangerous) {
                return QBrush(QColor(0xff, 0xc8, 0xc8));
            }
            if (t->flags != 0) {
                return QBrush(QColor(0xff, 0xf0, 0xc0));
            }
            return {};
        case Qt::TextAlignmentRole:
            if (index.column() == Name || index.column() == Class || index.column() == Type ||
                index.column() == Position) {
                return {};
            }
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        default:
            return {};
    }
}
