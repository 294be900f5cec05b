#include "serial/open_failure.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "serial/simulator_ports.h"

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("OpenFailure", text);
}

}  // namespace

QString openFailureDetails(QSerialPort::SerialPortError error, const QString& systemReason,
                           PortPlatform platform) {
    QString details = systemReason.trimmed();
    if (error == QSerialPort::PermissionError && platform == PortPlatform::Unix) {
        const QString hint =
            tr("Serial ports belong to the dialout group: add your user to it "
               "(sudo usermod -aG dialout $USER) and log in again.");
        details = details.isEmpty() ? hint : details + QLatin1Char('\n') + hint;
    }
    return details;
}

QString refusalToOpen(const QString& deviceName) {
    if (isPublishedSimulatorLink(deviceName) && !simulatorLinkIsLive(deviceName)) {
        return tr("the simulator that published this port is no longer running");
    }
    return QString();
}
