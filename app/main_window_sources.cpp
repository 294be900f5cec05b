// The main window's source controls: the Log menu's "Open log..." and receive-time
// setting, the replay bar, and remembering the source that opened.
#include <QAction>
#include <QDateTime>
#include <QFileDialog>
#include <QMenu>

#include "app/forwarding/forwarding_control.h"
#include "app/globals.h"
#include "app/line_health.h"
#include "app/main_window.h"
#include "app/replay_bar.h"
#include "app/status_notices.h"
#include "sources/replay_source.h"
#include "sources/source_memory.h"
#include "ui_main_window.h"

void MainWindow::setUpSourceControls() {
    QAction* openLog = new QAction(tr("Open log\u2026"), this);
    openLog->setObjectName(QStringLiteral("actionOpenLog"));
    openLog->setToolTip(tr("Replay a recorded log"));
    connect(openLog, &QAction::triggered, this, &MainWindow::openLogForReplay);
    ui->menuLog->insertAction(ui->actionRecord, openLog);

    receiveTimesAction = new QAction(tr("Record receive times"), this);
    receiveTimesAction->setObjectName(QStringLiteral("actionReceiveTimes"));
    receiveTimesAction->setToolTip(
        tr("Put each recorded line behind a TAG block with the time it was received"));
    receiveTimesAction->setCheckable(true);
    ui->menuLog->insertAction(ui->actionClear, receiveTimesAction);
    ui->menuLog->insertSeparator(ui->actionClear);

    replayBar = new ReplayBar(this);
    addToolBar(Qt::TopToolBarArea, replayBar);
    connect(replayBar, &ReplayBar::stopRequested, this, [this] {
        closePort();
        replayBar->attach(nullptr);
        emit sig_updateStatus(tr("Replay stopped"));
        ui->actionRecord->setEnabled(false);
    });
}

void MainWindow::openLogForReplay() {
    const QString path = QFileDialog::getOpenFileName(
        this, tr("Open log"), QString(), tr("Logs (*.txt *.log *.nmea);;All files (*)"));
    if (path.isEmpty() || recording) {
        return;
    }
    comName = QStringLiteral("file:") + path;
    openPort();
}

void MainWindow::sourceOpened() {
    sources::rememberSource(comName, portSettings.BaudRate);
    forwardingControl->setSources({comName});
    replayBar->attach(qobject_cast<sources::ReplaySource*>(source));
    // What the source loses below the byte stream joins the line errors; a source
    // found stuck and reopened says so until the next source opens.
    health->sourceOpened(source->counters());
    connect(source, &sources::Source::countersChanged, health, &LineHealth::sourceCountersChanged);
    notices->clear(QStringLiteral("source"));
    connect(source, &sources::Source::reopened, this,
            [this](const QString& notice) { notices->set(QStringLiteral("source"), notice); });
}

QByteArray MainWindow::recordedText(const QByteArray& text) {
    if (!receiveTimesAction->isChecked()) {
        return text;
    }
    return stamper.stamp(text, QDateTime::currentMSecsSinceEpoch());
}
