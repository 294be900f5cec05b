// The main window on sources other than a serial port, over loopback sockets with
// ports the system picks and recorded logs: --source at start and its fallback to
// Setup, TCP with its status line, UDP and what a burst loses, Open log..., the replay bar, and a
// recording with receive times that replays with the results of the original.
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

#include "app/globals.h"
#include "app/line_health.h"
#include "app/main_window.h"
#include "app/receive_time_stamper.h"
#include "app/replay_bar.h"
#include "app/start_options.h"
#include "serial/setup_dialog.h"
#include "sources/source.h"
#include "sources/source_memory.h"
#include "support/modal.h"

using testsupport::whenModal;

namespace {

const QString kTalk = QStringLiteral(TW_APP_TEST_DATA "/../tools/talk.nmea");

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::shared_ptr<QString> answerBox() {
    auto seen = std::make_shared<QString>();
    whenModal<QMessageBox>([=](QMessageBox* box) {
        *seen = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    return seen;
}

}  // namespace

class WindowSourcesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(QDir::setCurrent(work.path()));
        qputenv("XDG_CONFIG_HOME", work.filePath("config").toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", work.path().toLocal8Bit());
    }
    void cleanup() { testsupport::cancelPendingModals(); }

    // Arguments, and the outcome with a part of its text.
    void commandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("text");
        const int run = int(StartOutcome::Run), help = int(StartOutcome::Help),
                  error = int(StartOutcome::Error);
        QTest::newRow("nothing") << QStringList{} << run << "";
        QTest::newRow("help") << QStringList{"--help"} << help << "--source <SOURCE>";
        QTest::newRow("tcp") << QStringList{"--source", "tcp://h"} << run << "";
        QTest::newRow("replay pace")
            << QStringList{"--source", kTalk, "--baud", "115200"} << run << "";
        QTest::newRow("serial odd speed")
            << QStringList{"--source", "COM3", "--baud", "1200"} << error << "not 1200";
        QTest::newRow("speed not a number")
            << QStringList{"--baud", "fast"} << error << "Speed 'fast'";
        QTest::newRow("empty source") << QStringList{"--source", ""} << error << "needs a source";
        QTest::newRow("stray argument") << QStringList{"COM3"} << error << "Unexpected argument";
        QTest::newRow("unknown option") << QStringList{"--port", "x"} << error << "Unknown option";
    }
    void commandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(int, outcome);
        QFETCH(QString, text);
        StartOptions options;
        QString said;
        QCOMPARE(int(parseStartOptions(QStringList{"tidewright"} + arguments, options, &said)),
                 outcome);
        QVERIFY2(said.contains(text), qPrintable(said));
    }

    // A malformed --source says what is wrong, opens nothing and then asks with Setup.
    void badStartSourceFallsBackToSetup() {
        auto box = answerBox();
        auto setup = whenModal<setupDialog>([](setupDialog* dialog) {
            dialog->findChild<QPushButton*>("pushButton_cancel")->click();
        });
        MainWindow window(QStringLiteral("tcp://:10110"), 4800);
        QVERIFY(box->contains("Missing host in 'tcp://:10110'"));
        QVERIFY(*setup && !comOpened);
        QCOMPARE(window.statusTip(), QString("No COM Port Selected"));
    }

    // --source tcp:// connects without Setup, shows the stream and the link's state.
    void tcpSourceAtStart() {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        const QString source = QStringLiteral("tcp://127.0.0.1:%1").arg(server.serverPort());
        MainWindow window(source, 4800);
        QVERIFY(comOpened);
        QTRY_VERIFY(server.hasPendingConnections() || server.waitForNewConnection(100));
        std::unique_ptr<QTcpSocket> peer(server.nextPendingConnection());
        QTRY_COMPARE(window.statusTip(), "Connected to " + source);
        peer->write("$HEHDT,274.1,T*2F\r\n");
        QTRY_COMPARE(rawPane(window)->toPlainText(), QString("$HEHDT,274.1,T*2F\n"));
        peer->close();
        QTRY_VERIFY(window.statusTip().startsWith("Connection lost: "));
        QCOMPARE(sources::rememberedSource().text, source);
    }

    // The list entry form works from the start as well; datagrams reach the pane.
    void udpSourceAtStart() {
        QUdpSocket probe;  // a port that is free now
        QVERIFY(probe.bind(QHostAddress::LocalHost, 0));
        const quint16 port = probe.localPort();
        probe.close();
        MainWindow window(QStringLiteral("udp://127.0.0.1:%1").arg(port), 4800);
        QVERIFY(comOpened);
        QCOMPARE(window.statusTip(), QStringLiteral("Listening on udp://127.0.0.1:%1").arg(port));
        QUdpSocket sender;
        sender.writeDatagram("$HEHDT,274.1,T*2F\r\n$YXMTW,17.8,C*1C", QHostAddress::LocalHost,
                             port);
        QTRY_COMPARE(rawPane(window)->toPlainText(),
                     QString("$HEHDT,274.1,T*2F\n$YXMTW,17.8,C*1C\n"));
    }

    // A burst the window cannot keep up with: the sentence after it still reaches the
    // pane, the line errors count what the system dropped and say so in their
    // breakdown, and a source found stuck and reopened says so in the notices.
    void udpBurstDropsAreShownWithTheLineErrors() {
        QUdpSocket probe;
        QVERIFY(probe.bind(QHostAddress::LocalHost, 0));
        const quint16 port = probe.localPort();
        probe.close();
        MainWindow window(QStringLiteral("udp://127.0.0.1:%1").arg(port), 4800);
        QVERIFY(comOpened);
        QUdpSocket sender;
        // Sent without a turn of the event loop: far more than the receive buffer holds.
        const QByteArray filler(1400, ' ');
        for (int i = 0; i < 20000; ++i) {
            sender.writeDatagram(filler, QHostAddress::LocalHost, port);
        }
        sender.writeDatagram("$HEHDT,274.1,T*2F\r\n", QHostAddress::LocalHost, port);
        QTRY_VERIFY_WITH_TIMEOUT(rawPane(window)->toPlainText().contains("$HEHDT,274.1,T*2F"),
                                 20000);
        const quint64 dropped = window.lineHealth()->sourceLosses().systemDropped;
        QVERIFY(dropped > 0);
        QLabel* errors = nullptr;
        for (QLabel* label : window.findChildren<QLabel*>()) {
            if (label->accessibleDescription() == "Line errors") {
                errors = label;
            }
        }
        QVERIFY(errors != nullptr);
        QTRY_VERIFY_WITH_TIMEOUT(
            errors->toolTip().contains(
                QStringLiteral("Datagrams dropped by the system: %1").arg(dropped)),
            5000);
        QVERIFY(errors->text().startsWith(QString::number(dropped)));

        auto* source = window.findChild<sources::Source*>();
        QVERIFY(source != nullptr);
        emit source->reopened(QStringLiteral("udp://127.0.0.1 had data waiting"));
        auto* notices = window.findChild<QLabel*>("statusNotices");
        QCOMPARE(notices->text(), QString("udp://127.0.0.1 had data waiting"));
    }

    // Open log... replays through the window; the bar shows the progress to the end;
    // a recording with receive times puts a TAG block before each line and, replayed,
    // gives the raw pane the same sentences; Stop replay closes the source.
    void openLogRecordWithTimesAndReplay() {
        auto cancel = whenModal<setupDialog>([](setupDialog* dialog) {
            dialog->findChild<QPushButton*>("pushButton_cancel")->click();
        });
        MainWindow window;
        QVERIFY(*cancel);
        auto chosen = whenModal<QFileDialog>([](QFileDialog* dialog) {
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(kTalk);
            static_cast<QDialog*>(dialog)->accept();
        });
        action(window, "actionReceiveTimes")->setChecked(true);
        action(window, "actionOpenLog")->trigger();
        QVERIFY(*chosen && comOpened);
        QVERIFY(window.statusTip().startsWith("Replaying "));
        auto* bar = window.findChild<ReplayBar*>();
        QVERIFY(bar->isVisible());
        action(window, "actionRecord")->trigger();
        window.findChild<QComboBox*>("replayPace")->setCurrentIndex(2);  // as fast as possible
        QTRY_VERIFY(window.statusTip().startsWith("Replay finished: "));
        QCOMPARE(window.findChild<QProgressBar*>("replayProgress")->value(), 1000);

        const QString saved = work.filePath("stamped.log");
        auto save = whenModal<QFileDialog>([=](QFileDialog* dialog) {
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(saved);
            static_cast<QDialog*>(dialog)->accept();
        });
        action(window, "actionStop")->trigger();
        QVERIFY(*save);
        const QList<QByteArray> lines = readFile(saved).split('\n');
        const QList<QByteArray> original = readFile(kTalk).split('\n');
        QCOMPARE(lines.size(), original.size());
        for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
            QVERIFY2(lines[i].startsWith("\\c:") && lines[i].endsWith(original[i]),
                     lines[i].constData());
        }

        action(window, "actionClear")->trigger();
        window.findChild<QComboBox*>("replayPace")->setCurrentIndex(0);
        answerOpen(saved);
        action(window, "actionOpenLog")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(window.statusTip().startsWith("Replay finished: "), 10000);
        QTRY_COMPARE(rawPane(window)->toPlainText().count("$"), 6);
        action(window, "actionReplayStop")->trigger();
        QVERIFY(!comOpened && !bar->isVisible());
        QCOMPARE(window.statusTip(), QString("Replay stopped"));
    }

    // Lines are stamped once, when they begin, even split over chunks; empty lines
    // are left alone.
    void stamperStampsEachLineOnce() {
        ReceiveTimeStamper stamper;
        const qint64 t = 1733500000123;
        QCOMPARE(stamper.stamp("$A*00\n$B", t), QByteArray("\\c:1733500000*5A\\$A*00\n"
                                                           "\\c:1733500000*5A\\$B"));
        QCOMPARE(stamper.stamp("*00\n\n", t + 5000), QByteArray("*00\n\n"));
        QCOMPARE(stamper.stamp("$C", t + 5000), QByteArray("\\c:1733500005*5F\\$C"));
        stamper.reset();
        QCOMPARE(stamper.stamp("X", t), QByteArray("\\c:1733500000*5A\\X"));
    }

private:
    static QAction* action(MainWindow& w, const char* name) { return w.findChild<QAction*>(name); }
    static QPlainTextEdit* rawPane(MainWindow& w) { return w.findChild<QPlainTextEdit*>(); }
    static void answerOpen(const QString& path) {
        whenModal<QFileDialog>([=](QFileDialog* dialog) {
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(path);
            static_cast<QDialog*>(dialog)->accept();
        });
    }

    QTemporaryDir work;
};

QTEST_MAIN(WindowSourcesTest)
#include "tst_window_sources.moc"
