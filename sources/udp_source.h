// A UDP listener: every datagram that reaches the port is delivered. A datagram holds
// whole sentences, so one that lacks a final line end gets one: its last sentence is
// complete and nothing of the next datagram is glued to it. A multicast address joins
// that group; any other address binds to it (broadcasts arrive on the any-address).
#pragma once

#include <QHostAddress>

#include "sources/source.h"

class QUdpSocket;

namespace sources {

class UdpSource : public Source {
    Q_OBJECT

public:
    // A null address listens on every interface. Port 0 takes a free port (tests).
    UdpSource(QHostAddress address, quint16 port, QObject* parent = nullptr);
    ~UdpSource() override;

    bool open() override;
    void close() override;
    QString description() const override;
    QString statusText(State state, const QString& reason) const override;
    quint16 boundPort() const;

    static constexpr qsizetype kBytesPerTurn = 64 * 1024;

private:
    void readDatagrams();

    QHostAddress address_;
    quint16 port_;
    QUdpSocket* socket_ = nullptr;
};

}  // namespace sources
