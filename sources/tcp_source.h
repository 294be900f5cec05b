// A TCP client reading the stream of a multiplexer or gateway. It never writes. A
// connection that fails or is lost is tried again after a back-off that doubles from
// one second up to ten, until the source is closed.
#pragma once

#include <QAbstractSocket>
#include <QTimer>

#include "sources/source.h"

class QTcpSocket;

namespace sources {

class TcpSource : public Source {
    Q_OBJECT

public:
    TcpSource(QString host, quint16 port, QObject* parent = nullptr);
    ~TcpSource() override;

    // Starts connecting; the outcome arrives as state changes. Always true: a peer
    // that is not there yet is waited for.
    bool open() override;
    void close() override;
    QString description() const override;

    // The wait before connection attempt `failures` + 1, after `failures` failed or
    // lost connections in a row: 1, 2, 4, 8, then 10 units. A unit is a second; tests
    // shorten it.
    static int retryDelay(int failures, int unitMs = 1000);
    qint64 bytesPending() const override;
    void setRetryUnit(int ms) { retryUnitMs_ = ms; }

    // Bytes the socket holds at most before it stops reading: past it the kernel's
    // window fills and the sender slows down, so a flood cannot pile up in memory.
    static constexpr qint64 kReadBufferBytes = 256 * 1024;
    // Bytes delivered at once at most.
    static constexpr qint64 kChunkBytes = 16 * 1024;

private:
    void connectNow();
    void linkDown(const QString& reason);
    void readAvailable();

    QString host_;
    quint16 port_;
    QTcpSocket* socket_ = nullptr;
    QTimer retryTimer_;
    int failures_ = 0;
    int retryUnitMs_ = 1000;
    bool drainPending_ = false;
};

}  // namespace sources
