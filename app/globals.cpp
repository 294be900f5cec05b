#include "app/globals.h"

QByteArray receiveBuffer;
bool comOpened = false;
QTextCursor rawCursor;
bool recording = false;
