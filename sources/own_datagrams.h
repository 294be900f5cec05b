// The local ports this program's own UDP outputs send from. A UDP source drops
// datagrams that come from one of them on this host, so a forwarded broadcast or
// multicast is never read back as input.
#pragma once

#include <QHostAddress>

namespace sources {

void addOwnSenderPort(quint16 port);
void removeOwnSenderPort(quint16 port);
bool isOwnDatagram(const QHostAddress& sender, quint16 senderPort);
// Whether any own output sends from this port: the cheap test before the address one.
bool isOwnSenderPort(quint16 port);

}  // namespace sources
