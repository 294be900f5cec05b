// The "AIS Targets" dock: the target table (sortable), the merged details of the
// selected target, and the plan view, with one selection shared by table and view.
#pragma once

#include <QDockWidget>
#include <QHash>
#include <QTimer>

#include "app/ais_targets_model.h"
#include "present/readable_values.h"

class QComboBox;
class QTableView;
class QTableWidget;
class PlanView;
class TargetSortProxy;

class AisTargetsDock : public QDockWidget {
    Q_OBJECT

public:
    static constexpr int kRefreshIntervalMs = 1000;

    // `clock` gives the time in milliseconds (the wall clock unless a test injects one).
    AisTargetsDock(const targets::TableSettings& settings, AisTargetsModel::Clock clock,
                   QWidget* parent = nullptr);
    explicit AisTargetsDock(QWidget* parent = nullptr);

    // The age limits and alarm thresholds kept in the user's settings.
    static targets::TableSettings storedSettings();

    // Called from the parse cycle for every decoded record.
    void addAisRecord(int messageType, const void* record, bool ownShip);
    void addSentenceRecord(int code, const void* record) {
        model_->addSentenceRecord(code, record);
    }
    void addPgn(const n2k::PgnDatabase& database, const n2k::Message& message,
                const n2k::DecodedPgn& decoded) {
        model_->addPgn(database, message, decoded);
    }

    // Ages the targets and brings table, details and plan view up to date; the dock's
    // timer calls it once a second.
    void refresh();
    void selectMmsi(quint32 mmsi);
    quint32 selectedMmsi() const { return selected_; }

    AisTargetsModel* model() const { return model_; }
    QTableView* tableView() const { return table_; }
    PlanView* planView() const { return plan_; }
    QTableWidget* detailsView() const { return details_; }
    // "Plot" on row `row` of the details: emits plotRequested with the selected MMSI
    // and the row's label when the row holds a number; false when it does not.
    bool plotDetail(int row);
    bool detailIsNumber(int row) const;

signals:
    void plotRequested(quint32 mmsi, const QString& label);
    // After every refresh, for listeners that sample the targets.
    void refreshed();

private:
    void showDetails();
    void onCurrentRowChanged(const QModelIndex& current);

    AisTargetsModel* model_;
    TargetSortProxy* proxy_;
    QTableView* table_;
    QTableWidget* details_;
    PlanView* plan_;
    QComboBox* rangeBox_;
    QTimer refreshTimer_;
    quint32 selected_ = 0;
    // The latest weather and sea values of each station that sent them (message 8),
    // shown in its details; kept only while the station is a target.
    QHash<quint32, QList<present::NamedReadableRow>> metValues_;
};
