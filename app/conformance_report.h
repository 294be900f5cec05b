// The monitor's side of the conformance rules: "Conformance report…" in the Log menu,
// which saves the session's findings per talker and rule as text or HTML, and the
// raw pane's marks for lines with findings.
#pragma once

#include <QString>

class LineHealth;
class QAction;
class QMenu;
class QWidget;
class RawPane;

namespace present {
class ConformanceLog;
}

// Writes the report to `path`: HTML when the name ends in .html or .htm, else text.
// False, with a reason in `error`, when it could not be written.
bool writeConformanceReport(const present::ConformanceLog& log, const QString& path,
                            QString* error);

// Adds the menu entry; it asks where to save and reports a failure.
QAction* addConformanceReportAction(QMenu* logMenu, QWidget* parent, const LineHealth* health);

// Marks the raw pane's lines from the findings the health's log keeps.
void markConformanceFindings(RawPane* pane, const LineHealth* health);
