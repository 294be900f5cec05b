#include "serial/device_list_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "serial/port_naming.h"

namespace {

QString hexId(bool known, quint16 id) {
    return known ? QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0')) : QString();
}

}  // namespace

QStringList deviceListHeaders() {
    return {QObject::tr("Port"),          QObject::tr("Description"), QObject::tr("Manufacturer"),
            QObject::tr("Serial number"), QObject::tr("Vendor ID"),   QObject::tr("Product ID")};
}

QList<QStringList> deviceListRows(const QList<QSerialPortInfo>& ports) {
    QList<QSerialPortInfo> sorted = ports;
    std::sort(sorted.begin(), sorted.end(), [](const QSerialPortInfo& a, const QSerialPortInfo& b) {
        return naturalLess(a.portName(), b.portName());
    });
    QList<QStringList> rows;
    for (const QSerialPortInfo& port : sorted) {
        rows.append({port.portName(), port.description(), port.manufacturer(), port.serialNumber(),
                     hexId(port.hasVendorIdentifier(), port.vendorIdentifier()),
                     hexId(port.hasProductIdentifier(), port.productIdentifier())});
    }
    return rows;
}

deviceListDialog::deviceListDialog(QWidget* parent)
    : QDialog(parent), ports(new QTableWidget(this)) {
    setWindowTitle(tr("Serial Ports"));
    const QStringList headers = deviceListHeaders();
    const QList<QStringList> rows = deviceListRows(QSerialPortInfo::availablePorts());
    ports->setColumnCount(static_cast<int>(headers.size()));
    ports->setHorizontalHeaderLabels(headers);
    ports->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows[r].size(); ++c) {
            ports->setItem(r, c, new QTableWidgetItem(rows[r][c]));
        }
    }
    ports->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ports->verticalHeader()->hide();
    ports->horizontalHeader()->setStretchLastSection(true);
    ports->resizeColumnsToContents();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ports);
    layout->addWidget(buttons);
    resize(640, 240);
}
