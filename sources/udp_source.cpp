#include "sources/udp_source.h"

#include <fcntl.h>

#include <cerrno>

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

qint64 UdpSource::bytesPending() const {
    return reader_ ? reader_->bytesPending() : -1;
}

bool UdpSource::open() {
    close();
    // The socket object binds and joins the group; the reading is the reader's own,
    // on a duplicate of the descriptor. The system keeps the binding and the group
    // membership while any descriptor of the socket stays open.
    QUdpSocket socket;
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
    // Reopened after port 0 took a free one, it keeps the port the senders know.
    bool ready = socket.bind(bindAddress, port_ != 0 ? port_ : boundPort_, mode);
    if (ready && multicast) {
        ready = socket.joinMulticastGroup(address_);
    }
    const int descriptor = ready ? ::fcntl(int(socket.socketDescriptor()), F_DUPFD_CLOEXEC, 0) : -1;
    if (descriptor < 0) {
        setError(ready ? tr("Cannot take over the socket: %1").arg(qt_error_string(errno))
                       : socket.errorString());
        return false;
    }
    boundPort_ = socket.localPort();
    socket.close();
    reader_ = new DatagramReader(descriptor, kReceiveBufferBytes, this);
    connect(reader_, &DatagramReader::datagrams, this, &UdpSource::takeDatagrams);
    mutableCounters().systemDropsCounted = reader_->countsDrops();
    setState(State::Open);
    return true;
}

void UdpSource::close() {
    delete reader_;
    reader_ = nullptr;
    setState(State::Closed);
}

void UdpSource::takeDatagrams(const QByteArray& bytes, const DatagramReader::Turn& turn) {
    SourceCounters& counters = mutableCounters();
    counters.datagrams += turn.datagrams;
    if (turn.dropped > 0) {
        counters.systemDropped += turn.dropped;
        lossesCounted();
    }
    if (!bytes.isEmpty()) {
        deliver(bytes);
    }
}

}  // namespace sources
