// The output strings a user types in the Forwarding dialog or passes with --forward:
//   tcp-server://[ADDRESS]:PORT   serve the stream to every client that connects
//                                 (every address and port 10110 when left out)
//   udp://ADDRESS:PORT            datagrams to one host, a broadcast or a multicast group
//   serial:DEVICE@SPEED           a second serial port, written at its line speed
// Each may carry options after '?', joined by '&':
//   include=KEYS, exclude=KEYS    comma-separated keys with wildcards ($--GGA, $GP*, !AIVDM)
//   every=KEY:SECONDS[,...]       at most one sentence of a key in that many seconds
//   bad-checksum=pass             let sentences with a wrong checksum through (default: drop)
//   tag=NAME                      a TAG block with the receive time and s:NAME on every line
//   ttl=N                         hops of a multicast datagram (udp:// only; default 1)
//   n2k=ydwg|pcdin                how NMEA 2000 messages are written on this output
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace outputs {

inline constexpr quint16 kDefaultOutputPort = 10110;

// How an output writes NMEA 2000 messages, once they are read: as YDWG RAW lines or
// as $PCDIN sentences. NMEA 0183 passes through unchanged either way.
enum class N2kFormat { YdwgRaw, Pcdin };

struct IntervalRule {
    QString key;  // a key pattern, as in include=
    int milliseconds = 0;
};

struct FilterOptions {
    QStringList include;  // empty: everything
    QStringList exclude;
    std::vector<IntervalRule> intervals;
    bool passBadChecksum = false;
};

struct OutputAddress {
    enum class Kind { TcpServer, Udp, Serial };
    Kind kind = Kind::TcpServer;
    QString host;  // TcpServer: the address to listen on (empty: any); Udp: the destination
    quint16 port = kDefaultOutputPort;
    QString device;  // Serial: the device as given
    qint32 baud = 4800;
    int ttl = 1;        // Udp, multicast only
    bool tag = false;   // a TAG block on every line
    QString tagSource;  // its s: field (empty: none)
    N2kFormat n2k = N2kFormat::YdwgRaw;
    FilterOptions filter;

    // The string that reads back as this output, options included.
    QString text() const;
    // The destination without options: tcp-server://:10110, serial:/dev/ttyUSB1@4800.
    QString place() const;
};

// Reads an output string. Nothing is opened. On failure the result is empty and *error
// (when given) says what is wrong.
std::optional<OutputAddress> parseOutputAddress(const QString& text, QString* error = nullptr);

}  // namespace outputs
