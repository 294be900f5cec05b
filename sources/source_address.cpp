#include "sources/source_address.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHostAddress>

namespace sources {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("SourceAddress", text);
}

std::optional<SourceAddress> failWith(QString* error, const QString& message) {
    if (error) {
        *error = message;
    }
    return std::nullopt;
}

// How an authority ("HOST", "HOST:PORT", "[V6]:PORT") failed to split.
enum class SplitFault { None, UnclosedBracket, TextAfterBracket };

// A host in brackets (an IPv6 address) keeps its colons; the port follows the last
// colon outside them.
SplitFault splitHostPort(const QString& authority, QString& host, QString& portText, bool& hasPort,
                         QString& after) {
    hasPort = false;
    if (authority.startsWith(QLatin1Char('['))) {
        const qsizetype close = authority.indexOf(QLatin1Char(']'));
        if (close < 0) {
            return SplitFault::UnclosedBracket;
        }
        host = authority.mid(1, close - 1);
        const QString rest = authority.mid(close + 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(QLatin1Char(':'))) {
                after = rest;
                return SplitFault::TextAfterBracket;
            }
            hasPort = true;
            portText = rest.mid(1);
        }
        return SplitFault::None;
    }
    const qsizetype colon = authority.lastIndexOf(QLatin1Char(':'));
    if (colon >= 0 && authority.indexOf(QLatin1Char(':')) != colon) {
        // An IPv6 address without brackets: the whole text is the host.
        host = authority;
        return SplitFault::None;
    }
    host = colon < 0 ? authority : authority.left(colon);
    if (colon >= 0) {
        hasPort = true;
        portText = authority.mid(colon + 1);
    }
    return SplitFault::None;
}

bool allDigits(const QString& text) {
    bool digits = !text.isEmpty();
    for (QChar c : text) {
        digits &= c >= QLatin1Char('0') && c <= QLatin1Char('9');
    }
    return digits;
}

std::optional<SourceAddress> parseNetwork(SourceAddress::Kind kind, const QString& original,
                                          const QString& authority, QString* error) {
    const QString scheme =
        kind == SourceAddress::Kind::Tcp ? QStringLiteral("tcp") : QStringLiteral("udp");
    if (authority.contains(QLatin1Char('/'))) {
        return failWith(error,
                        tr("Unexpected path in '%1': give %2://HOST:PORT").arg(original, scheme));
    }
    SourceAddress where;
    where.kind = kind;
    QString portText;
    bool hasPort = false;
    QString after;
    switch (splitHostPort(authority, where.host, portText, hasPort, after)) {
        case SplitFault::UnclosedBracket:
            return failWith(error, tr("Unclosed '[' in the address of '%1'").arg(original));
        case SplitFault::TextAfterBracket:
            return failWith(error, tr("Unexpected '%1' after ']' in '%2': give %3://[ADDRESS]:PORT")
                                       .arg(after, original, scheme));
        case SplitFault::None:
            break;
    }
    // "udp 10110" or "tcp://10110" would otherwise name the address 0.0.39.126: a bare
    // number is what someone types for a port, never a host they mean.
    if (allDigits(where.host)) {
        return failWith(error, tr("'%1' in '%2' is a number, not a host: for port %1 give %3")
                                   .arg(where.host, original,
                                        kind == SourceAddress::Kind::Tcp
                                            ? QStringLiteral("tcp://HOST:%1").arg(where.host)
                                            : QStringLiteral("udp://:%1").arg(where.host)));
    }
    if (hasPort) {
        const qlonglong number =
            allDigits(portText) && portText.size() <= 6 ? portText.toLongLong() : -1;
        if (portText.isEmpty()) {
            return failWith(error, tr("Missing port number after ':' in '%1'").arg(original));
        }
        if (number < 1 || number > 65535) {
            return failWith(
                error,
                tr("Port '%1' in '%2' is out of range (1 to 65535)").arg(portText, original));
        }
        where.port = static_cast<quint16>(number);
    }
    if (kind == SourceAddress::Kind::Tcp && where.host.isEmpty()) {
        return failWith(
            error, tr("Missing host in '%1': give tcp://HOST or tcp://HOST:PORT").arg(original));
    }
    if (kind == SourceAddress::Kind::Udp && !where.host.isEmpty() &&
        QHostAddress(where.host).isNull()) {
        return failWith(
            error, tr("'%1' in '%2' is not an IP address to listen on").arg(where.host, original));
    }
    return where;
}

