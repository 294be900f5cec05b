// A UDP listener: every datagram that reaches the port is delivered. A datagram holds
// whole sentences, so one that lacks a final line end gets one: its last sentence is
// complete and nothing of the next datagram is glued to it. A multicast address joins
// that group; any other address binds to it (broadcasts arrive on the any-address).
//
// The socket asks for a receive buffer of a few megabytes so that a burst waits in
// the system instead of being dropped, and, on Linux, learns from every datagram how
// many the system dropped before it because that buffer was full.
#pragma once

#include <QHostAddress>

#include "sources/datagram_reader.h"
#include "sources/source.h"

namespace sources {

class UdpSource : public Source {
    Q_OBJECT

public:
    // A null address listens on every interface. Port 0 takes a free port (tests);
    // boundPort() says which.
    UdpSource(QHostAddress address, quint16 port, QObject* parent = nullptr);
    ~UdpSource() override;

    bool open() override;
    void close() override;
    QString description() const override;
    QString statusText(State state, const QString& reason) const override;
    qint64 bytesPending() const override;
    quint16 boundPort() const { return boundPort_; }
    // What the system granted for the receive buffer (Linux reports twice the
    // payload it admits, for its own bookkeeping); 0 while closed.
    int receiveBufferBytes() const { return reader_ ? reader_->receiveBufferBytes() : 0; }

    static constexpr int kReceiveBufferBytes = 4 * 1024 * 1024;

private:
    void takeDatagrams(const QByteArray& bytes, const DatagramReader::Turn& turn);

    QHostAddress address_;
    quint16 port_;
    quint16 boundPort_ = 0;
    DatagramReader* reader_ = nullptr;
};

}  // namespace sources
