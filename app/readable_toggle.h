// The View menu's "Readable values" toggle for the inspector: off by default so the
// specified table shows first, remembered between runs.
#pragma once

class QAction;
class QMenu;
class showDialog;

// Adds the checkable action to the menu, applies the remembered choice to the
// inspector and remembers every change.
QAction* addReadableValuesToggle(QMenu* menu, showDialog* inspector);
