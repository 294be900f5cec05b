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
#include <QSerialPort>
#include <QTime>
#include <algorithm>

#include "ais/vdm.h"
#include "app/about_dialog.h"
#include "app/ais_targets_dock.h"
#include "app/globals.h"
#include "app/health_status.h"
#include "app/line_health.h"
#include "app/raw_pane.h"
#include "app/readable_toggle.h"
#include "app/sentences_dock.h"
#include "app/show_dialog.h"
#include "app/snapshot_throttle.h"
#include "app/speed_hunter.h"
#include "app/status_notices.h"
#include "serial/line_speeds.h"
#include "serial/open_failure.h"
#include "serial/port_naming.h"
#include "serial/port_watch.h"
#include "serial/setup_dialog.h"
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
    readCoalesce.setSingleShot(true);
    readCoalesce.setInterval(kReadCoalesceMs);
    connect(&readCoalesce, &QTimer::timeout, this, [this] {
        if (myCom) {
            myCom->setReadBufferSize(0);
            receiveChunk(myCom->readAll());
        }
    });
    auto* sentencesDock = new QDockWidget(tr("Sentences"), this);
    sentencesDock->setObjectName(QStringLiteral("sentencesDock"));
    sentencesDock->setWidget(new SentencesDock(health));
    addDockWidget(Qt::TopDockWidgetArea, sentencesDock);
    tabifyDockWidget(parseDock, sentencesDock);
    parseDock->raise();
    ui->menuView->addAction(sentencesDock->toggleViewAction());

    auto* rawDock = new QDockWidget(tr("Raw Data"), this);
    rawDock->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    rawPane = new RawPane(rawDock);
    rawText = rawPane->view();
    rawDock->setWidget(rawPane);
    addDockWidget(Qt::BottomDockWidgetArea, rawDock);
    ui->menuView->addAction(rawDock->toggleViewAction());
    ui->menuView->addAction(rawPane->timestampsAction());
    ui->mainToolBar->addAction(rawPane->pauseAction());

    targetsDock = new AisTargetsDock(this);
    addDockWidget(Qt::TopDockWidgetArea, targetsDock);
    tabifyDockWidget(parseDock, targetsDock);
    parseDock->raise();
    ui->menuView->addAction(targetsDock->toggleViewAction());

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

    portWatch = new PortWatch([this](QString& reason) { return openSerial(reason); }, this);
    connect(portWatch, &PortWatch::lost, this, &MainWindow::onPortLost);
    connect(portWatch, &PortWatch::returned, this, &MainWindow::onPortReturned);
    healthStatus = new HealthStatus(health);
    ui->statusBar->addPermanentWidget(healthStatus, 0);
}

void MainWindow::on_actionSetup_triggered() {
    emit sig_updateStatus(tr("No COM Port Selected"));
    portWatch->stop();
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

void MainWindow::openPort() {
    closePort();
    QString details;
    myCom = openSerial(details);
    if (myCom) {
        comOpened = true;
        portWatch->watch(myCom);
        health->setPortOpen(true);
        healthStatus->setSpeedNote(QString());
        if (portSettings.BaudRate == kAutoBaud) {
            auto* hunter = new SpeedHunter(myCom, health, myCom);
            connect(hunter, &SpeedHunter::note, healthStatus, &HealthStatus::setSpeedNote);
            hunter->start();
        }
        emit sig_updateStatus(tr("Listening Port %1...").arg(comName));
        ui->actionRecord->setEnabled(true);
        activateWindow();
        return;
    }
    comOpened = false;
    const QString failure = tr("Open port: %1 fail!").arg(comName);
    QMessageBox::warning(this, tr("Warning"),
                         details.isEmpty() ? failure : failure + QLatin1Char('\n') + details,
                         QMessageBox::Ok);
    emit sig_updateStatus(failure);
}

QSerialPort* MainWindow::openSerial(QString& details) {
    const QString device = deviceNameForPort(comName);
    details = refusalToOpen(device);
    if (!details.isEmpty()) {
        return nullptr;
    }
    auto* port = new QSerialPort(this);
    port->setPortName(device);
    applyPortSettings(*port, nmeaPortSettings(openingSpeed(portSettings.BaudRate)));
    if (!port->open(QIODevice::ReadOnly)) {
        details = openFailureDetails(port->error(), port->errorString());
        delete port;
        return nullptr;
    }
    // Nothing from before this open may join what the port sends now: a half line, a
    // half sentence, the first fragments of an AIS message.
    chunkDecoder.reset();
    receiveBuffer.clear();
    ais::aisResetFragmentTable();
    connect(port, &QSerialPort::readyRead, this, &MainWindow::readMyCom);
    return port;
}

void MainWindow::onPortLost(const QString& reason) {
    if (myCom) {
        myCom->deleteLater();  // already closed by the watch
        myCom = nullptr;
    }
    comOpened = false;
    emit sig_updateStatus(tr("Port lost: %1").arg(reason));
}

void MainWindow::onPortReturned(QSerialPort* port) {
    myCom = port;
    comOpened = true;
    emit sig_updateStatus(tr("Port %1 is back. Listening Port %1...").arg(comName));
}

void MainWindow::closePort() {
    if (portWatch) {
        portWatch->stop();
    }
    if (myCom) {
        myCom->close();
        myCom->deleteLater();
        myCom = nullptr;
    }
    comOpened = false;
    if (health) {
        health->setPortOpen(false);
    }
}

void MainWindow::setPortLost(const QString& reason) {
    health->setPortLost(reason);
}

void MainWindow::readMyCom() {
    if (!myCom) {
        return;
    }
    // A line sending faster than the pause between parse steps is taken at once, so a
    // flood is never held back behind the timer.
    if (myCom->bytesAvailable() >= kReadNowBytes) {
        readCoalesce.stop();
        myCom->setReadBufferSize(0);
        receiveChunk(myCom->readAll());
        return;
    }
    if (!readCoalesce.isActive()) {
        // A full read buffer stops the port's wake-ups until the bytes are taken; the
        // line's own buffer holds what arrives meanwhile.
        myCom->setReadBufferSize(kReadNowBytes);
        readCoalesce.start();
    }
}

void MainWindow::receiveChunk(const QByteArray& chunk) {
    receiveBuffer.append(chunk);
    on_actionParse_triggered();

    const QByteArray text = chunkDecoder.decode(chunk);
    if (text.isEmpty()) {
        return;
    }
    rawPane->append(text, QTime::currentTime());
    if (recording && !recorder.append(text)) {
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
    recording = true;
}

void MainWindow::on_actionStop_triggered() {
    ui->actionRecord->setEnabled(true);
    ui->actionStop->setEnabled(false);
    ui->actionSetup->setEnabled(true);
    recording = false;
    if (portWatch->retrying()) {
        portWatch->stop();
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
