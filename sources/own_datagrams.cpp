#include "sources/own_datagrams.h"

#include <QHash>
#include <QNetworkInterface>

namespace sources {

namespace {

// Counted, since two outputs may share a port number on different address families.
QHash<quint16, int>& ownPorts() {
    static QHash<quint16, int> ports;
    return ports;
}

}  // namespace

void addOwnSenderPort(quint16 port) {
    ++ownPorts()[port];
}

void removeOwnSenderPort(quint16 port) {
    auto found = ownPorts().find(port);
    if (found != ownPorts().end() && --*found <= 0) {
        ownPorts().erase(found);
    }
}

bool isOwnSenderPort(quint16 port) {
    return !ownPorts().isEmpty() && ownPorts().contains(port);
}

bool isOwnDatagram(const QHostAddress& sender, quint16 senderPort) {
    if (!ownPorts().contains(senderPort)) {
        return false;
    }
    if (sender.isLoopback()) {
        return true;
    }
    const QHostAddress plain(sender.toIPv4Address());  // ::ffff:a.b.c.d read as a.b.c.d
    for (const QHostAddress& local : QNetworkInterface::allAddresses()) {
        if (local.isEqual(sender, QHostAddress::TolerantConversion)) {
            return true;
        }
    }
    return !plain.isNull() && plain.isLoopback();
}

}  // namespace sources
