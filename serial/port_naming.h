// The one place that knows how a port name chosen by the user becomes a device
// to open, and which ports the detection probes. The rest of the program speaks
// in port names (COM3, ttyUSB0, /dev/ttyACM0).
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

enum class PortPlatform { Windows, Unix };

// The platform the program was built for.
PortPlatform hostPortPlatform();

// True for COMn (any case, n a decimal number from 1), the Windows port names.
bool isComPortName(const QString& name);

// The name as the program keeps it: COMn names upper-cased (com3 -> COM3),
// anything else as typed, since device names elsewhere are case-sensitive.
QString canonicalPortName(const QString& name);

// The device to open for a port name.
// Windows: COM1..COM9 by name; longer names through the device path \\.\NAME.
// Elsewhere: COMn means /dev/ttyS(n-1) (the numbering of Windows-compatibility
// layers), a bare name means /dev/<name>, and a path is used as it stands.
QString deviceNameForPort(const QString& portName, PortPlatform platform = hostPortPlatform());

// One port the detection tries to open: the name it reports and the device.
struct PortProbe {
    QString reportName;
    QString deviceName;
};

// What the detection probes, in order. Windows: com1..com101. Elsewhere: the
// published simulator links (full paths), then the system's serial ports in
// natural order, never pseudo-terminals or consoles.
std::vector<PortProbe> probeList(PortPlatform platform, const QStringList& publishedLinks,
                                 const QStringList& systemPortNames);

// Serial port names QSerialPortInfo reports on this machine.
QStringList systemSerialPortNames();

// True for names that are terminals of people rather than serial lines:
// pseudo-terminals (pts/N, ptyXX, ttypX), virtual consoles (ttyN, console, tty).
bool isTerminalName(const QString& name);

// Natural order: ttyS2 before ttyS10.
bool naturalLess(const QString& a, const QString& b);

// Progress (0..100) after probe index (0-based) of count probes: 0 after the
// first and 100 after the last, as with com1..com101.
int probeProgress(int index, int count);
