#include "app/ais_targets_dock.h"

#include <QComboBox>
#include <QDateTime>
#include <QHeaderView>
#include <QLabel>
#include <QSettings>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ais/layout.h"
#include "ais/records.h"
#include "app/plan_view.h"
#include "app/plot/plot_menu.h"
#include "app/target_sort_proxy.h"
#include "targets/target_fields.h"

AisTargetsDock::AisTargetsDock(QWidget* parent)
    : AisTargetsDock(
          storedSettings(), [] { return QDateTime::currentMSecsSinceEpoch(); }, parent) {}

AisTargetsDock::AisTargetsDock(const targets::TableSettings& settings, AisTargetsModel::Clock clock,
                               QWidget* parent)
    : QDockWidget(tr("AIS Targets"), parent) {
    setObjectName(QStringLiteral("aisTargetsDock"));
    setAccessibleName(tr("AIS Targets"));
    model_ = new AisTargetsModel(settings, std::move(clock), this);
    proxy_ = new TargetSortProxy(model_, this);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setAccessibleName(tr("AIS targets and plan view"));
    auto* left = new QSplitter(Qt::Vertical, splitter);
    left->setAccessibleName(tr("AIS target table and details"));

    table_ = new QTableView(left);
    table_->setAccessibleName(tr("AIS target table"));
    table_->setModel(proxy_);
    table_->setSortingEnabled(true);
    table_->sortByColumn(AisTargetsModel::Mmsi, Qt::AscendingOrder);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->setVisible(false);
    table_->verticalHeader()->setDefaultSectionSize(20);
    table_->horizontalHeader()->setStretchLastSection(true);
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { onCurrentRowChanged(current); });

    details_ = new QTableWidget(0, 3, left);
    details_->setAccessibleName(tr("AIS target details"));
    details_->setHorizontalHeaderLabels({tr("Field"), tr("Value"), tr("From message")});
    details_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    details_->verticalHeader()->setVisible(false);
    details_->horizontalHeader()->setStretchLastSection(true);
    addPlotMenu(
        details_, [this](int row) { return detailIsNumber(row); },
        [this](int row) { plotDetail(row); });

    auto* right = new QWidget(splitter);
    right->setAccessibleName(tr("AIS plan view with range"));
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rangeBox_ = new QComboBox(right);
    rangeBox_->setAccessibleName(tr("Plan view range"));
    for (double nm : PlanView::ranges()) {
        rangeBox_->addItem(tr("%1 NM").arg(nm), nm);
    }
    plan_ = new PlanView(model_, right);
    rangeBox_->setCurrentIndex(rangeBox_->findData(plan_->range()));
    rightLayout->addWidget(rangeBox_);
    rightLayout->addWidget(plan_, 1);
    connect(rangeBox_, &QComboBox::currentIndexChanged, this,
            [this](int index) { plan_->setRange(rangeBox_->itemData(index).toDouble()); });
    connect(plan_, &PlanView::rangeChanged, this,
            [this](double nm) { rangeBox_->setCurrentIndex(rangeBox_->findData(nm)); });
    connect(plan_, &PlanView::targetClicked, this, &AisTargetsDock::selectMmsi);

    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    setWidget(splitter);

    refreshTimer_.setInterval(kRefreshIntervalMs);
    connect(&refreshTimer_, &QTimer::timeout, this, &AisTargetsDock::refresh);
    refreshTimer_.start();
}

targets::TableSettings AisTargetsDock::storedSettings() {
    QSettings stored(QStringLiteral("Tidewright"), QStringLiteral("Tidewright"));
    targets::TableSettings settings;
    auto minutes = [&stored](const char* key, std::int64_t fallbackMs) {
        const double value = stored.value(QLatin1String(key), fallbackMs / 60000.0).toDouble();
        return value > 0 ? static_cast<std::int64_t>(value * 60000.0) : fallbackMs;
    };
    settings.staleAfterMs = minutes("targets/staleMinutes", settings.staleAfterMs);
    settings.removeAfterMs = minutes("targets/removeMinutes", settings.removeAfterMs);
    settings.cpaAlarmNm =
        stored.value(QStringLiteral("targets/cpaAlarmNm"), settings.cpaAlarmNm).toDouble();
    settings.tcpaAlarmMin =
        stored.value(QStringLiteral("targets/tcpaAlarmMinutes"), settings.tcpaAlarmMin).toDouble();
    return settings;
}

