// Pseudo-terminals of a running talker simulator are published as symbolic
// links in one directory; the port detection lists them first.
#pragma once

#include <QString>
#include <QStringList>

// $XDG_RUNTIME_DIR/tidewright when XDG_RUNTIME_DIR names a directory,
// otherwise /tmp/tidewright-<uid>.
QString simulatorPortDirectory();

// Full paths of the live links in that directory, sorted by name. A link is live
// while the simulator that published it holds the lock on <link>.lock beside it;
// stale links (a simulator killed outright) are removed, with their lock files.
QStringList publishedSimulatorPorts();

// True when path names an entry of the simulator directory.
bool isPublishedSimulatorLink(const QString& path);

// True while the simulator that published the link is running and serving it.
bool simulatorLinkIsLive(const QString& linkPath);
