#include "app/conformance_report.h"

#include <QAction>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QSaveFile>

#include "app/line_health.h"
#include "app/raw_pane.h"
#include "present/conformance_log.h"

bool writeConformanceReport(const present::ConformanceLog& log, const QString& path,
                            QString* error) {
    const bool html = path.endsWith(QLatin1String(".html"), Qt::CaseInsensitive) ||
                      path.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error != nullptr)
            *error = file.errorString();
        return false;
    }
    file.write((html ? log.reportHtml() : log.reportText()).toUtf8());
    if (!file.commit()) {
        if (error != nullptr)
            *error = file.errorString();
        return false;
    }
    return true;
}

QAction* addConformanceReportAction(QMenu* logMenu, QWidget* parent, const LineHealth* health) {
    auto* action = new QAction(QObject::tr("Conformance Report…"), parent);
    action->setObjectName(QStringLiteral("actionConformanceReport"));
    action->setToolTip(
        QObject::tr("Save the conformance findings of this session per talker and rule"));
    logMenu->addAction(action);
    QObject::connect(action, &QAction::triggered, parent, [parent, health] {
        QString filter;
        QString path = QFileDialog::getSaveFileName(
            parent, QObject::tr("Save Conformance Report"), QStringLiteral("conformance.html"),
            QObject::tr("HTML (*.html);;Text (*.txt)"), &filter);
        if (path.isEmpty())
            return;
        if (!path.contains(QLatin1Char('.')))
            path += filter.startsWith(QLatin1String("Text")) ? QStringLiteral(".txt")
                                                             : QStringLiteral(".html");
        QString error;
        if (!writeConformanceReport(health->conformance(), path, &error)) {
            QMessageBox::warning(parent, QObject::tr("Conformance Report"),
                                 QObject::tr("Could not save %1: %2").arg(path, error));
        }
    });
    return action;
}

void markConformanceFindings(RawPane* pane, const LineHealth* health) {
    pane->setConformanceMarker([health](QByteArrayView sentence, bool& error, QString& messages) {
        present::LineMark mark;
        if (!health->conformance().markOf(sentence, mark))
            return false;
        error = mark.worst == conformance::Severity::Error;
        messages = mark.messages;
        return true;
    });
}
