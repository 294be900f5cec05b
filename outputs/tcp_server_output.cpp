#include "outputs/tcp_server_output.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QVariant>

namespace outputs {

namespace {

// A batch is written out once it holds this much, so a long parse cycle cannot pile
// up more than that before the clients get it.
constexpr qsizetype kBatchBytes = 64 * 1024;

}  // namespace

TcpServerOutput::TcpServerOutput(QHostAddress address, quint16 port, QObject* parent)
    : Output(parent), address_(std::move(address)), port_(port) {}

TcpServerOutput::~TcpServerOutput() {
    close();
}

QString TcpServerOutput::description() const {
    const QString host = address_.isNull() ? QString()
                         : address_.protocol() == QAbstractSocket::IPv6Protocol
                             ? QLatin1Char('[') + address_.toString() + QLatin1Char(']')
                             : address_.toString();
    return QStringLiteral("tcp-server://%1:%2").arg(host).arg(port_);
}

quint16 TcpServerOutput::serverPort() const {
    return server_ ? server_->serverPort() : 0;
}

bool TcpServerOutput::open() {
    close();
    server_ = new QTcpServer(this);
    if (!server_->listen(address_.isNull() ? QHostAddress(QHostAddress::Any) : address_, port_)) {
        const QString reason = server_->errorString();
        delete server_;
        server_ = nullptr;
        setState(State::Failed, reason);
        return false;
    }
    connect(server_, &QTcpServer::newConnection, this, &TcpServerOutput::accept);
    setState(State::Open);
    return true;
}

void TcpServerOutput::close() {
    for (QTcpSocket* client : std::as_const(clients_)) {
        client->disconnect(this);
        client->abort();
        client->deleteLater();
    }
    clients_.clear();
    counters().clients = 0;
    pending_.clear();
    pendingLines_ = 0;
    if (server_) {
        server_->close();
        server_->deleteLater();
        server_ = nullptr;
    }
    setState(State::Closed);
}

void TcpServerOutput::accept() {
    while (server_ && server_->hasPendingConnections()) {
        QTcpSocket* client = server_->nextPendingConnection();
        client->setSocketOption(QAbstractSocket::LowDelayOption, QVariant(1));
        // Whatever a client sends is of no interest; it is thrown away as it comes.
        connect(client, &QTcpSocket::readyRead, client, [client] { client->readAll(); });
        connect(client, &QTcpSocket::disconnected, this, [this, client] { forget(client); });
        clients_.append(client);
    }
    counters().clients = static_cast<int>(clients_.size());
}

void TcpServerOutput::forget(QTcpSocket* client) {
    if (clients_.removeOne(client)) {
        client->disconnect(this);
        client->deleteLater();
    }
    counters().clients = static_cast<int>(clients_.size());
}

void TcpServerOutput::write(QByteArrayView line) {
    pending_.append(line);
    ++pendingLines_;
    if (pending_.size() >= kBatchBytes) {
        flush();
    }
}

void TcpServerOutput::flush() {
    if (pending_.isEmpty()) {
        return;
    }
    bool delivered = false;
    for (QTcpSocket* client : QList<QTcpSocket*>(clients_)) {
        if (client->bytesToWrite() + pending_.size() > kMaxQueuedBytes) {
            counters().slow += pendingLines_;
            ++counters().clientsDropped;
            forget(client);
            client->abort();
            continue;
        }
        client->write(pending_);
        // Into the kernel now, as far as it takes without waiting, rather than at the
        // next turn of the event loop: a fast source cannot outrun a fast client.
        client->flush();
        delivered = true;
    }
    if (delivered) {
        counters().sent += pendingLines_;
    }
    pending_.truncate(0);  // keeps its capacity for the next batch
    pendingLines_ = 0;
}

}  // namespace outputs
