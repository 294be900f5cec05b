#include "serial/line_speeds.h"

#include <algorithm>

QStringList extraSpeedEntries() {
    return {QStringLiteral("9600"), QStringLiteral("19200"), QStringLiteral("57600"),
            QStringLiteral("115200"), QStringLiteral("Auto")};
}

qint32 speedForEntry(const QString& entry) {
    if (entry == QLatin1String("Normal(4800)")) {
        return 4800;
    }
    if (entry == QLatin1String("Auto")) {
        return kAutoBaud;
    }
    bool number = false;
    const qint32 speed = entry.toInt(&number);
    return number ? openingSpeed(speed) : 38400;
}

qint32 openingSpeed(qint32 setting) {
    if (setting == kAutoBaud) {
        return kAutoSearchOrder.front();
    }
    return std::find(kAutoSearchOrder.begin(), kAutoSearchOrder.end(), setting) !=
                   kAutoSearchOrder.end()
               ? setting
               : 38400;
}
