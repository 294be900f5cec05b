// A serial port as a source: the port opened read-only with the settings the caller
// gives, watched for its loss (an adapter unplugged, the other end of a
// pseudo-terminal closed) and opened again every second until it comes back.
#pragma once

#include <QSerialPort>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>

#include "sources/source.h"

class PortWatch;

namespace sources {

class SerialSource : public Source {
    Q_OBJECT

public:
    // Longest time received bytes wait before they are handed on ...
    static constexpr int kGatherMs = 250;
    // ... unless one read finds this many: a backlog the line piled up, which a talker
    // at 38400 baud takes a quarter of a second to send.
    static constexpr qint64 kHandOnBytes = 1024;

    // configure names the device and sets the line before the port is opened.
    SerialSource(QString portName, std::function<void(QSerialPort&)> configure,
                 QObject* parent = nullptr);
    ~SerialSource() override;

    bool open() override;
    void close() override;
    QString description() const override { return portName_; }
    QString statusText(State state, const QString& reason) const override;
    // The port itself, for whoever tunes it; null while closed or lost.
    QSerialPort* port() const { return port_; }
    // Why the last open failed, as the port reported it.
    QSerialPort::SerialPortError openError() const { return openError_; }
    PortWatch* watch() const { return watch_; }
    qint64 bytesPending() const override;

protected:
    // Overruns and framing errors, where the driver counts them (a pseudo-terminal
    // does not).
    void pollCounters() override;

private:
    QSerialPort* openPort(QString& reason);
    void adopt(QSerialPort* port);
    void readAvailable();
    void handOn();

    QString portName_;
    std::function<void(QSerialPort&)> configure_;
    QSerialPort* port_ = nullptr;
    QSerialPort::SerialPortError openError_ = QSerialPort::NoError;
    PortWatch* watch_;
    // Reads are taken together: at high rates many small reads share one parse step.
    QTimer gather_;
    // The driver's counts at the last look: they run since the device appeared, and
    // only what happened while we listened is ours. None where the driver keeps none.
    struct LineErrors {
        quint64 overruns = 0;
        quint64 framing = 0;
    };
    static std::optional<LineErrors> driverCounts(QSerialPort* port);
    std::optional<LineErrors> driverBase_;
};

}  // namespace sources
