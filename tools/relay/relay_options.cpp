#include "relay_options.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include "outputs/output_address.h"
#include "tidewright/version.h"

namespace relay {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("RelayOptions", text);
}

}  // namespace

RelayStart parseRelayOptions(const QStringList& arguments, RelayOptions& options, QString* text) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        tr("Forwards NMEA 0183 from one or more sources to TCP clients, UDP and serial\n"
           "ports, without a window: a small multiplexer for a boat computer. Sentences\n"
           "from several sources are merged in the order they arrive.\n\n"
           "Sources:\n"
           "  COM3, ttyUSB0, /dev/ttyUSB0   a serial port (at --baud)\n"
           "  tcp://HOST[:PORT]             a TCP stream; reconnects when it is lost\n"
           "  udp://[ADDRESS][:PORT]        UDP datagrams; a multicast ADDRESS joins it\n"
           "  file:PATH                     a recorded log, replayed at --baud\n"
           "  socketcan:IFACE               NMEA 2000 from a CAN interface (can0), read only\n\n"
           "Outputs:\n"
           "  tcp-server://[ADDRESS]:PORT   serve every client that connects (10110);\n"
           "                                a client that stops reading is dropped once\n"
           "                                256 KB wait for it\n"
           "  udp://ADDRESS:PORT            datagrams of whole lines, at most 1,400 bytes,\n"
           "                                to a host, a broadcast or a multicast group\n"
           "  serial:DEVICE@SPEED           a serial port; sentences the line cannot carry\n"
           "                                are dropped whole and counted\n\n"
           "Options of an output, after '?' and joined by '&':\n"
           "  include=KEYS, exclude=KEYS    keys with wildcards: $--GGA,$GP*,!AIVDM\n"
           "  every=KEY:SECONDS             at most one sentence of a key in that time\n"
           "  bad-checksum=pass             forward sentences with a wrong checksum too\n"
           "  tag=NAME                      a TAG block with the receive time and s:NAME\n"
           "                                (a line that came with a TAG block keeps its\n"
           "                                own, with or without this option)\n"
           "  ttl=N                         hops of a multicast datagram (default 1)\n"
           "  n2k=ydwg|pcdin                how NMEA 2000 is written (for later use)\n\n"
           "An output that would feed a source (the same port or device) is refused.\n"
           "State changes of sources and outputs are logged on standard error at once,\n"
           "every output's counters every --stats-every seconds. SIGTERM or SIGINT stops.\n\n"
           "Example: tidewright-relay /dev/ttyUSB0 --forward tcp-server://:10110"));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  tr("Show this help and exit."));
    const QCommandLineOption version(QStringLiteral("version"),
                                     tr("Show the version number and exit."));
    const QCommandLineOption forward(
        QStringLiteral("forward"), tr("Forward to OUTPUT (see above); repeatable."), tr("OUTPUT"));
    const QCommandLineOption baud(QStringLiteral("baud"),
                                  tr("Line speed of serial sources and the pace of a replayed "
                                     "log (default 4800)."),
                                  tr("N"));
    const QCommandLineOption stats(QStringLiteral("stats-every"),
                                   tr("Log every output's counters every SECONDS (default 60)."),
                                   tr("SECONDS"));
    parser.addOptions({help, version, forward, baud, stats});
    parser.addPositionalArgument(tr("SOURCE"), tr("Where to read from (see above)."),
                                 tr("SOURCE..."));
    if (!parser.parse(arguments)) {
        *text = parser.errorText();
        return RelayStart::Error;
    }
    if (parser.isSet(help)) {
        *text = parser.helpText().replace(QStringLiteral("<executable_name>"),
                                          QStringLiteral("tidewright-relay"));
        return RelayStart::Help;
    }
    if (parser.isSet(version)) {
        *text =
            QStringLiteral("tidewright-relay %1\n").arg(QString::fromLatin1(tidewright::kVersion));
        return RelayStart::Version;
    }
    options.sources = parser.positionalArguments();
    options.outputs = parser.values(forward);
    for (const QString& source : std::as_const(options.sources)) {
        if (source.startsWith(QLatin1String("tcp-server://"), Qt::CaseInsensitive) ||
            source.startsWith(QLatin1String("serial:"), Qt::CaseInsensitive)) {
            *text = tr("'%1' is an output: give --forward before each output").arg(source);
            return RelayStart::Error;
        }
    }
    if (options.sources.isEmpty()) {
        *text = tr("No source given");
        return RelayStart::Error;
    }
    if (options.outputs.isEmpty()) {
        *text = tr("No output given: add --forward OUTPUT");
        return RelayStart::Error;
    }
    for (const QString& output : std::as_const(options.outputs)) {
        QString problem;
        if (!outputs::parseOutputAddress(output, &problem)) {
            *text = problem;
            return RelayStart::Error;
        }
    }
    if (parser.isSet(baud)) {
        bool number = false;
        options.baud = parser.value(baud).toInt(&number);
        if (!number || options.baud < 300 || options.baud > 4000000) {
            *text = tr("Speed '%1' is not a number of baud").arg(parser.value(baud));
            return RelayStart::Error;
        }
    }
    if (parser.isSet(stats)) {
        bool number = false;
        options.statsSeconds = parser.value(stats).toInt(&number);
        if (!number || options.statsSeconds < 1) {
            *text = tr("--stats-every takes a whole number of seconds, not '%1'")
                        .arg(parser.value(stats));
            return RelayStart::Error;
        }
    }
    return RelayStart::Run;
}

}  // namespace relay
