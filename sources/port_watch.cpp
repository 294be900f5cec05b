#include "sources/port_watch.h"

PortWatch::PortWatch(Reopen reopenPort, QObject* parent)
    : QObject(parent), reopen(std::move(reopenPort)) {
    retryTimer.setInterval(kRetryIntervalMs);
    connect(&retryTimer, &QTimer::timeout, this, &PortWatch::retry);
}

void PortWatch::watch(QSerialPort* watched) {
    stop();
    port = watched;
    if (port) {
        connect(port, &QSerialPort::errorOccurred, this, &PortWatch::onError);
    }
}

void PortWatch::onError(QSerialPort::SerialPortError error) {
    // A resource error is the device gone, with the system's reason. A read that got
    // nothing although the line was readable is its end of file: the other end of a
    // pseudo-terminal closed. The serial library reports that as a read error whose
    // text is whatever the last system call left, so it gets a text of its own.
    if (error == QSerialPort::ResourceError) {
        reportLost(port ? port->errorString() : QString());
    } else if (error == QSerialPort::ReadError) {
        reportLost(tr("end of file (the other end closed the line)"));
    }
}

void PortWatch::reportLost(const QString& reason) {
    if (!port) {
        return;
    }
    QSerialPort* gone = port;
    port = nullptr;
    disconnect(gone, nullptr, this, nullptr);
    // Closed at once: a hung-up terminal stays readable forever and would keep the
    // event loop spinning.
    gone->close();
    retryTimer.start();
    emit lost(reason.isEmpty() ? tr("the device went away") : reason);
}

void PortWatch::stop() {
    retryTimer.stop();
    if (port) {
        disconnect(port, nullptr, this, nullptr);
    }
    port = nullptr;
}

void PortWatch::retry() {
    QString reason;
    QSerialPort* reopened = reopen(reason);
    if (!reopened) {
        return;  // still gone; the timer tries again
    }
    retryTimer.stop();
    port = reopened;
    connect(port, &QSerialPort::errorOccurred, this, &PortWatch::onError);
    emit returned(reopened);
}