void AisTargetsDock::addAisRecord(int messageType, const void* record, bool ownShip) {
    model_->addAisRecord(messageType, record, ownShip);
    if (messageType != 8) {
        return;
    }
    const auto& met = *static_cast<const ais::AisMessage8*>(record);
    if (met.met_hydro == '1' || met.met_hydro == '2') {
        metValues_.insert(met.mmsi, present::aisScaledRows(*ais::aisLayoutFor(8), record));
    }
}

void AisTargetsDock::refresh() {
    model_->refresh();
    for (auto it = metValues_.begin(); it != metValues_.end();) {
        it = model_->table().find(it.key()) == nullptr ? metValues_.erase(it) : std::next(it);
    }
    proxy_->sort(table_->horizontalHeader()->sortIndicatorSection(),
                 table_->horizontalHeader()->sortIndicatorOrder());
    if (selected_ != 0 && model_->table().find(selected_) == nullptr) {
        selected_ = 0;
        plan_->setSelectedMmsi(0);
    }
    showDetails();
    plan_->requestRepaint();
    emit refreshed();
}

bool AisTargetsDock::detailIsNumber(int row) const {
    const QTableWidgetItem* value = details_->item(row, 1);
    bool number = false;
    // MMSI, class and message count (the first rows) are not values over time.
    if (selected_ != 0 && row >= 3 && value != nullptr) {
        value->text().section(QLatin1Char(' '), 0, 0).toDouble(&number);
    }
    return number;
}

bool AisTargetsDock::plotDetail(int row) {
    if (!detailIsNumber(row)) {
        return false;
    }
    emit plotRequested(selected_, details_->item(row, 0)->text());
    return true;
}

void AisTargetsDock::selectMmsi(quint32 mmsi) {
    const int row = model_->rowOf(mmsi);
    if (row < 0) {
        return;
    }
    const QModelIndex index = proxy_->mapFromSource(model_->index(row, 0));
    table_->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    table_->scrollTo(index);
}

void AisTargetsDock::onCurrentRowChanged(const QModelIndex& current) {
    selected_ = current.isValid() ? current.data(AisTargetsModel::MmsiRole).toUInt() : 0;
    plan_->setSelectedMmsi(selected_);
    showDetails();
}

void AisTargetsDock::showDetails() {
    const targets::Target* t = selected_ ? model_->table().find(selected_) : nullptr;
    if (t == nullptr) {
        details_->setRowCount(0);
        return;
    }
    struct Row {
        QString label, value, source;
    };
    QList<Row> rows;
    rows.append({tr("MMSI"), QString::number(t->mmsi), QString()});
    rows.append({tr("Class"), QString::fromUtf8(targets::classText(t->targetClass)), QString()});
    rows.append({tr("Messages"), QString::number(t->messages), QString()});
    char text[64];
    for (const targets::TargetFieldInfo& info : targets::kTargetFields) {
        const targets::Slot& slot = t->slot(info.field);
        if (!slot.known) {
            continue;
        }
        targets::formatField(*t, info, text, sizeof text);
        rows.append({tr(info.label), QString::fromUtf8(text), QString::number(slot.source)});
    }
    const auto met = metValues_.constFind(t->mmsi);
    if (met != metValues_.cend()) {
        for (const present::NamedReadableRow& value : *met) {
            // "air_temperature" reads "Air temperature".
            QString label = value.name;
            label.replace(QLatin1Char('_'), QLatin1Char(' '));
            label[0] = label[0].toUpper();
            rows.append({label, value.row.value, QStringLiteral("8")});
        }
    }
    QStringList flags;
    if (t->flags & targets::kFlagBadMmsi) {
        flags << tr("MMSI out of range");
    }
    if (t->flags & targets::kFlagBadPosition) {
        flags << tr("position off the globe received");
    }
    if (t->flags & targets::kFlagChangingStatic) {
        flags << tr("identity keeps changing");
    }
    if (!flags.isEmpty()) {
        rows.append({tr("Warnings"), flags.join(QStringLiteral("; ")), QString()});
    }
    details_->setRowCount(static_cast<int>(rows.size()));
    for (int i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        const QString cells[] = {row.label, row.value, row.source};
        for (int c = 0; c < 3; ++c) {
            QTableWidgetItem* item = details_->item(i, c);
            if (item == nullptr) {
                details_->setItem(i, c, new QTableWidgetItem(cells[c]));
            } else if (item->text() != cells[c]) {
                item->setText(cells[c]);
            }
        }
    }
}
