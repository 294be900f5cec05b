// Process-wide state of the capture, used on the GUI thread only.
#pragma once

#include <QByteArray>
#include <QTextCursor>

#include "serial/port_settings.h"  // portSettings, comName

// Bytes received and not yet consumed by the parse cycle.
extern QByteArray receiveBuffer;
// True while the main window's port is open.
extern bool comOpened;
// Where the next received chunk goes in the raw pane.
extern QTextCursor rawCursor;
// True between Record and Stop and Save.
extern bool recording;
