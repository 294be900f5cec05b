#include "app/devices/devices_dock.h"

#include <QHeaderView>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTableView>
#include <QTableWidget>

#include "app/devices/devices_model.h"

namespace {

QString text(const std::string& value) {
    return QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()));
}

}  // namespace

DevicesDock::DevicesDock(std::function<qint64()> clock, QWidget* parent)
    : QDockWidget(tr("Devices"), parent),
      clock_(std::move(clock)),
      model_(new DevicesModel(&registry_, this)) {
    setObjectName(QStringLiteral("devicesDock"));
    setAccessibleName(tr("Devices"));
    setAccessibleDescription(tr("NMEA 2000 devices heard on the bus"));
    sorted_ = new QSortFilterProxyModel(this);
    sorted_->setSourceModel(model_);
    sorted_->setSortRole(DevicesModel::SortRole);
    sorted_->setDynamicSortFilter(true);

    table_ = new QTableView(this);
    table_->setAccessibleName(tr("Devices on the bus"));
    table_->setModel(sorted_);
    table_->setSortingEnabled(true);
    table_->sortByColumn(DevicesModel::Address, Qt::AscendingOrder);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);

    detail_ = new QTableWidget(0, 2, this);
    detail_->setAccessibleName(tr("Selected device"));
    detail_->setHorizontalHeaderLabels({tr("Property"), tr("Value")});
    detail_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    detail_->verticalHeader()->hide();
    detail_->horizontalHeader()->setStretchLastSection(true);

    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(table_);
    split->addWidget(detail_);
    setWidget(split);

    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { showDetail(); });
    timer_.setInterval(kRefreshMs);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (isVisible()) {
            refresh();
        }
    });
    timer_.start();
}

void DevicesDock::note(const n2k::Message& message, const n2k::DecodedPgn& decoded,
                       const n2k::PgnDatabase& database) {
    registry_.note(message, decoded, database, clock_());
}

void DevicesDock::clear() {
    registry_.clear();
    refresh();
}

void DevicesDock::showEvent(QShowEvent* event) {
    QDockWidget::showEvent(event);
    refresh();
}

void DevicesDock::refresh() {
    model_->refresh();
    showDetail();
}

void DevicesDock::showDetail() {
    const QModelIndex current = table_->currentIndex();
    const devices::Device* d =
        current.isValid() ? model_->device(sorted_->mapToSource(current).row()) : nullptr;
    QList<QPair<QString, QString>> rows;
    if (d != nullptr) {
        rows.append({tr("Address"), QString::number(d->address)});
        if (d->claimed) {
            rows.append({tr("NAME"), text(devices::DeviceRegistry::nameText(d->name))});
            rows.append({tr("Unique number"), QString::number(d->uniqueNumber)});
            rows.append({tr("Manufacturer"), text(d->manufacturer)});
            rows.append({tr("Device class"), text(d->deviceClass)});
            rows.append({tr("Device function"), text(d->deviceFunction)});
            rows.append({tr("Device instance"), QString::number(d->deviceInstance)});
            rows.append({tr("System instance"), QString::number(d->systemInstance)});
        }
        const QString claim = DevicesModel::claimText(*d);
        if (!claim.isEmpty()) {
            rows.append({tr("Address claim"), claim});
        }
        if (d->hasProduct) {
            rows.append({tr("Model"), text(d->model)});
            rows.append({tr("Product code"), QString::number(d->productCode)});
            rows.append({tr("Software version"), text(d->softwareVersion)});
            rows.append({tr("Model version"), text(d->modelVersion)});
            rows.append({tr("Serial code"), text(d->serialCode)});
            rows.append({tr("Certification level"), text(d->certificationLevel)});
        }
        if (d->hasConfiguration) {
            rows.append({tr("Installation 1"), text(d->installation1)});
            rows.append({tr("Installation 2"), text(d->installation2)});
            rows.append({tr("Manufacturer information"), text(d->manufacturerInformation)});
        }
        for (const devices::PgnTraffic& pgn : d->pgns) {
            rows.append({tr("PGN %1 %2").arg(pgn.pgn).arg(text(pgn.description)),
                         tr("%1/s (%2 heard)")
                             .arg(devices::DeviceRegistry::rate(pgn), 0, 'f', 1)
                             .arg(pgn.count)});
        }
    }
    detail_->setRowCount(static_cast<int>(rows.size()));
    for (int i = 0; i < rows.size(); ++i) {
        for (int column = 0; column < 2; ++column) {
            const QString& value = column == 0 ? rows[i].first : rows[i].second;
            QTableWidgetItem* item = detail_->item(i, column);
            if (item == nullptr) {
                detail_->setItem(i, column, new QTableWidgetItem(value));
            } else if (item->text() != value) {
                item->setText(value);
            }
        }
    }
}
