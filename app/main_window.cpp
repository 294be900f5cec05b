#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDir>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTime>
#include <algorithm>

#include "ais/vdm.h"
#include "app/about_dialog.h"
#include "app/ais_targets_dock.h"
#include "app/conformance_report.h"
#include "app/devices/devices_dock.h"
#include "app/forwarding/forwarding_control.h"
#include "app/globals.h"
#include "app/health_status.h"
#include "app/line_health.h"
#include "app/picture_docks.h"
#include "app/raw_pane.h"
#include "app/readable_toggle.h"
#include "app/replay_bar.h"
#include "app/sentences_dock.h"
#include "app/show_dialog.h"
#include "app/sky/sky_dock.h"
#include "app/snapshot_throttle.h"
#include "app/source_factory.h"
#include "app/speed_hunter.h"
#include "app/status_notices.h"
#include "n2k_db/database_loader.h"
#include "nmea/parser_context.h"
#include "present/parse_cycle.h"
#include "present/stream_router.h"
#include "serial/line_speeds.h"
#include "serial/open_failure.h"
#include "serial/port_naming.h"
#include "serial/setup_dialog.h"
#include "sources/port_watch.h"
#include "sources/replay_source.h"
#include "sources/serial_source.h"
#include "sources/source.h"
#include "sources/source_address.h"
#include "sources/source_memory.h"
#include "ui_main_window.h"

// The resources live in a static library; naming them here makes the linker keep them.
static void loadResources() {
    Q_INIT_RESOURCE(resources);
}

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), ui(new Ui::MainWindow) {
    loadResources();
    ui->setupUi(this);
    init();
    show();
    on_actionSetup_triggered();
}

MainWindow::MainWindow(const QString& startSource, qint32 baud, QWidget* parent)
    : QMainWindow(parent), ui(new Ui::MainWindow) {
    loadResources();
    ui->setupUi(this);
    init();
    show();
    comName = startSource;
    portSettings = nmeaPortSettings(baud);
    if (openPort()) {
        connectInspectorOnce();
    } else {
        on_actionSetup_triggered();
    }
}

MainWindow::~MainWindow() {
    closePort();
    recording = false;
    rawCursor = QTextCursor();
    delete setupDlg;
    delete parseView;
    delete ui;
}

