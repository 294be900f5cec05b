// The source strings a user types or passes with --source:
//   tcp://HOST[:PORT]          a TCP stream from a multiplexer or gateway
//   udp://[ADDRESS][:PORT]     UDP datagrams; a multicast ADDRESS joins that group
//   file:PATH, or a plain path to a regular file: replay of a recorded log
//   anything else              a serial port name (COM3, ttyUSB0, /dev/ttyUSB0)
// The list entries "TCP host:port" and "UDP :port" read as the scheme forms.
#pragma once

#include <QString>
#include <optional>

namespace sources {

// The port NMEA 0183 gateways serve on, for TCP and UDP alike.
inline constexpr quint16 kDefaultNmeaPort = 10110;

struct SourceAddress {
    enum class Kind { Serial, Tcp, Udp, File, Can };
    Kind kind = Kind::Serial;
    QString host;  // TCP: the host to connect to; UDP: the address to listen on (empty: any)
    quint16 port = kDefaultNmeaPort;
    QString path;       // File: the log; Serial: the port name as given; Can: the interface
    QString canPlugin;  // Can: the Qt CAN bus plugin ("socketcan", "virtualcan")

    // The canonical string of this source (tcp://host:port, udp://:port, file:PATH).
    QString text() const;
    bool isNetwork() const { return kind == Kind::Tcp || kind == Kind::Udp; }
};

// Reads a source string. Nothing is opened; a file is only checked to be a regular,
// readable file. On failure the result is empty and *error (when given) names what
// is wrong.
std::optional<SourceAddress> parseSourceAddress(const QString& text, QString* error = nullptr);

}  // namespace sources
