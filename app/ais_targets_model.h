// The AIS targets as a table model: one row per MMSI. Decoded messages merge into the
// target table as they arrive (cheap, no signals); refresh() ages the table and brings
// the rows up to date, so the view costs the same whether 5 or 500 messages arrived
// since the last refresh.
#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <functional>
#include <vector>

#include "targets/target_table.h"

namespace n2k {
struct Message;
struct DecodedPgn;
class PgnDatabase;
}  // namespace n2k

class AisTargetsModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column {
        Mmsi,
        Name,
        Class,
        Type,
        Sog,
        Cog,
        Heading,
        Position,
        Distance,
        Bearing,
        Cpa,
        Tcpa,
        Messages,
        Age,
        ColumnCount
    };
    // Numbers to sort by (blank values sort last); the MMSI of a row.
    static constexpr int SortRole = Qt::UserRole;
    static constexpr int MmsiRole = Qt::UserRole + 1;

    using Clock = std::function<qint64()>;
    AisTargetsModel(const targets::TableSettings& settings, Clock clock, QObject* parent = nullptr);

    void addAisRecord(int messageType, const void* record, bool ownShip);
    void addSentenceRecord(int code, const void* record);
    // AIS PGNs join the same table; own ship's NMEA 2000 fixes count only while no
    // NMEA 0183 fix was heard for a while.
    void addPgn(const n2k::PgnDatabase& database, const n2k::Message& message,
                const n2k::DecodedPgn& decoded);
    static constexpr qint64 kNmea0183FixHeldMs = 10000;
    // Expires silent targets, removes their rows, adds rows for new targets and
    // marks every row changed.
    void refresh();

    const targets::TargetTable& table() const { return table_; }
    qint64 now() const { return clock_(); }
    // The row of an MMSI in this model, -1 when it has none.
    int rowOf(quint32 mmsi) const { return rowByMmsi_.value(mmsi, -1); }
    const targets::Target* targetAt(int row) const;
    // True when `left` sorts before `right` by `column`, read from the values worked
    // out at the last refresh: sorting 20,000 rows must not go through QVariant.
    bool rowLessThan(int left, int right, int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    // What a row shows that depends on own ship and the clock, worked out once per
    // refresh for every row.
    struct RowState {
        targets::Relation relation;
        bool stale = false;
    };

    QVariant display(const targets::Target& target, const RowState& state, int column) const;
    double sortKey(const targets::Target& target, const RowState& state, int column) const;
    void reindex();
    void updateRowStates();

    targets::TargetTable table_;
    Clock clock_;
    qint64 nmea0183FixMs_ = -1;  // when an NMEA 0183 fix was last heard
    std::vector<quint32> rows_;
    std::vector<RowState> states_;                 // per row, as of the last refresh
    std::vector<const targets::Target*> targets_;  // per row, as of the last refresh
    QHash<quint32, int> rowByMmsi_;
};
