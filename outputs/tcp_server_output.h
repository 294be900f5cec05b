// Serves the stream to every TCP client that connects. Lines gathered in one batch go
// to each client in one write. A client whose queue would pass 256 KB has stopped
// reading: it is dropped, never waited for, and the others go on.
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>

#include "outputs/output.h"

class QTcpServer;
class QTcpSocket;

namespace outputs {

class TcpServerOutput : public Output {
    Q_OBJECT

public:
    // A null address listens on every interface; port 0 takes a free port (tests).
    TcpServerOutput(QHostAddress address, quint16 port, QObject* parent = nullptr);
    ~TcpServerOutput() override;

    bool open() override;
    void close() override;
    void write(QByteArrayView line) override;
    void flush() override;
    QString description() const override;
    quint16 serverPort() const;

    static constexpr qint64 kMaxQueuedBytes = 256 * 1024;

private:
    void accept();
    void forget(QTcpSocket* client);

    QHostAddress address_;
    quint16 port_;
    QTcpServer* server_ = nullptr;
    QList<QTcpSocket*> clients_;
    QByteArray pending_;
    qint64 pendingLines_ = 0;
};

}  // namespace outputs
