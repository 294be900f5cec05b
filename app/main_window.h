// The program's single top-level window: actions, menus, tool bar, the "Parse
// Result" and "Raw Data" docks, the status bar, the serial port and log recording.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <memory>

#include "app/chunk_text.h"
#include "app/log_recorder.h"
#include "app/raw_pane.h"
#include "app/receive_time_stamper.h"
#include "n2k/pgn_decoder.h"
#include "present/stream_router.h"

class ForwardingControl;
class HealthStatus;
class DevicesDock;
namespace n2k {
class PgnDatabase;
}
class SnapshotThrottle;
class LineHealth;
class QCloseEvent;
class QContextMenuEvent;
class QKeyEvent;
class QLabel;
class StatusNotices;
class QPlainTextEdit;
class AisTargetsDock;
class PictureDocks;
class ReplayBar;
class aboutDialog;
class setupDialog;
class showDialog;
namespace sources {
class Source;
}

namespace Ui {
class MainWindow;
}

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    // Opens startSource at baud without asking; the setup dialog follows only when
    // it fails to open.
    MainWindow(const QString& startSource, qint32 baud, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The raw pane keeps at least this many of the latest lines.
    static constexpr int kRawPaneLines = RawPane::kLines;

    // What a port read does with the bytes it got: the receive buffer and the
    // parse step at once, then the raw pane and a running recording.
    void receiveChunk(const QByteArray& chunk);
    AisTargetsDock* aisTargetsDock() const { return targetsDock; }
    DevicesDock* devicesDock() const { return devices; }
    showDialog* inspector() const;
    // The database that decodes the stream's PGNs; nullptr before NMEA 2000 was heard
    // or when it could not be loaded.
    const n2k::PgnDatabase* pgnDatabase() const {
        return streamRouter ? streamRouter->database() : nullptr;
    }
    // The sky view and the plots.
    PictureDocks* pictureDocks() const { return pictures; }
    // Where recordings are kept; tests put a storage of their own in.
    LogRecorder& logRecorder() { return recorder; }

    // The counters, keys and state of the line being listened to.
    LineHealth* lineHealth() const { return health; }
    // What the NMEA 2000 side of the current source counted (frames, messages,
    // fast-packet and transport errors, unknown PGNs, bad gateway lines); all zero
    // while none was heard.
    present::N2kStreamCounters n2kCounters() const {
        return streamRouter ? streamRouter->counters() : present::N2kStreamCounters{};
    }
    // The outputs that share what the monitor hears.
    ForwardingControl* forwarding() const { return forwardingControl; }
    // Shows "Port lost" in the line state until a port opens again.
    void setPortLost(const QString& reason);

signals:
    void sig_updateStatus(QString status);
    void sendParse(QString text);
    void clearShowText();
    void sendresult(QStringList result);
    // One whole NMEA 2000 PGN of the stream, decoded, in stream order with the
    // sentences; both live only for the (direct) call.
    void pgnReceived(const n2k::Message& message, const n2k::DecodedPgn& decoded);

public slots:
    void on_actionParse_triggered();
    void on_actionRecord_triggered();
    void on_actionAbout_triggered();
    void on_actionClear_triggered();
    void on_actionExit_triggered();
    void on_actionStop_triggered();
    void on_actionSetup_triggered();
    void slot_updateStatus(QString status);
    void init();
    void showParse();
    void saveXml(int selector, void* record);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    // Opens the source named by comName; false (after saying why) when it cannot.
    bool openPort();
    void closePort();
    // With Auto chosen, searches the line speeds on the serial port just opened.
    void startSpeedSearch();
    // Asks for a file name and writes the recording there; asks again after a
    // failed write. False when the user gave up (cancelled the file dialog).
    bool saveLog();
    void connectInspectorOnce();
    void setUpSourceControls();
    void openLogForReplay();
    // After a source opened: remember it, show the replay bar for a replay.
    void sourceOpened();
    // The text as the recording keeps it: as received, or with receive times.
    QByteArray recordedText(const QByteArray& text);
    // Shows the text received since the last call in the raw pane.
    void flushRawPane();
    // The next bytes of the source through the stream router: NMEA 0183 to the parse
    // cycle, NMEA 2000 to pgnReceived.
    void parseChunk(const QByteArray& chunk);

    Ui::MainWindow* ui;
    QPlainTextEdit* rawText = nullptr;
    RawPane* rawPane = nullptr;
    // The recording, collected in a temporary file so long recordings keep memory flat.
    LogRecorder recorder;
    setupDialog* setupDlg = nullptr;
    // Where the bytes come from: serial port, network or a replayed log.
    sources::Source* source = nullptr;
    ReplayBar* replayBar = nullptr;
    QAction* receiveTimesAction = nullptr;
    ReceiveTimeStamper stamper;
    aboutDialog* aboutDlg = nullptr;
    QLabel* statusLabel = nullptr;
    StatusNotices* notices = nullptr;
    QPointer<showDialog> parseView;
    // Turns received bytes into text for the raw pane and the recording.
    ChunkTextDecoder chunkDecoder;
    bool inspectorConnected = false;
    AisTargetsDock* targetsDock = nullptr;
    PictureDocks* pictures = nullptr;
    LineHealth* health = nullptr;
    HealthStatus* healthStatus = nullptr;
    SnapshotThrottle* snapshots = nullptr;
    DevicesDock* devices = nullptr;
    // Splits the stream into NMEA 0183 and NMEA 2000; a fresh one for every open source.
    std::unique_ptr<present::StreamRouter> streamRouter;
    // The router's counts when the line health was last cleared: the status fields
    // count from there.
    present::N2kStreamCounters n2kCleared;
    ForwardingControl* forwardingControl = nullptr;
};
