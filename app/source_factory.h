// Turns a source string (a port name, tcp://, udp://, file:) into the source that
// serves it, configured as the setup chose: a serial port at its line speed, a
// replay paced at that speed.
#pragma once

#include <QString>

class QObject;
namespace sources {
class Source;
}

// Null when the string is malformed; *problem then says what is wrong.
sources::Source* makeSource(const QString& text, qint32 baud, QObject* parent, QString* problem);

bool isSerialSource(const sources::Source* source);
