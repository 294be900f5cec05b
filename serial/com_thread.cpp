#include "serial/com_thread.h"

#include <QSerialPort>

#include "serial/port_settings.h"
#include "serial/simulator_ports.h"

myComThread::myComThread(QObject* parent)
    : myComThread(probeList(hostPortPlatform(), publishedSimulatorPorts(), systemSerialPortNames()),
                  parent) {}

myComThread::myComThread(std::vector<PortProbe> probesToRun, QObject* parent)
    : QThread(parent), probes(std::move(probesToRun)) {}

void myComThread::run() {
    emit rangeChange(0, 100);
    const int count = static_cast<int>(probes.size());
    if (count == 0) {
        emit valueChange(100);
        return;
    }
    for (int i = 0; i < count && !isInterruptionRequested(); ++i) {
        const PortProbe& probe = probes[static_cast<size_t>(i)];
        QSerialPort probePort;
        probePort.setPortName(probe.deviceName);
        applyPortSettings(probePort, portSettings);
        if (probePort.open(QIODevice::ReadOnly)) {
            emit sendIndex(probe.reportName);
            probePort.close();
        }
        emit valueChange(probeProgress(i, count));
    }
}
