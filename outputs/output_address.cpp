#include "outputs/output_address.h"

#include <QCoreApplication>
#include <QHostAddress>

namespace outputs {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("OutputAddress", text);
}

std::optional<OutputAddress> failWith(QString* error, const QString& message) {
    if (error) {
        *error = message;
    }
    return std::nullopt;
}

// A decimal number within [low, high], digits only.
std::optional<qint64> boundedNumber(const QString& text, qint64 low, qint64 high) {
    if (text.isEmpty() || text.size() > 9) {
        return std::nullopt;
    }
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return std::nullopt;
        }
    }
    const qint64 value = text.toLongLong();
    if (value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

// "HOST:PORT", "[V6]:PORT", ":PORT" or "HOST"; the port is optional where a default
// exists.
bool splitAuthority(const QString& authority, OutputAddress& out, QString* error,
                    const QString& original) {
    QString host = authority;
    QString portText;
    if (authority.startsWith(QLatin1Char('['))) {
        const qsizetype close = authority.indexOf(QLatin1Char(']'));
        if (close < 0) {
            failWith(error, tr("Unclosed '[' in the address of '%1'").arg(original));
            return false;
        }
        host = authority.mid(1, close - 1);
        const QString rest = authority.mid(close + 1);
        if (!rest.isEmpty() && !rest.startsWith(QLatin1Char(':'))) {
            failWith(error, tr("Unexpected '%1' after the address in '%2'").arg(rest, original));
            return false;
        }
        portText = rest.mid(1);
        if (rest.isEmpty()) {
            portText.clear();
        } else if (portText.isEmpty()) {
            failWith(error, tr("Missing port number after ':' in '%1'").arg(original));
            return false;
        }
    } else if (const qsizetype colon = authority.lastIndexOf(QLatin1Char(':')); colon >= 0) {
        host = authority.left(colon);
        portText = authority.mid(colon + 1);
        if (portText.isEmpty()) {
            failWith(error, tr("Missing port number after ':' in '%1'").arg(original));
            return false;
        }
    }
    if (!portText.isEmpty()) {
        const auto port = boundedNumber(portText, 1, 65535);
        if (!port) {
            failWith(error,
                     tr("Port '%1' in '%2' is out of range (1 to 65535)").arg(portText, original));
            return false;
        }
        out.port = static_cast<quint16>(*port);
    }
    if (!host.isEmpty() && QHostAddress(host).isNull()) {
        failWith(error, tr("'%1' in '%2' is not an IP address").arg(host, original));
        return false;
    }
    out.host = host;
    return true;
}

QStringList keyList(const QString& value) {
    QStringList keys;
    for (const QString& part : value.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        keys << part.trimmed();
    }
    return keys;
}

bool readOption(const QString& name, const QString& value, OutputAddress& out, QString* error,
                const QString& original) {
    if (name == QLatin1String("include")) {
        out.filter.include << keyList(value);
    } else if (name == QLatin1String("exclude")) {
        out.filter.exclude << keyList(value);
    } else if (name == QLatin1String("every")) {
        for (const QString& rule : keyList(value)) {
            const qsizetype colon = rule.lastIndexOf(QLatin1Char(':'));
            bool number = false;
            const double seconds = colon > 0 ? rule.mid(colon + 1).toDouble(&number) : 0;
            if (!number || !(seconds > 0) || seconds > 86400) {
                failWith(error,
                         tr("'%1' in '%2' is not KEY:SECONDS (at most a day)").arg(rule, original));
                return false;
            }
            out.filter.intervals.push_back(
                {rule.left(colon), static_cast<int>(seconds * 1000 + 0.5)});
        }
    } else if (name == QLatin1String("bad-checksum")) {
        if (value != QLatin1String("pass") && value != QLatin1String("drop")) {
            failWith(error, tr("bad-checksum is 'pass' or 'drop', not '%1'").arg(value));
            return false;
        }
        out.filter.passBadChecksum = value == QLatin1String("pass");
    } else if (name == QLatin1String("tag")) {
        out.tag = true;
        out.tagSource = value;
        for (QChar c : value) {
            if (c.unicode() <= ' ' || c.unicode() > '~' || c == QLatin1Char(',') ||
                c == QLatin1Char('*') || c == QLatin1Char('\\') || c == QLatin1Char('$') ||
                c == QLatin1Char('!')) {
                failWith(error, tr("The TAG source name '%1' may hold only printable "
                                   "characters other than , * \\ $ !")
                                    .arg(value));
                return false;
            }
        }
        if (value.size() > 15) {
            failWith(error, tr("The TAG source name '%1' is longer than 15 characters").arg(value));
            return false;
        }
    } else if (name == QLatin1String("ttl")) {
        const auto ttl = boundedNumber(value, 1, 255);
        if (out.kind != OutputAddress::Kind::Udp || !ttl) {
            failWith(error, tr("ttl is a number of hops from 1 to 255, for udp:// outputs"));
            return false;
        }
        out.ttl = static_cast<int>(*ttl);
    } else if (name == QLatin1String("n2k")) {
        if (value == QLatin1String("ydwg")) {
            out.n2k = N2kFormat::YdwgRaw;
        } else if (value == QLatin1String("pcdin")) {
            out.n2k = N2kFormat::Pcdin;
        } else {
            failWith(error, tr("n2k is 'ydwg' or 'pcdin', not '%1'").arg(value));
            return false;
        }
    } else {
        failWith(error, tr("Unknown option '%1' in '%2'").arg(name, original));
        return false;
    }
    return true;
}

QString joinedKeys(const QStringList& keys) {
    return keys.join(QLatin1Char(','));
}

}  // namespace

