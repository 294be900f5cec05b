// The line settings chosen in the setup dialog and the name of the chosen port.
// Written on the GUI thread by the setup dialog; read by the port opening and,
// while a scan runs (before the dialog can write), by the detection thread.
#pragma once

#include <QSerialPort>
#include <QString>

struct PortSettings {
    qint32 BaudRate;
    QSerialPort::DataBits DataBits;
    QSerialPort::Parity Parity;
    QSerialPort::StopBits StopBits;
    QSerialPort::FlowControl FlowControl;
    long Timeout_Millisec;
};

// 8N1 without flow control at the given speed, as every NMEA 0183 talker uses.
PortSettings nmeaPortSettings(qint32 baudRate, long timeoutMillisec = 500);

// The settings a port is opened with before any setup was accepted.
PortSettings initialPortSettings();

// Applies speed and framing to a port object (before or after it is opened).
void applyPortSettings(QSerialPort& port, const PortSettings& settings);

extern PortSettings portSettings;
extern QString comName;
