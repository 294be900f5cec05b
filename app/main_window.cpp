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
#include <algorithm>

#include "app/about_dialog.h"
#include "app/globals.h"
#include "app/replay_bar.h"
#include "app/show_dialog.h"
#include "app/source_factory.h"
#include "serial/setup_dialog.h"
#include "sources/source.h"
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

    auto* rawDock = new QDockWidget(tr("Raw Data"), this);
    rawDock->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    rawText = new QPlainTextEdit(rawDock);
    rawDock->setWidget(rawText);
    addDockWidget(Qt::BottomDockWidgetArea, rawDock);
    ui->menuView->addAction(rawDock->toggleViewAction());

    rawText->setReadOnly(true);
    rawText->setAcceptDrops(false);
    // Oldest lines go first once the pane is full, so a day of data cannot
    // exhaust memory; one extra block holds the line still arriving.
    rawText->setMaximumBlockCount(kRawPaneLines + 1);
    rawPaneTimer.setSingleShot(true);
    rawPaneTimer.setInterval(kRawPaneDelayMs);
    connect(&rawPaneTimer, &QTimer::timeout, this, &MainWindow::flushRawPane);
    rawCursor = rawText->textCursor();
    rawText->setFont(QFont(QStringLiteral("Times"), 12, QFont::Normal, false));

    setStatusTip(tr("No COM Port Selected"));
    connect(this, &MainWindow::sig_updateStatus, this, &MainWindow::slot_updateStatus);

    statusLabel = new QLabel();
    statusLabel->setMinimumSize(150, 20);
    statusLabel->setFrameShape(QFrame::WinPanel);
    statusLabel->setFrameShadow(QFrame::Plain);
    ui->statusBar->addPermanentWidget(statusLabel, 0);
    statusLabel->setText(tr("Developed by Brinevale"));
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
    source = makeSource(comName, portSettings.BaudRate, this, &problem);
    if (source) {
        connect(source, &sources::Source::bytesArrived, this, &MainWindow::receiveChunk);
        connect(source, &sources::Source::stateChanged, this,
                [this](sources::Source::State state, const QString& reason) {
                    emit sig_updateStatus(source->statusText(state, reason));
                });
        chunkDecoder.reset();
        if (source->open()) {
            comOpened = true;
            emit sig_updateStatus(source->statusText(source->state(), {}));
            sourceOpened();
            ui->actionRecord->setEnabled(true);
            activateWindow();
            return true;
        }
        problem = isSerialSource(source) ? QString() : source->errorString();
        closePort();
    }
    comOpened = false;
    const QString failure = problem.isEmpty() ? tr("Open port: %1 fail!").arg(comName)
                                              : tr("Open %1 fail: %2").arg(comName, problem);
    QMessageBox::warning(this, tr("Warning"), failure, QMessageBox::Ok);
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
}

void MainWindow::receiveChunk(const QByteArray& chunk) {
    receiveBuffer.append(chunk);
    on_actionParse_triggered();

    const QByteArray text = chunkDecoder.decode(chunk);
    if (text.isEmpty()) {
        return;
    }
    pendingRawText += QString::fromLatin1(text);
    if (!rawPaneTimer.isActive()) {
        rawPaneTimer.start();
    }
    if (recording) {
        recorder.append(recordedText(text));
    }
}

void MainWindow::flushRawPane() {
    rawPaneTimer.stop();
    if (pendingRawText.isEmpty()) {
        return;
    }
    QElapsedTimer took;
    took.start();
    // Lines that would scroll out of the bounded pane at once are never laid out:
    // with more line ends pending than the pane keeps, only the latest lines go in.
    const qsizetype lineEnds = pendingRawText.count(QLatin1Char('\n'));
    if (lineEnds > kRawPaneLines) {
        qsizetype cut = -1;
        for (qsizetype skip = lineEnds - kRawPaneLines; skip > 0; --skip) {
            cut = pendingRawText.indexOf(QLatin1Char('\n'), cut + 1);
        }
        pendingRawText.remove(0, cut + 1);
        rawText->clear();
        rawCursor = rawText->textCursor();
    }
    // The text goes where the previous chunk ended, wherever the user clicked.
    rawText->setTextCursor(rawCursor);
    rawText->insertPlainText(pendingRawText);
    rawCursor = rawText->textCursor();
    pendingRawText.clear();
    // Under a flood the pane is refreshed less often, so that laying out text never
    // takes more than about half of the time.
    rawPaneTimer.setInterval(
        std::clamp(static_cast<int>(2 * took.elapsed()), kRawPaneDelayMs, kRawPaneMaxDelayMs));
}

void MainWindow::on_actionParse_triggered() {
    if (parseView) {
        emit clearShowText();
        showParse();
    }
}

void MainWindow::on_actionRecord_triggered() {
    ui->actionStop->setEnabled(true);
    ui->actionRecord->setEnabled(false);
    ui->actionSetup->setEnabled(false);
    stamper.reset();
    if (!recorder.start()) {
        QMessageBox::warning(this, tr("Warning"),
                             tr("Cannot create a temporary file for the recording."),
                             QMessageBox::Ok);
    }
    recording = true;
}

void MainWindow::on_actionStop_triggered() {
    ui->actionRecord->setEnabled(true);
    ui->actionStop->setEnabled(false);
    ui->actionSetup->setEnabled(true);
    recording = false;
    saveLog();
    recorder.discard();
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
        if (recorder.writeTo(fileName)) {
            return true;
        }
        // Keep the recording and ask again rather than losing it without a word.
        QMessageBox::warning(this, tr("Warning"), tr("Cannot write the log to %1.").arg(fileName),
                             QMessageBox::Ok);
        start = fileName;
    }
}

void MainWindow::on_actionClear_triggered() {
    pendingRawText.clear();
    rawPaneTimer.stop();
    rawText->clear();
    rawCursor = rawText->textCursor();
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
