// What the setup dialog's port list knows beyond serial ports: the network entries at
// its end, the remembered source, and the check of a typed source string.
#pragma once

#include <QString>

class QComboBox;

// "UDP :10110" and "TCP localhost:10110", after everything else in the list.
void addNetworkEntries(QComboBox& ports);

// Selects the source and speed that opened last time: a listed entry or a network or
// file source. A remembered serial port that the scan did not find is not forced
// on the user.
void preselectRememberedSource(QComboBox& ports, QComboBox& rates);

// Empty when the text can be tried as a source; otherwise what is wrong with it. An
// empty text stays a port name that fails to open, as it always did.
QString sourceProblem(const QString& chosen);