void MainWindow::init() {
    QFile styleSheet(QStringLiteral(":css.qss"));
    QByteArray css;
    if (styleSheet.open(QIODevice::ReadOnly)) {
        css = styleSheet.readAll();
    }
    const qsizetype nul = css.indexOf('\0');
    qApp->setStyleSheet(QString::fromLatin1(nul < 0 ? css : css.left(nul)));

    setGeometry(200, 100, 800, 600);
    ui->actionRecord->setEnabled(false);
    ui->actionStop->setEnabled(false);

    auto* parseDock = new QDockWidget(tr("Parse Result"), this);
    parseView = new showDialog();
    parseDock->setWidget(parseView);
    parseDock->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    addDockWidget(Qt::TopDockWidgetArea, parseDock);
    ui->menuView->addAction(parseDock->toggleViewAction());
    addReadableValuesToggle(ui->menuView, parseView);

    health = new LineHealth(this);
    snapshots = new SnapshotThrottle(this);
    // The user sees a snapshot failure once (again when its reason changes) until a
    // write succeeds.
    connect(snapshots, &SnapshotThrottle::written, this, [this](const QString& error) {
        if (error.isEmpty()) {
            notices->clear(QStringLiteral("snapshot"));
        } else {
            notices->set(QStringLiteral("snapshot"), error);
        }
    });
    auto* sentencesDock = new QDockWidget(tr("Sentences"), this);
    sentencesDock->setObjectName(QStringLiteral("sentencesDock"));
    sentencesDock->setAccessibleName(tr("Sentences"));
    sentencesDock->setWidget(new SentencesDock(health));
    addDockWidget(Qt::TopDockWidgetArea, sentencesDock);
    tabifyDockWidget(parseDock, sentencesDock);
    parseDock->raise();
    ui->menuView->addAction(sentencesDock->toggleViewAction());

    auto* rawDock = new QDockWidget(tr("Raw Data"), this);
    rawDock->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    rawPane = new RawPane(rawDock);
    rawText = rawPane->view();
    connect(health, &LineHealth::sentenceWithWarning, rawPane, &RawPane::noteDeviation);
    rawDock->setWidget(rawPane);
    addDockWidget(Qt::BottomDockWidgetArea, rawDock);
    ui->menuView->addAction(rawDock->toggleViewAction());
    ui->menuView->addAction(rawPane->timestampsAction());
    ui->mainToolBar->addAction(rawPane->pauseAction());
    markConformanceFindings(rawPane, health);
    addConformanceReportAction(ui->menuLog, this, health);

    targetsDock = new AisTargetsDock(this);
    addDockWidget(Qt::TopDockWidgetArea, targetsDock);
    tabifyDockWidget(parseDock, targetsDock);
    parseDock->raise();
    ui->menuView->addAction(targetsDock->toggleViewAction());

    devices = new DevicesDock([this] { return health->now(); }, this);
    addDockWidget(Qt::TopDockWidgetArea, devices);
    tabifyDockWidget(parseDock, devices);
    parseDock->raise();
    ui->menuView->addAction(devices->toggleViewAction());
    connect(health, &LineHealth::cleared, devices, &DevicesDock::clear);
    connect(health, &LineHealth::cleared, this, [this] {
        n2kCleared = streamRouter ? streamRouter->counters() : present::N2kStreamCounters{};
    });
    pictures = new PictureDocks(this, parseView, targetsDock);
    tabifyDockWidget(parseDock, pictures->skyDock());
    parseDock->raise();
    ui->menuView->addAction(pictures->skyDock()->toggleViewAction());
    connect(this, &MainWindow::sendresult, pictures, &PictureDocks::resultList);

    setStatusTip(tr("No COM Port Selected"));
    connect(this, &MainWindow::sig_updateStatus, this, &MainWindow::slot_updateStatus);

    statusLabel = new QLabel();
    statusLabel->setMinimumSize(150, 20);
    statusLabel->setFrameShape(QFrame::WinPanel);
    statusLabel->setFrameShadow(QFrame::Plain);
    ui->statusBar->addPermanentWidget(statusLabel, 0);
    statusLabel->setText(tr("Developed by Brinevale"));
    notices = new StatusNotices();
    ui->statusBar->addWidget(notices, 1);
    healthStatus = new HealthStatus(health);
    ui->statusBar->addPermanentWidget(healthStatus, 0);
    forwardingControl = new ForwardingControl(this, ui->menuSetup, ui->statusBar);
    setUpSourceControls();
}

void MainWindow::on_actionSetup_triggered() {
    emit sig_updateStatus(tr("No COM Port Selected"));
    if (comOpened) {
        closePort();
        delete setupDlg;
        setupDlg = nullptr;
    }
    ui->actionRecord->setEnabled(false);

    delete setupDlg;  // the dialog of a Setup that did not open a port
    setupDlg = new setupDialog();
    // The dialog is modal from the moment the scan starts, so it can be answered
    // in the instant between the end of the scan and exec(); take that answer.
    const int answer = setupDlg->isVisible() ? setupDlg->exec() : setupDlg->result();
    if (answer == QDialog::Accepted) {
        openPort();
        connectInspectorOnce();
    } else {
        emit sig_updateStatus(tr("No COM Port Selected"));
    }
    activateWindow();
}

void MainWindow::connectInspectorOnce() {
    if (inspectorConnected || !parseView) {
        return;
    }
    // Direct connections: the inspector pairs each result list with the current
    // sentence name, which the next sentence overwrites.
    connect(this, &MainWindow::sendParse, parseView, &showDialog::showParseText,
            Qt::DirectConnection);
    connect(this, &MainWindow::clearShowText, parseView, &showDialog::clearText,
            Qt::DirectConnection);
    connect(this, &MainWindow::sendresult, parseView, &showDialog::showResult,
            Qt::DirectConnection);
    inspectorConnected = true;
}

