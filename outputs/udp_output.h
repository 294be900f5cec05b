// Sends the stream as UDP datagrams to one host, a broadcast address or a multicast
// group. A datagram holds whole lines only and never more than 1,400 bytes, so it
// crosses any network without being cut up. The port it sends from is known to the
// UDP sources, which never read its datagrams back.
#pragma once

#include <QByteArray>
#include <QHostAddress>

#include "outputs/output.h"

class QUdpSocket;

namespace outputs {

class UdpOutput : public Output {
    Q_OBJECT

public:
    UdpOutput(QHostAddress destination, quint16 port, int ttl, QObject* parent = nullptr);
    ~UdpOutput() override;

    bool open() override;
    void close() override;
    void write(QByteArrayView line) override;
    void flush() override;
    QString description() const override;
    quint16 localPort() const;

    static constexpr qsizetype kMaxDatagram = 1400;

private:
    void send();

    QHostAddress destination_;
    quint16 port_;
    int ttl_;
    QUdpSocket* socket_ = nullptr;
    quint16 boundPort_ = 0;
    QByteArray datagram_;
    qint64 datagramLines_ = 0;
};

}  // namespace outputs
