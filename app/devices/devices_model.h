// The devices on the NMEA 2000 bus as a table: address, NAME, manufacturer, class,
// function, model, software, serial code, PGNs sent and what the address claims tell
// (moved, contended). Reads the registry when refreshed.
#pragma once

#include "app/appending_table_model.h"

#include "devices/device_registry.h"

class DevicesModel : public AppendingTableModel {
    Q_OBJECT

public:
    enum Column {
        Address,
        Manufacturer,
        Class,
        Function,
        Model,
        Software,
        Serial,
        Pgns,
        Claim,
        ColumnCount
    };
    static constexpr int SortRole = Qt::UserRole;

    explicit DevicesModel(const devices::DeviceRegistry* registry, QObject* parent = nullptr);

    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void refresh();
    const devices::Device* device(int row) const;
    // What the address claims say: "moved from 12", "moved to 20", "also claimed by …".
    static QString claimText(const devices::Device& device);

private:
    const devices::DeviceRegistry* registry_;
    std::uint64_t generation_ = 0;
};
