// What the user is told when a port cannot be opened or goes away: the system's
// reason, and for a permission error on Linux how to get access.
#pragma once

#include <QSerialPort>
#include <QString>

#include "serial/port_naming.h"

// The lines added under "Open port: <name> fail!": the system's reason (for
// example "Permission denied") and, for a permission error on Linux, the hint
// about the dialout group. Empty when there is no reason to give.
QString openFailureDetails(QSerialPort::SerialPortError error, const QString& systemReason,
                           PortPlatform platform = hostPortPlatform());

// Why a port must not be opened although the device may exist: a link published by
// a simulator that is no longer running (its pseudo-terminal may belong to someone
// else by now). Empty when nothing speaks against opening it.
QString refusalToOpen(const QString& deviceName);
