#include "app/source_factory.h"

#include <QHostAddress>

#include "serial/port_naming.h"
#include "serial/port_settings.h"
#include "sources/replay_source.h"
#include "sources/serial_source.h"
#include "sources/source_spec.h"
#include "sources/tcp_source.h"
#include "sources/udp_source.h"

using sources::SourceSpec;

sources::Source* makeSource(const QString& text, qint32 baud, QObject* parent, QString* problem) {
    const std::optional<SourceSpec> spec = sources::parseSourceSpec(text, problem);
    if (!spec) {
        return nullptr;
    }
    switch (spec->kind) {
        case SourceSpec::Kind::Tcp:
            return new sources::TcpSource(spec->host, spec->port, parent);
        case SourceSpec::Kind::Udp:
            return new sources::UdpSource(QHostAddress(spec->host), spec->port, parent);
        case SourceSpec::Kind::File:
            return new sources::ReplaySource(spec->path, sources::ReplayPace{baud}, parent);
        case SourceSpec::Kind::Serial:
            break;
    }
    // The port as it was always opened: the device for the name, 8N1 at one of the
    // two NMEA speeds.
    const QString name = text;
    return new sources::SerialSource(
        name,
        [name, baud](QSerialPort& port) {
            port.setPortName(deviceNameForPort(name));
            applyPortSettings(port, nmeaPortSettings(baud == 4800 ? 4800 : 38400));
        },
        parent);
}

bool isSerialSource(const sources::Source* source) {
    return qobject_cast<const sources::SerialSource*>(source) != nullptr;
}
