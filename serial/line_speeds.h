// The line speeds the monitor offers beyond its two classic entries, and the order in
// which the automatic search tries them.
#pragma once

#include <QString>
#include <QStringList>
#include <array>

// The speed setting that asks for the automatic search.
constexpr qint32 kAutoBaud = 0;

// The classic NMEA speed first, then AIS, then the others from the most common.
constexpr std::array<qint32, 6> kAutoSearchOrder = {4800, 38400, 9600, 115200, 19200, 57600};

// The entries after "Normal(4800)" and "AIS High Speed(38400)": 9600, 19200, 57600,
// 115200 and "Auto".
QStringList extraSpeedEntries();

// The speed an entry of the speed list stands for; kAutoBaud for "Auto". Anything
// unrecognised is the AIS speed, as the second classic entry always was.
qint32 speedForEntry(const QString& entry);

// The speed a port opens at for a setting: the setting itself when it is one of the
// offered speeds, the first speed of the search for Auto, the AIS speed otherwise.
qint32 openingSpeed(qint32 setting);
