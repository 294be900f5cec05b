// A serial port as a source. How the port is named and configured stays with the
// caller (the setup's device naming and line settings), so this wrapper adds nothing
// to what opening a port always did: open read-only, announce whatever the port
// reads, and report the port's own errors as a lost link with the system's reason.
#pragma once

#include <QSerialPort>
#include <functional>

#include "sources/source.h"

namespace sources {

class SerialSource : public Source {
    Q_OBJECT

public:
    // configure names the device and sets the line before the port is opened.
    SerialSource(QString portName, std::function<void(QSerialPort&)> configure,
                 QObject* parent = nullptr);
    ~SerialSource() override;

    bool open() override;
    void close() override;
    QString description() const override { return portName_; }
    QString statusText(State state, const QString& reason) const override;
    // The port itself, for whoever watches it for losses; null while closed.
    QSerialPort* port() const { return port_; }

private:
    void readAvailable();
    void portError(QSerialPort::SerialPortError error);

    QString portName_;
    std::function<void(QSerialPort&)> configure_;
    QSerialPort* port_ = nullptr;
};

}  // namespace sources
