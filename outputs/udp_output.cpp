#include "outputs/udp_output.h"

#include <QUdpSocket>
#include <QVariant>

#include "sources/own_datagrams.h"

namespace outputs {

UdpOutput::UdpOutput(QHostAddress destination, quint16 port, int ttl, QObject* parent)
    : Output(parent), destination_(std::move(destination)), port_(port), ttl_(ttl) {}

UdpOutput::~UdpOutput() {
    close();
}

QString UdpOutput::description() const {
    const QString host = destination_.protocol() == QAbstractSocket::IPv6Protocol
                             ? QLatin1Char('[') + destination_.toString() + QLatin1Char(']')
                             : destination_.toString();
    return QStringLiteral("udp://%1:%2").arg(host).arg(port_);
}

quint16 UdpOutput::localPort() const {
    return boundPort_;
}

bool UdpOutput::open() {
    close();
    socket_ = new QUdpSocket(this);
    const bool v6 = destination_.protocol() == QAbstractSocket::IPv6Protocol;
    if (!socket_->bind(
            v6 ? QHostAddress(QHostAddress::AnyIPv6) : QHostAddress(QHostAddress::AnyIPv4), 0)) {
        const QString reason = socket_->errorString();
        delete socket_;
        socket_ = nullptr;
        setState(State::Failed, reason);
        return false;
    }
    if (destination_.isMulticast()) {
        socket_->setSocketOption(QAbstractSocket::MulticastTtlOption, QVariant(ttl_));
    }
    boundPort_ = socket_->localPort();
    sources::addOwnSenderPort(boundPort_);
    setState(State::Open);
    return true;
}

void UdpOutput::close() {
    datagram_.clear();
    datagramLines_ = 0;
    if (socket_) {
        sources::removeOwnSenderPort(boundPort_);
        boundPort_ = 0;
        socket_->close();
        socket_->deleteLater();
        socket_ = nullptr;
    }
    setState(State::Closed);
}

void UdpOutput::write(QByteArrayView line) {
    if (datagram_.size() + line.size() > kMaxDatagram) {
        send();
    }
    if (line.size() > kMaxDatagram) {
        ++counters().slow;  // cannot happen with framed sentences; kept whole or not at all
        return;
    }
    datagram_.append(line);
    ++datagramLines_;
}

void UdpOutput::flush() {
    send();
}

void UdpOutput::send() {
    if (datagram_.isEmpty()) {
        return;
    }
    if (socket_ == nullptr) {
        counters().slow += datagramLines_;
    } else if (socket_->writeDatagram(datagram_, destination_, port_) == datagram_.size()) {
        counters().sent += datagramLines_;
    } else {
        counters().slow += datagramLines_;
        // A full send queue passes; anything else (no route, address not available)
        // fails the output until it is opened again.
        if (socket_->error() != QAbstractSocket::TemporaryError) {
            const QString reason = socket_->errorString();
            datagram_.truncate(0);
            datagramLines_ = 0;
            close();
            setState(State::Failed, reason);
            return;
        }
    }
    datagram_.truncate(0);
    datagramLines_ = 0;
}

}  // namespace outputs
