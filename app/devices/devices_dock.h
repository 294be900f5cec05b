// The "Devices" dock: every NMEA 2000 source address heard, with what its address
// claim, product and configuration information say, sortable by any column; below it
// the selected device in full, with the PGNs it sends and their rates. The window's
// sink hands it every PGN; it redraws a few times a second while visible.
#pragma once

#include <QDockWidget>
#include <QTimer>
#include <functional>

#include "devices/device_registry.h"

class DevicesModel;
class QSortFilterProxyModel;
class QTableView;
class QTableWidget;

class DevicesDock : public QDockWidget {
    Q_OBJECT

public:
    static constexpr int kRefreshMs = 1000;

    // `clock`: milliseconds on a monotonic clock (the line health's, so tests can drive it).
    explicit DevicesDock(std::function<qint64()> clock, QWidget* parent = nullptr);

    void note(const n2k::Message& message, const n2k::DecodedPgn& decoded,
              const n2k::PgnDatabase& database);
    const devices::DeviceRegistry& registry() const { return registry_; }
    DevicesModel* model() const { return model_; }
    QTableView* deviceView() const { return table_; }
    QTableWidget* detailView() const { return detail_; }

public slots:
    void clear();
    void refresh();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showDetail();

    std::function<qint64()> clock_;
    devices::DeviceRegistry registry_;
    DevicesModel* model_;
    QSortFilterProxyModel* sorted_;
    QTableView* table_;
    QTableWidget* detail_;
    QTimer timer_;
};
