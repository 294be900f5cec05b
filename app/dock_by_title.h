// The main window's docks by their titles, as `tidewright --show-dock NAME` names
// them: "AIS Targets", "sentences" (any case).
#pragma once

#include <QString>
#include <QStringList>

class QDockWidget;
class QMainWindow;

// The titles of the window's docks, in the order they were made.
QStringList dockTitles(const QMainWindow& window);

// The dock whose title is `name`, ignoring case; nullptr when none is.
QDockWidget* dockByTitle(const QMainWindow& window, const QString& name);

// Shows the dock titled `name` and brings it in front of the docks it shares a place
// with. False when the window has no such dock.
bool raiseDockByTitle(QMainWindow& window, const QString& name);