bool MainWindow::openPort() {
    closePort();
    QString problem;
    // A link published by a simulator that has died may point at someone else's
    // terminal by now.
    const QString refusal = refusalToOpen(deviceNameForPort(comName));
    source =
        refusal.isEmpty() ? makeSource(comName, portSettings.BaudRate, this, &problem) : nullptr;
    if (source) {
        connect(source, &sources::Source::bytesArrived, this, &MainWindow::receiveChunk);
        // Strict framing as chosen; '#' comment lines only in a replayed file.
        health->setFramingRules(
            (sources::strictFramingChosen() ? nmeaz::kStrictFraming : 0u) |
            (qobject_cast<sources::ReplaySource*>(source) != nullptr ? nmeaz::kCommentLines : 0u));
        connect(source, &sources::Source::stateChanged, this,
                [this](sources::Source::State state, const QString& reason) {
                    emit sig_updateStatus(source->statusText(state, reason));
                    if (state == sources::Source::State::Lost) {
                        health->setPortLost(reason);
                    } else if (state == sources::Source::State::Open) {
                        health->setPortOpen(true);
                    }
                });
        // Nothing from before this open may join what the source sends now: a half
        // line, a half sentence, the first fragments of an AIS message.
        chunkDecoder.reset();
        receiveBuffer.clear();
        streamRouter.reset();
        present::startNewStream();
        ais::aisResetFragmentTable();
        if (source->open()) {
            comOpened = true;
            emit sig_updateStatus(source->statusText(source->state(), {}));
            health->setPortOpen(true);
            healthStatus->setSpeedNote(QString());
            startSpeedSearch();
            sourceOpened();
            ui->actionRecord->setEnabled(true);
            activateWindow();
            return true;
        }
        auto* serial = qobject_cast<sources::SerialSource*>(source);
        problem = serial ? openFailureDetails(serial->openError(), serial->errorString())
                         : source->errorString();
        closePort();
    }
    comOpened = false;
    const bool serial =
        sources::parseSourceAddress(comName).value_or(sources::SourceAddress{}).kind ==
        sources::SourceAddress::Kind::Serial;
    QString failure;
    if (!refusal.isEmpty() || serial) {
        // A serial port keeps its classic text, with the reason on the lines below.
        failure = tr("Open port: %1 fail!").arg(comName);
        const QString details = refusal.isEmpty() ? problem : refusal;
        QMessageBox::warning(this, tr("Warning"),
                             details.isEmpty() ? failure : failure + QLatin1Char('\n') + details,
                             QMessageBox::Ok);
    } else {
        failure = tr("Open %1 fail: %2").arg(comName, problem);
        QMessageBox::warning(this, tr("Warning"), failure, QMessageBox::Ok);
    }
    emit sig_updateStatus(failure);
    return false;
}

void MainWindow::closePort() {
    if (source) {
        source->disconnect(this);
        source->close();
        source->deleteLater();
        source = nullptr;
        replayBar->attach(nullptr);
    }
    comOpened = false;
    if (health) {
        health->setPortOpen(false);
    }
}

void MainWindow::setPortLost(const QString& reason) {
    health->setPortLost(reason);
    // The status message beside the line state must not go on saying "Listening".
    emit sig_updateStatus(tr("Port lost: %1").arg(reason));
}