std::optional<SourceAddress> parseFile(const QString& path, QString* error) {
    if (path.isEmpty()) {
        return failWith(error, tr("Missing file name after 'file:'"));
    }
    const QFileInfo info(path);
    if (!info.exists()) {
        return failWith(error, tr("No such log file: '%1'").arg(path));
    }
    if (!info.isFile()) {
        return failWith(error, tr("'%1' is not a regular file").arg(path));
    }
    if (!info.isReadable()) {
        return failWith(error, tr("'%1' cannot be read (permission denied)").arg(path));
    }
    SourceAddress where;
    where.kind = SourceAddress::Kind::File;
    where.path = path;
    return where;
}

}  // namespace

QString SourceAddress::text() const {
    const QString shownHost =
        host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    switch (kind) {
        case Kind::Tcp:
            return QStringLiteral("tcp://%1:%2").arg(shownHost).arg(port);
        case Kind::Udp:
            return QStringLiteral("udp://%1:%2").arg(shownHost).arg(port);
        case Kind::File:
            return QStringLiteral("file:") + path;
        case Kind::Can:
            return canPlugin + QLatin1Char(':') + path;
        case Kind::Serial:
            break;
    }
    return path;
}

std::optional<SourceAddress> parseSourceAddress(const QString& typed, QString* error) {
    QString text = typed.trimmed();
    if (text.isEmpty()) {
        return failWith(error, tr("No source given"));
    }
    // A CAN interface: "socketcan:can0", or a bus simulated on this machine,
    // "virtualcan:can0" or "virtualcan:tcp://127.0.0.1:35468/can0".
    for (const char* plugin : {"socketcan", "virtualcan"}) {
        const QString prefix = QLatin1String(plugin) + QLatin1Char(':');
        if (text.startsWith(prefix, Qt::CaseInsensitive)) {
            const QString interfaceName = text.mid(prefix.size()).trimmed();
            if (interfaceName.isEmpty()) {
                return failWith(
                    error,
                    tr("Missing CAN interface after '%1': give %1can0").arg(prefix.toLower()));
            }
            SourceAddress where;
            where.kind = SourceAddress::Kind::Can;
            where.canPlugin = QLatin1String(plugin);
            where.path = interfaceName;
            return where;
        }
    }
    // The list entries "TCP localhost:10110" and "UDP :10110".
    for (const char* word : {"tcp ", "udp "}) {
        if (text.startsWith(QLatin1String(word), Qt::CaseInsensitive)) {
            text = text.left(3).toLower() + QStringLiteral("://") + text.mid(4).trimmed();
        }
    }
    const qsizetype schemeEnd = text.indexOf(QStringLiteral("://"));
    if (schemeEnd >= 0) {
        const QString scheme = text.left(schemeEnd).toLower();
        const QString rest = text.mid(schemeEnd + 3);
        if (scheme == QLatin1String("tcp")) {
            return parseNetwork(SourceAddress::Kind::Tcp, text, rest, error);
        }
        if (scheme == QLatin1String("udp")) {
            return parseNetwork(SourceAddress::Kind::Udp, text, rest, error);
        }
        if (scheme == QLatin1String("file")) {
            return parseFile(rest, error);
        }
        return failWith(error, tr("Unknown source scheme '%1' in '%2': use tcp://, udp:// or file:")
                                   .arg(text.left(schemeEnd), text));
    }
    if (text.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        return parseFile(text.mid(5), error);
    }
    const QFileInfo info(text);
    if (info.exists() && !info.isFile() && info.isDir()) {
        return failWith(error, tr("'%1' is a directory, not a log file or a port").arg(text));
    }
    if (info.isFile()) {
        return parseFile(text, error);
    }
    SourceAddress where;  // a port name; whether it opens is found out by opening it
    where.path = text;
    return where;
}

}  // namespace sources
