#include "app/devices/devices_model.h"

#include <QStringList>

namespace {

QString text(const std::string& value) {
    return QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()));
}

}  // namespace

DevicesModel::DevicesModel(const devices::DeviceRegistry* registry, QObject* parent)
    : AppendingTableModel(parent), registry_(registry) {}

int DevicesModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DevicesModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const char* const kTitles[ColumnCount] = {
        QT_TR_NOOP("Address"),     QT_TR_NOOP("Manufacturer"), QT_TR_NOOP("Class"),
        QT_TR_NOOP("Function"),    QT_TR_NOOP("Model"),        QT_TR_NOOP("Software"),
        QT_TR_NOOP("Serial code"), QT_TR_NOOP("PGNs"),         QT_TR_NOOP("Address claim")};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= ColumnCount) {
        return {};
    }
    return tr(kTitles[section]);
}

QString DevicesModel::claimText(const devices::Device& device) {
    QStringList parts;
    if (!device.claimed) {
        parts << tr("no claim heard");
    }
    if (device.previousAddress >= 0) {
        parts << tr("moved from %1").arg(device.previousAddress);
    }
    if (device.movedTo >= 0) {
        parts << tr("moved to %1").arg(device.movedTo);
    }
    for (const std::uint64_t name : device.otherNames) {
        parts << tr("also claimed by %1").arg(text(devices::DeviceRegistry::nameText(name)));
    }
    return parts.join(QStringLiteral("; "));
}

const devices::Device* DevicesModel::device(int row) const {
    const auto& all = registry_->inArrivalOrder();
    return row >= 0 && row < rows_ && row < int(all.size()) ? &all[static_cast<std::size_t>(row)]
                                                            : nullptr;
}

QVariant DevicesModel::data(const QModelIndex& index, int role) const {
    const devices::Device* d = index.isValid() ? device(index.row()) : nullptr;
    if (d == nullptr) {
        return {};
    }
    if (role == SortRole && index.column() == Address) {
        return d->address;
    }
    if (role == SortRole && index.column() == Pgns) {
        return qulonglong(d->pgns.size());
    }
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole && role != SortRole) {
        return {};
    }
    switch (index.column()) {
        case Address:
            return QString::number(d->address);
        case Manufacturer:
            return text(d->manufacturer);
        case Class:
            return text(d->deviceClass);
        case Function:
            return text(d->deviceFunction);
        case Model:
            return text(d->model);
        case Software:
            return text(d->softwareVersion);
        case Serial:
            return text(d->serialCode);
        case Pgns:
            return QString::number(d->pgns.size());
        case Claim:
            return claimText(*d);
    }
    return {};
}

void DevicesModel::refresh() {
    if (registry_->generation() == generation_) {
        return;
    }
    generation_ = registry_->generation();
    const int size = static_cast<int>(registry_->inArrivalOrder().size());
    followRows(size);
}