void MainWindow::startSpeedSearch() {
    auto* serial = qobject_cast<sources::SerialSource*>(source);
    if (serial == nullptr || serial->port() == nullptr || portSettings.BaudRate != kAutoBaud) {
        return;
    }
    auto* hunter = new SpeedHunter(serial->port(), health, serial->port());
    connect(hunter, &SpeedHunter::note, healthStatus, &HealthStatus::setSpeedNote);
    hunter->start();
}
void MainWindow::receiveChunk(const QByteArray& chunk) {
    parseChunk(chunk);

    const QByteArray text = chunkDecoder.decode(chunk);
    if (text.isEmpty()) {
        return;
    }
    rawPane->append(text, QTime::currentTime());
    if (recording && !recorder.append(recordedText(text))) {
        notices->set(QStringLiteral("recording"),
                     tr("Recording stopped growing: %1. What was recorded before is kept; "
                        "Stop saves it.")
                         .arg(recorder.failure()));
    }
}

void MainWindow::flushRawPane() {
    rawPane->flush();
}

void MainWindow::on_actionParse_triggered() {
    if (parseView) {
        emit clearShowText();
        showParse();
    }
}

void MainWindow::on_actionRecord_triggered() {
    QString error;
    if (!recorder.start(error)) {
        QMessageBox::warning(
            this, tr("Warning"),
            tr("Cannot create a temporary file for the recording.") + QLatin1Char('\n') + error,
            QMessageBox::Ok);
        return;
    }
    ui->actionStop->setEnabled(true);
    ui->actionRecord->setEnabled(false);
    ui->actionSetup->setEnabled(false);
    stamper.reset();
    recording = true;
}

void MainWindow::on_actionStop_triggered() {
    ui->actionRecord->setEnabled(true);
    ui->actionStop->setEnabled(false);
    ui->actionSetup->setEnabled(true);
    recording = false;
    // Stop also ends the retrying of a lost port.
    if (auto* serial = qobject_cast<sources::SerialSource*>(source);
        serial != nullptr && serial->watch()->retrying()) {
        serial->watch()->stop();
    }
    saveLog();
    recorder.discard();
    notices->clear(QStringLiteral("recording"));
}

bool MainWindow::saveLog() {
    const QString defaultName = QDir::currentPath() + QStringLiteral("/untitled.txt");
    QString start = defaultName;
    for (;;) {
        const QString fileName =
            QFileDialog::getSaveFileName(this, tr("Save"), start, tr("Text files (*.txt)"));
        if (fileName.isEmpty()) {
            return false;
        }
        QString error;
        if (recorder.writeTo(fileName, error)) {
            return true;
        }
        // Keep the recording and ask again rather than losing it without a word.
        QMessageBox::warning(this, tr("Warning"), error, QMessageBox::Ok);
        start = fileName;
    }
}

void MainWindow::on_actionClear_triggered() {
    health->reset();
    rawPane->clear();
}

void MainWindow::on_actionExit_triggered() {
    close();
}

void MainWindow::on_actionAbout_triggered() {
    aboutDlg = new aboutDialog();
    if (aboutDlg->exec() == QDialog::Rejected) {
        delete aboutDlg;
        aboutDlg = nullptr;
    }
}

void MainWindow::slot_updateStatus(QString status) {
    setStatusTip(status);
}

void MainWindow::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_VolumeUp && comOpened) {
        closePort();
    }
    e->accept();
}

void MainWindow::closeEvent(QCloseEvent* e) {
    if (recording) {
        const auto answer = QMessageBox::question(
            this, tr("Recording"), tr("A log is being recorded. Save it before closing?"),
            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
        if (answer == QMessageBox::Cancel || (answer == QMessageBox::Save && !saveLog())) {
            e->ignore();
            return;
        }
        recording = false;
        recorder.discard();
        notices->clear(QStringLiteral("recording"));
        ui->actionStop->setEnabled(false);
        ui->actionSetup->setEnabled(true);
    }
    closePort();
    e->accept();
}

void MainWindow::contextMenuEvent(QContextMenuEvent* e) {
    flushRawPane();  // the menu's Copy and Select All act on everything received
    QMenu* menu = rawText->createStandardContextMenu();
    QAction* clear = menu->addAction(tr("Clear"));
    connect(clear, &QAction::triggered, this, &MainWindow::on_actionClear_triggered);
    menu->exec(e->globalPos());
    delete menu;
}
