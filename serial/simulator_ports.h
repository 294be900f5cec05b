// Pseudo-terminals of a running talker simulator are published as symbolic
// links in one directory; the port detection lists them first.
#pragma once

#include <QString>
#include <QStringList>

// $XDG_RUNTIME_DIR/tidewright when XDG_RUNTIME_DIR names a directory,
// otherwise /tmp/tidewright-<uid>.
QString simulatorPortDirectory();

// Full paths of the links in that directory that lead somewhere, sorted by
// name. Dangling links (a simulator that died) and anything that is not a link
// are left out.
QStringList publishedSimulatorPorts();
