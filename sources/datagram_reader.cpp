#include "sources/datagram_reader.h"

#include <errno.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

#include <QHostAddress>
#include <QSocketNotifier>

#include "sources/descriptor_pending.h"
#include "sources/own_datagrams.h"

namespace sources {

namespace {

constexpr qsizetype kLargestDatagram = 65536;

}  // namespace

DatagramReader::DatagramReader(int descriptor, int receiveBufferBytes, QObject* parent)
    : QObject(parent), fd_(descriptor), datagram_(kLargestDatagram, Qt::Uninitialized) {
    // The system grants what its limit allows; what it granted is what counts.
    ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receiveBufferBytes, sizeof receiveBufferBytes);
    int granted = 0;
    socklen_t length = sizeof granted;
    if (::getsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &granted, &length) == 0) {
        receiveBuffer_ = granted;
    }
#ifdef SO_RXQ_OVFL
    const int on = 1;
    overflowCounted_ = ::setsockopt(fd_, SOL_SOCKET, SO_RXQ_OVFL, &on, sizeof on) == 0;
#endif
    notifier_ = new QSocketNotifier(qintptr(fd_), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &DatagramReader::readTurn);
}

DatagramReader::~DatagramReader() {
    delete notifier_;  // before the descriptor it watches goes
    ::close(fd_);
}

bool DatagramReader::isOwn(const sockaddr_storage& sender) {
    quint16 port = 0;
    if (sender.ss_family == AF_INET) {
        port = ntohs(reinterpret_cast<const sockaddr_in&>(sender).sin_port);
    } else if (sender.ss_family == AF_INET6) {
        port = ntohs(reinterpret_cast<const sockaddr_in6&>(sender).sin6_port);
    }
    return port != 0 && isOwnSenderPort(port) &&
           isOwnDatagram(QHostAddress(reinterpret_cast<const sockaddr*>(&sender)), port);
}

qint64 DatagramReader::bytesPending() const {
    return descriptorPending(fd_);
}

void DatagramReader::readTurn() {
    QByteArray bytes;
    Turn turn;
    // Enough room for the drop counter, aligned as the system wants it.
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(quint32))];
    while (bytes.size() < kBytesPerTurn && turn.datagrams < kDatagramsPerTurn) {
        iovec part{datagram_.data(), size_t(datagram_.size())};
        sockaddr_storage sender{};
        msghdr message{};
        message.msg_name = &sender;
        message.msg_namelen = sizeof sender;
        message.msg_iov = &part;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        const ssize_t n = ::recvmsg(fd_, &message, MSG_DONTWAIT);
        if (n < 0) {
            // Nothing more this turn. Any other error (an ICMP report from an
            // earlier send, a signal) belongs to that one read: the notifier calls
            // again on the next turn while datagrams are pending.
            break;
        }
        ++turn.datagrams;
#ifdef SO_RXQ_OVFL
        for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
            if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SO_RXQ_OVFL &&
                c->cmsg_len >= CMSG_LEN(sizeof(quint32))) {
                quint32 overflow = 0;
                memcpy(&overflow, CMSG_DATA(c), sizeof overflow);
                // The system's counter is 32 bits and wraps; the difference does not.
                turn.dropped += quint32(overflow - lastOverflow_);
                lastOverflow_ = overflow;
            }
        }
#endif
        // What this program forwarded itself (a broadcast or multicast output heard
        // back) is not news.
        if (n == 0 || isOwn(sender)) {
            continue;
        }
        bytes.append(datagram_.constData(), qsizetype(n));
        if (!bytes.endsWith('\n') && !bytes.endsWith('\r')) {
            bytes += "\r\n";
        }
    }
    if (turn.datagrams > 0) {
        emit datagrams(bytes, turn);
    }
}

}  // namespace sources
