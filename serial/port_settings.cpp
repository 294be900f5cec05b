#include "serial/port_settings.h"

#include "serial/line_speeds.h"

PortSettings nmeaPortSettings(qint32 baudRate, long timeoutMillisec) {
    return PortSettings{baudRate,
                        QSerialPort::Data8,
                        QSerialPort::NoParity,
                        QSerialPort::OneStop,
                        QSerialPort::NoFlowControl,
                        timeoutMillisec};
}

PortSettings initialPortSettings() {
    return nmeaPortSettings(4800, 50);
}

void applyPortSettings(QSerialPort& port, const PortSettings& settings) {
    // The automatic search is no speed of its own: a port starts at its first speed.
    port.setBaudRate(settings.BaudRate == kAutoBaud ? kAutoSearchOrder.front() : settings.BaudRate);
    port.setDataBits(settings.DataBits);
    port.setStopBits(settings.StopBits);
    port.setParity(settings.Parity);
    port.setFlowControl(settings.FlowControl);
}

PortSettings portSettings = initialPortSettings();
QString comName = QStringLiteral("COM1");
