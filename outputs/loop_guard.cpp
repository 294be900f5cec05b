#include "outputs/loop_guard.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHostAddress>
#include <QNetworkInterface>

namespace outputs {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("LoopGuard", text);
}

bool isThisHost(const QString& host) {
    if (host.isEmpty() || host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0) {
        return true;
    }
    const QHostAddress address(host);
    if (address.isNull()) {
        return false;  // a name: whether it is this host is not known without asking DNS
    }
    if (address.isLoopback() || address == QHostAddress::Any || address == QHostAddress::AnyIPv4 ||
        address == QHostAddress::AnyIPv6) {
        return true;
    }
    for (const QHostAddress& local : QNetworkInterface::allAddresses()) {
        if (local.isEqual(address, QHostAddress::TolerantConversion)) {
            return true;
        }
    }
    return false;
}

bool isBroadcast(const QHostAddress& address) {
    if (address == QHostAddress::Broadcast) {
        return true;
    }
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
            if (!entry.broadcast().isNull() && entry.broadcast() == address) {
                return true;
            }
        }
    }
    return false;
}

// Serial names as the system resolves them: ttyUSB0 and /dev/ttyUSB0 are one device,
// and so are a link and what it points to.
QString deviceIdentity(const QString& name) {
    const QString path = name.startsWith(QLatin1Char('/')) ? name : QStringLiteral("/dev/") + name;
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

}  // namespace

QString loopReason(const OutputAddress& output, const sources::SourceAddress& source) {
    using SK = sources::SourceAddress::Kind;
    switch (output.kind) {
        case OutputAddress::Kind::TcpServer:
            if (source.kind == SK::Tcp && source.port == output.port && isThisHost(source.host)) {
                return tr("%1 would serve the stream back to the source %2 it comes from")
                    .arg(output.place(), source.text());
            }
            break;
        case OutputAddress::Kind::Udp: {
            if (source.kind != SK::Udp || source.port != output.port) {
                break;
            }
            const QHostAddress destination(output.host);
            const bool reachesSource =
                isThisHost(output.host) || isBroadcast(destination) ||
                (destination.isMulticast() && QHostAddress(source.host) == destination);
            if (reachesSource) {
                return tr("%1 would send the stream back to the source %2 it comes from")
                    .arg(output.place(), source.text());
            }
            break;
        }
        case OutputAddress::Kind::Serial:
            if (source.kind == SK::Serial &&
                deviceIdentity(source.path) == deviceIdentity(output.device)) {
                return tr("%1 is the port being read (%2); a port cannot be both")
                    .arg(output.place(), source.path);
            }
            break;
    }
    return {};
}

QString loopReason(const OutputAddress& output, const QStringList& sourceTexts) {
    for (const QString& text : sourceTexts) {
        if (const auto source = sources::parseSourceAddress(text)) {
            if (QString reason = loopReason(output, *source); !reason.isEmpty()) {
                return reason;
            }
        }
    }
    return {};
}

}  // namespace outputs