QString OutputAddress::place() const {
    const QString shownHost =
        host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    switch (kind) {
        case Kind::TcpServer:
            return QStringLiteral("tcp-server://%1:%2").arg(shownHost).arg(port);
        case Kind::Udp:
            return QStringLiteral("udp://%1:%2").arg(shownHost).arg(port);
        case Kind::Serial:
            break;
    }
    return QStringLiteral("serial:%1@%2").arg(device).arg(baud);
}

QString OutputAddress::text() const {
    QStringList options;
    if (!filter.include.isEmpty()) {
        options << QStringLiteral("include=") + joinedKeys(filter.include);
    }
    if (!filter.exclude.isEmpty()) {
        options << QStringLiteral("exclude=") + joinedKeys(filter.exclude);
    }
    if (!filter.intervals.empty()) {
        QStringList rules;
        for (const IntervalRule& rule : filter.intervals) {
            rules << QStringLiteral("%1:%2").arg(rule.key).arg(rule.milliseconds / 1000.0);
        }
        options << QStringLiteral("every=") + joinedKeys(rules);
    }
    if (filter.passBadChecksum) {
        options << QStringLiteral("bad-checksum=pass");
    }
    if (tag) {
        options << QStringLiteral("tag=") + tagSource;
    }
    if (kind == Kind::Udp && ttl != 1) {
        options << QStringLiteral("ttl=%1").arg(ttl);
    }
    if (n2k == N2kFormat::Pcdin) {
        options << QStringLiteral("n2k=pcdin");
    }
    return options.isEmpty() ? place()
                             : place() + QLatin1Char('?') + options.join(QLatin1Char('&'));
}

std::optional<OutputAddress> parseOutputAddress(const QString& typed, QString* error) {
    const QString text = typed.trimmed();
    if (text.isEmpty()) {
        return failWith(error, tr("No output given"));
    }
    const qsizetype question = text.indexOf(QLatin1Char('?'));
    const QString where = question < 0 ? text : text.left(question);
    OutputAddress out;
    if (where.startsWith(QLatin1String("tcp-server://"), Qt::CaseInsensitive)) {
        out.kind = OutputAddress::Kind::TcpServer;
        if (!splitAuthority(where.mid(13), out, error, text)) {
            return std::nullopt;
        }
    } else if (where.startsWith(QLatin1String("udp://"), Qt::CaseInsensitive)) {
        out.kind = OutputAddress::Kind::Udp;
        const QString authority = where.mid(6);
        if (!authority.contains(QLatin1Char(':'))) {
            return failWith(error,
                            tr("Give the destination as udp://ADDRESS:PORT in '%1'").arg(text));
        }
        if (!splitAuthority(authority, out, error, text)) {
            return std::nullopt;
        }
        if (out.host.isEmpty()) {
            return failWith(error, tr("Missing destination address in '%1'").arg(text));
        }
    } else if (where.startsWith(QLatin1String("serial:"), Qt::CaseInsensitive)) {
        out.kind = OutputAddress::Kind::Serial;
        const QString rest = where.mid(7);
        const qsizetype at = rest.lastIndexOf(QLatin1Char('@'));
        out.device = at < 0 ? rest : rest.left(at);
        if (out.device.isEmpty()) {
            return failWith(error,
                            tr("Missing device in '%1': give serial:DEVICE@SPEED").arg(text));
        }
        if (at >= 0) {
            const auto baud = boundedNumber(rest.mid(at + 1), 300, 4000000);
            if (!baud) {
                return failWith(error,
                                tr("'%1' in '%2' is not a line speed").arg(rest.mid(at + 1), text));
            }
            out.baud = static_cast<qint32>(*baud);
        }
    } else {
        return failWith(error,
                        tr("Unknown output '%1': use tcp-server://, udp:// or serial:").arg(text));
    }
    if (question >= 0) {
        for (const QString& option :
             text.mid(question + 1).split(QLatin1Char('&'), Qt::SkipEmptyParts)) {
            const qsizetype equals = option.indexOf(QLatin1Char('='));
            const QString name = (equals < 0 ? option : option.left(equals)).toLower();
            const QString value = equals < 0 ? QString() : option.mid(equals + 1);
            if (!readOption(name, value, out, error, text)) {
                return std::nullopt;
            }
        }
    }
    return out;
}

}  // namespace outputs
