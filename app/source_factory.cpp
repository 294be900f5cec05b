#include "app/source_factory.h"

#include <QHostAddress>

#include "serial/line_speeds.h"
#include "serial/port_naming.h"
#include "serial/port_settings.h"
#include "sources/can_source.h"
#include "sources/replay_source.h"
#include "sources/serial_source.h"
#include "sources/source_address.h"
#include "sources/tcp_source.h"
#include "sources/udp_source.h"

using sources::SourceAddress;

sources::Source* makeSource(const QString& text, qint32 baud, QObject* parent, QString* problem) {
    const std::optional<SourceAddress> where = sources::parseSourceAddress(text, problem);
    if (!where) {
        return nullptr;
    }
    switch (where->kind) {
        case SourceAddress::Kind::Tcp:
            return new sources::TcpSource(where->host, where->port, parent);
        case SourceAddress::Kind::Udp:
            return new sources::UdpSource(QHostAddress(where->host), where->port, parent);
        case SourceAddress::Kind::File:
            return new sources::ReplaySource(where->path, sources::ReplayPace{openingSpeed(baud)},
                                             parent);
        case SourceAddress::Kind::Can:
            return new sources::CanSource(where->canPlugin, where->path, parent);
        case SourceAddress::Kind::Serial:
            break;
    }
    // The port as it was always opened: the device for the name, 8N1 at the chosen
    // speed (Auto starts at the first speed it tries).
    const QString name = text;
    return new sources::SerialSource(
        name,
        [name, baud](QSerialPort& port) {
            port.setPortName(deviceNameForPort(name));
            applyPortSettings(port, nmeaPortSettings(openingSpeed(baud)));
        },
        parent);
}

bool isSerialSource(const sources::Source* source) {
    return qobject_cast<const sources::SerialSource*>(source) != nullptr;
}
