// A read-only list of the serial ports the system reports, with what it knows
// about each device; stands in for the Windows device manager elsewhere.
#pragma once

#include <QDialog>
#include <QList>
#include <QSerialPortInfo>
#include <QStringList>

class QTableWidget;

// One table row per port: port, description, manufacturer, serial number,
// vendor ID, product ID (IDs as four hex digits, empty when unknown).
QStringList deviceListHeaders();
QList<QStringList> deviceListRows(const QList<QSerialPortInfo>& ports);

class deviceListDialog : public QDialog {
    Q_OBJECT

public:
    explicit deviceListDialog(QWidget* parent = nullptr);

private:
    QTableWidget* ports;
};
