#include "serial/port_settings.h"

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
    port.setBaudRate(settings.BaudRate);
    port.setDataBits(settings.DataBits);
    port.setStopBits(settings.StopBits);
    port.setParity(settings.Parity);
    port.setFlowControl(settings.FlowControl);
}

PortSettings portSettings = initialPortSettings();
QString comName = QStringLiteral("COM1");
