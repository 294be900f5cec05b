#include "serial/port_naming.h"

#include <QRegularExpression>
#include <QSerialPortInfo>
#include <algorithm>

namespace {

constexpr int kWindowsProbeCount = 101;

// End of the run of decimal digits that starts at pos.
qsizetype digitRunEnd(const QString& text, qsizetype pos) {
    qsizetype end = pos;
    while (end < text.size() && text.at(end).isDigit()) {
        ++end;
    }
    return end;
}

}  // namespace

PortPlatform hostPortPlatform() {
#ifdef Q_OS_WIN
    return PortPlatform::Windows;
#else
    return PortPlatform::Unix;
#endif
}

bool isComPortName(const QString& name) {
    static const QRegularExpression com(QStringLiteral("^[Cc][Oo][Mm]0*[1-9][0-9]*$"));
    return com.match(name).hasMatch();
}

QString canonicalPortName(const QString& name) {
    return isComPortName(name) ? name.toUpper() : name;
}

QString deviceNameForPort(const QString& portName, PortPlatform platform) {
    if (platform == PortPlatform::Windows) {
        if (portName.size() > 4 && !portName.startsWith(QLatin1String("\\\\.\\"))) {
            return QStringLiteral("\\\\.\\%1").arg(portName);
        }
        return portName;
    }
    if (portName.isEmpty()) {
        return portName;
    }
    if (isComPortName(portName)) {
        // Decimal digits only: the name may come from anywhere, so no locale
        // dependent conversion.
        qint64 number = 0;
        for (const QChar c : QStringView(portName).mid(3)) {
            number = std::min<qint64>(number * 10 + (c.unicode() - '0'), 1'000'000'000);
        }
        return QStringLiteral("/dev/ttyS%1").arg(number - 1);
    }
    if (portName.contains(QLatin1Char('/'))) {
        return portName;
    }
    return QStringLiteral("/dev/") + portName;
}

bool isTerminalName(const QString& name) {
    static const QRegularExpression terminal(
        QStringLiteral("^(/dev/)?(pts/.*|pty.*|ttyp.*|tty[0-9]*|console|ptmx|vcs.*)$"));
    return terminal.match(name).hasMatch();
}

bool naturalLess(const QString& a, const QString& b) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a.at(i).isDigit() && b.at(j).isDigit()) {
            const qsizetype endA = digitRunEnd(a, i);
            const qsizetype endB = digitRunEnd(b, j);
            // Compare the numbers by value without converting them: strip leading
            // zeros, then the longer run is larger, then compare digit by digit.
            qsizetype startA = i;
            qsizetype startB = j;
            while (startA + 1 < endA && a.at(startA) == QLatin1Char('0')) {
                ++startA;
            }
            while (startB + 1 < endB && b.at(startB) == QLatin1Char('0')) {
                ++startB;
            }
            if (endA - startA != endB - startB) {
                return endA - startA < endB - startB;
            }
            const int cmp = QStringView(a)
                                .sliced(startA, endA - startA)
                                .compare(QStringView(b).sliced(startB, endB - startB));
            if (cmp != 0) {
                return cmp < 0;
            }
            i = endA;
            j = endB;
            continue;
        }
        if (a.at(i) != b.at(j)) {
            return a.at(i) < b.at(j);
        }
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

int probeProgress(int index, int count) {
    if (count <= 1) {
        return 100;
    }
    return static_cast<int>(static_cast<qint64>(index) * 100 / (count - 1));
}

std::vector<PortProbe> probeList(PortPlatform platform, const QStringList& publishedLinks,
                                 const QStringList& systemPortNames) {
    std::vector<PortProbe> probes;
    if (platform == PortPlatform::Windows) {
        probes.reserve(kWindowsProbeCount);
        for (int n = 1; n <= kWindowsProbeCount; ++n) {
            const QString name = QStringLiteral("com%1").arg(n);
            probes.push_back({name, deviceNameForPort(name, platform)});
        }
        return probes;
    }
    QStringList links = publishedLinks;
    std::sort(links.begin(), links.end());
    for (const QString& link : links) {
        probes.push_back({link, link});
    }
    QStringList system;
    for (const QString& name : systemPortNames) {
        if (!isTerminalName(name) && !name.isEmpty() && !system.contains(name)) {
            system.append(name);
        }
    }
    std::sort(system.begin(), system.end(), naturalLess);
    for (const QString& name : system) {
        probes.push_back({name, deviceNameForPort(name, platform)});
    }
    return probes;
}

QStringList systemSerialPortNames() {
    QStringList names;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& port : ports) {
        names.append(port.portName());
    }
    return names;
}
