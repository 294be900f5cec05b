// Watches the open port for its loss (an adapter unplugged, the other end of a
// pseudo-terminal closed) and, once lost, tries to open the same name again every
// second until it comes back or the watch is stopped (Stop, a new Setup).
#pragma once

#include <QObject>
#include <QPointer>
#include <QSerialPort>
#include <QString>
#include <QTimer>
#include <functional>

class PortWatch : public QObject {
    Q_OBJECT

public:
    // Opens the port again; the open port, or null with the reason in `reason`.
    using Reopen = std::function<QSerialPort*(QString& reason)>;

    static constexpr int kRetryIntervalMs = 1000;

    explicit PortWatch(Reopen reopen, QObject* parent = nullptr);

    // Tests shorten the wait between attempts.
    void setRetryInterval(int ms) { retryTimer.setInterval(ms); }

    // Watches this open port from now on.
    void watch(QSerialPort* port);
    // Reports the loss found by the reader (a read that hit the end of the line).
    void reportLost(const QString& reason);
    // Ends the watch and any retrying.
    void stop();
    bool retrying() const { return retryTimer.isActive(); }

signals:
    // The port is gone; it has been closed, and retrying starts.
    void lost(const QString& reason);
    // The port was opened again; it is being watched.
    void returned(QSerialPort* port);

private:
    void onError(QSerialPort::SerialPortError error);
    void retry();

    Reopen reopen;
    QPointer<QSerialPort> port;
    QTimer retryTimer;
};
