#include "app/start_options.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <algorithm>

#include "outputs/output_address.h"
#include "serial/line_speeds.h"
#include "sources/source_address.h"
#include "tidewright/version.h"

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("StartOptions", text);
}

}  // namespace

StartOutcome parseStartOptions(const QStringList& given, StartOptions& options, QString* text) {
    // --plot takes two values, which the parser below cannot: they are taken out first.
    QStringList arguments;
    for (qsizetype i = 0; i < given.size(); ++i) {
        if (given[i] != QLatin1String("--plot")) {
            arguments << given[i];
            continue;
        }
        if (i + 2 >= given.size()) {
            *text = tr("--plot needs a key and a field, e.g. --plot '$GPGGA' HDOP");
            return StartOutcome::Error;
        }
        options.plots.append({given[i + 1], given[i + 2]});
        i += 2;
    }
    QCommandLineParser parser;
    parser.setApplicationDescription(
        tr("NMEA 0183 monitor.\n\n"
           "Without --source the setup dialog asks for the port. With --source the\n"
           "monitor opens that source at start without asking (for fixed installations\n"
           "and kiosks); a source that fails to open is reported and the setup dialog\n"
           "follows.\n\n"
           "Sources:\n"
           "  COM3, ttyUSB0, /dev/ttyUSB0   a serial port\n"
           "  tcp://HOST[:PORT]             a TCP stream (port 10110 by default);\n"
           "                                reconnects by itself when it is lost\n"
           "  udp://[ADDRESS][:PORT]        UDP datagrams (port 10110 by default); a\n"
           "                                multicast ADDRESS joins that group\n"
           "  file:PATH, or a plain PATH    replay of a recorded log\n"
           "  socketcan:IFACE               NMEA 2000 from a CAN interface (can0), read only\n\n"
           "Plots: --plot KEY FIELD (repeatable) opens a plot of a value at start:\n"
           "  --plot '$GPGSA' HDOP            an inspector row of a key, by its name\n"
           "  --plot '$GPGGA' 'Horizontal'    ... or by the start of its name\n"
           "  --plot '$SDDPT' 'field 1'       a field of the sentence as sent (or a bare 1)\n"
           "  --plot 244660000 'Speed over ground'   a field of an AIS target\n"
           "  --plot 130306:35 'Wind Speed'   an NMEA 2000 field: PGN:ADDRESS of the sender,\n"
           "                                  the field by name or id (windSpeed); 'SNR (3)'\n"
           "                                  for an item of a repeating set\n\n"
           "Outputs (--forward, repeatable; see also Setup > Forwarding):\n"
           "  tcp-server://[ADDRESS]:PORT   serve every client that connects (10110)\n"
           "  udp://ADDRESS:PORT            datagrams to a host, broadcast or group\n"
           "  serial:DEVICE@SPEED           a second serial port at its own speed\n"
           "  Options after '?', joined by '&': include=KEYS exclude=KEYS\n"
           "  every=KEY:SECONDS bad-checksum=pass tag=NAME ttl=N n2k=ydwg|pcdin\n"
           "  (tidewright-relay --help describes them)\n\n"
           "Example: tidewright --source tcp://192.168.4.1:10110"));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  tr("Show this help and exit."));
    const QCommandLineOption version(QStringLiteral("version"),
                                     tr("Show the version number and exit."));
    const QCommandLineOption source(QStringLiteral("source"),
                                    tr("Open SOURCE at start (see above)."), tr("SOURCE"));
    const QCommandLineOption baud(
        QStringLiteral("baud"),
        tr("Line speed of a serial port: 4800 (default), 9600, 19200, 38400, 57600 or "
           "115200; the pace of a replay (any speed)."),
        tr("N"));
    const QCommandLineOption showDock(
        QStringLiteral("show-dock"),
        tr("Bring the dock titled NAME forward at start (any case), e.g. \"AIS Targets\" "
           "or \"Sentences\"."),
        tr("NAME"));
    const QCommandLineOption forward(
        QStringLiteral("forward"),
        tr("Forward what is heard to OUTPUT (see above); repeatable. Replaces the outputs "
           "of the Forwarding dialog for this run."),
        tr("OUTPUT"));
    parser.addOptions({help, version, source, baud, showDock, forward});
    if (!parser.parse(arguments)) {
        *text = parser.errorText();
        return StartOutcome::Error;
    }
    if (parser.isSet(help)) {
        // Read before the application exists, the parser does not know our name.
        *text = parser.helpText().replace(QStringLiteral("<executable_name>"),
                                          QStringLiteral("tidewright"));
        return StartOutcome::Help;
    }
    if (parser.isSet(version)) {
        *text = QStringLiteral("tidewright %1\n").arg(QString::fromLatin1(tidewright::kVersion));
        return StartOutcome::Version;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *text = tr("Unexpected argument '%1'").arg(parser.positionalArguments().first());
        return StartOutcome::Error;
    }
    options.forward = parser.values(forward);
    for (const QString& output : std::as_const(options.forward)) {
        if (!outputs::parseOutputAddress(output, text)) {
            return StartOutcome::Error;
        }
    }
    options.source = parser.value(source);
    if (parser.isSet(source) && options.source.trimmed().isEmpty()) {
        *text = tr("--source needs a source");
        return StartOutcome::Error;
    }
    options.showDock = parser.value(showDock).trimmed();
    if (parser.isSet(showDock) && options.showDock.isEmpty()) {
        *text = tr("--show-dock needs the title of a dock");
        return StartOutcome::Error;
    }
    if (parser.isSet(baud)) {
        bool number = false;
        options.baud = parser.value(baud).toInt(&number);
        if (!number || options.baud < 1 || options.baud > 10000000) {
            *text = tr("Speed '%1' is not a number of baud").arg(parser.value(baud));
            return StartOutcome::Error;
        }
        const auto where = sources::parseSourceAddress(options.source);
        const bool serial = !where || where->kind == sources::SourceAddress::Kind::Serial;
        if (serial && std::find(kAutoSearchOrder.begin(), kAutoSearchOrder.end(), options.baud) ==
                          kAutoSearchOrder.end()) {
            *text = tr("A serial port runs at 4800, 9600, 19200, 38400, 57600 or 115200 baud, "
                       "not %1")
                        .arg(options.baud);
            return StartOutcome::Error;
        }
    }
    return StartOutcome::Run;
}
