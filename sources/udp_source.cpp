#include "sources/udp_source.h"

#include "sources/own_datagrams.h"

#include <QNetworkDatagram>
#include <QTimer>
#include <QUdpSocket>

namespace sources {

UdpSource::UdpSource(QHostAddress address, quint16 port, QObject* parent)
    : Source(parent), address_(std::move(address)), port_(port) {}

UdpSource::~UdpSource() {
    close();
}

QString UdpSource::description() const {
    if (address_.isNull()) {
        return QStringLiteral("udp://:%1").arg(port_);
    }
    const QString host = address_.protocol() == QAbstractSocket::IPv6Protocol
                             ? QLatin1Char('[') + address_.toString() + QLatin1Char(']')
                             : address_.toString();
    return QStringLiteral("udp://%1:%2").arg(host).arg(port_);
}

QString UdpSource::statusText(State state, const QString& reason) const {
    if (state == State::Open) {
        return tr("Listening on %1").arg(description());
    }
    return Source::statusText(state, reason);
}

quint16 UdpSource::boundPort() const {
    return socket_ ? socket_->localPort() : 0;
}

bool UdpSource::open() {
    close();
    socket_ = new QUdpSocket(this);
    const bool multicast = address_.isMulticast();
    QHostAddress bindAddress = address_;
    if (address_.isNull()) {
        bindAddress = QHostAddress::Any;
    } else if (multicast) {
        bindAddress = address_.protocol() == QAbstractSocket::IPv6Protocol
                          ? QHostAddress(QHostAddress::AnyIPv6)
                          : QHostAddress(QHostAddress::AnyIPv4);
    }
    // Other listeners on the same port (another monitor, a chart plotter) keep working.
    const auto mode = QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint;
    bool ready = socket_->bind(bindAddress, port_, mode);
    if (ready && multicast) {
        ready = socket_->joinMulticastGroup(address_);
    }
    if (!ready) {
        setError(socket_->errorString());
        delete socket_;
        socket_ = nullptr;
        return false;
    }
    connect(socket_, &QUdpSocket::readyRead, this, &UdpSource::readDatagrams);
    setState(State::Open);
    return true;
}

void UdpSource::close() {
    if (socket_) {
        socket_->disconnect(this);
        socket_->close();
        socket_->deleteLater();
        socket_ = nullptr;
    }
    setState(State::Closed);
}

void UdpSource::readDatagrams() {
    QByteArray bytes;
    // A flood is taken in portions, one per turn of the event loop, so the window
    // keeps answering.
    while (socket_ && socket_->hasPendingDatagrams() && bytes.size() < kBytesPerTurn) {
        const QNetworkDatagram datagram = socket_->receiveDatagram();
        const QByteArray data = datagram.data();
        // What this program forwarded itself is not news.
        if (data.isEmpty() ||
            isOwnDatagram(datagram.senderAddress(), static_cast<quint16>(datagram.senderPort()))) {
            continue;
        }
        bytes += data;
        if (!data.endsWith('\n') && !data.endsWith('\r')) {
            bytes += "\r\n";
        }
    }
    if (!bytes.isEmpty()) {
        emit bytesArrived(bytes);
    }
    if (socket_ && socket_->hasPendingDatagrams()) {
        QTimer::singleShot(0, this, &UdpSource::readDatagrams);
    }
}

}  // namespace sources
