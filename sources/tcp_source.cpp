#include "sources/tcp_source.h"

#include <QTcpSocket>
#include <algorithm>

#include "sources/descriptor_pending.h"

namespace sources {

TcpSource::TcpSource(QString host, quint16 port, QObject* parent)
    : Source(parent), host_(std::move(host)), port_(port) {
    retryTimer_.setSingleShot(true);
    connect(&retryTimer_, &QTimer::timeout, this, &TcpSource::connectNow);
}

TcpSource::~TcpSource() {
    close();
}

QString TcpSource::description() const {
    const QString host =
        host_.contains(QLatin1Char(':')) ? QLatin1Char('[') + host_ + QLatin1Char(']') : host_;
    return QStringLiteral("tcp://%1:%2").arg(host).arg(port_);
}

int TcpSource::retryDelay(int failures, int unitMs) {
    const int units = failures <= 0 ? 1 : 1 << std::min(failures, 4);
    return std::min(units, 10) * unitMs;
}

bool TcpSource::open() {
    close();
    socket_ = new QTcpSocket(this);
    socket_->setReadBufferSize(kReadBufferBytes);
    connect(socket_, &QTcpSocket::readyRead, this, &TcpSource::readAvailable);
    connect(socket_, &QTcpSocket::connected, this, [this] {
        failures_ = 0;
        setState(State::Open);
    });
    connect(socket_, &QTcpSocket::errorOccurred, this,
            [this](QAbstractSocket::SocketError) { linkDown(socket_->errorString()); });
    connect(socket_, &QTcpSocket::disconnected, this,
            [this] { linkDown(tr("The remote host closed the connection")); });
    failures_ = 0;
    connectNow();
    return true;
}

void TcpSource::close() {
    retryTimer_.stop();
    if (socket_) {
        socket_->disconnect(this);
        socket_->abort();
        socket_->deleteLater();
        socket_ = nullptr;
    }
    setState(State::Closed);
}

void TcpSource::connectNow() {
    if (!socket_) {
        return;
    }
    setState(State::Connecting);
    socket_->connectToHost(host_, port_, QIODevice::ReadOnly);
}

void TcpSource::linkDown(const QString& reason) {
    // An error and the disconnection it causes report one loss.
    if (!socket_ || retryTimer_.isActive()) {
        return;
    }
    while (socket_ && socket_->bytesAvailable() > 0) {
        readAvailable();  // what arrived before the loss still counts
    }
    const int delay = retryDelay(failures_++, retryUnitMs_);
    retryTimer_.start(delay);
    setState(
        State::Lost,
        tr("%1; trying again in %2 s").arg(reason).arg(QString::number(delay / 1000.0, 'g', 3)));
    // Reset the socket once its own signal has returned.
    QTimer::singleShot(0, this, [this] {
        if (socket_ && socket_->state() != QAbstractSocket::UnconnectedState) {
            socket_->abort();
        }
    });
}

qint64 TcpSource::bytesPending() const {
    return socket_ ? descriptorPending(socket_->socketDescriptor()) : -1;
}

void TcpSource::readAvailable() {
    if (!socket_ || socket_->bytesAvailable() <= 0) {
        return;
    }
    deliver(socket_->read(kChunkBytes));
    // The rest waits for the next turn of the event loop, so the window redraws and
    // answers the user between chunks however fast the stream comes.
    if (socket_ && socket_->bytesAvailable() > 0 && !drainPending_) {
        drainPending_ = true;
        QTimer::singleShot(0, this, [this] {
            drainPending_ = false;
            readAvailable();
        });
    }
}

}  // namespace sources
