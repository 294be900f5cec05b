// The window's line health through a real pseudo-terminal, under an injected clock:
// the Sentences dock, the status bar's line state, and the raw pane's view of the line.
#include <QAction>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

#include "app/health_status.h"
#include "app/line_health.h"
#include "app/main_window.h"
#include "app/raw_pane.h"
#include "app/sentences_dock.h"
#include "app/sentences_model.h"
#include "serial/line_speeds.h"
#include "support/pty.h"
#include "support/setup_answer.h"
#include "uart_misread.h"

using testsupport::answerSetup;

namespace {

QByteArray withChecksum(const QByteArray& body) {
    unsigned value = 0;
    for (char c : body.mid(1)) {
        value ^= static_cast<unsigned char>(c);
    }
    return body + "*" + QByteArray::number(value, 16).toUpper().rightJustified(2, '0') + "\r\n";
}

const QByteArray kGga = withChecksum("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,,");

// A window listening on a fresh pseudo-terminal, its line health on a clock the test
// moves by hand.
struct Rig {
    TestPty pty;
    std::shared_ptr<bool> answered = answerSetup(pty.slavePath());
    MainWindow window;
    qint64 now = 100000;
    LineHealth* health = window.lineHealth();
    SentencesDock* dock = window.findChild<SentencesDock*>();
    HealthStatus* status = window.findChild<HealthStatus*>();

    Rig() {
        health->setClock([this] { return now; });
        window.findChild<QAction*>("actionClear")->trigger();
    }
    // Sends at the current time and waits until the window has taken every byte.
    bool send(const QByteArray& bytes) {
        const quint64 before = health->counts().bytes + quint64(pendingBytes());
        if (!pty.send(bytes)) {
            return false;
        }
        return QTest::qWaitFor(
            [&] {
                return health->counts().bytes + quint64(pendingBytes()) >= before + bytes.size();
            },
            10000);
    }
    static qsizetype pendingBytes();
    // The dock's row of `key`, or -1.
    int row(const QByteArray& key) {
        dock->refresh();
        SentencesModel* model = dock->model();
        for (int r = 0; r < model->rowCount(); ++r) {
            if (model->index(r, SentencesModel::Key).data().toByteArray() == key) {
                return r;
            }
        }
        return -1;
    }
    QVariant cell(const QByteArray& key, int column, int role = Qt::DisplayRole) {
        const int r = row(key);
        return r < 0 ? QVariant() : dock->model()->index(r, column).data(role);
    }
    QString state() {
        status->refresh();
        return status->stateText();
    }
};

}  // namespace

#include "app/globals.h"

qsizetype Rig::pendingBytes() {
    return receiveBuffer.size();
}

class LineHealthTest : public QObject {
    Q_OBJECT

private slots:
    // The snapshots of decoded fixes are written to the current directory.
    void initTestCase() {
        QVERIFY(QDir::setCurrent(work.path()));
        qputenv("XDG_RUNTIME_DIR", work.path().toLocal8Bit());
    }

    // Decoded, unknown and proprietary keys alike, with counts and checksum errors; the
    // dock sits tabbed with the inspector; a row shows its last sentence field by field.
    void sentencesDockListsEveryKey() {
        Rig rig;
        QVERIFY(*rig.answered);
        const QByteArray rmb = withChecksum("$GPRMB,A,0.66,L,003,004");
        const QByteArray pgrme = withChecksum("$PGRME,15.0,M,45.0,M,25.0,M");
        QVERIFY(rig.send(kGga + rmb + pgrme + kGga + rmb + "$GPGGA,1*4C\r\n" + kGga));
        const struct {
            QByteArray key;
            QString count, errors;
        } rows[] = {{"$GPGGA", "3", "1"}, {"$GPRMB", "2", "0"}, {"$PGRME", "1", "0"}};
        for (const auto& r : rows) {
            QCOMPARE(rig.cell(r.key, SentencesModel::Count).toString(), r.count);
            QCOMPARE(rig.cell(r.key, SentencesModel::Errors).toString(), r.errors);
        }
        QCOMPARE(rig.dock->model()->rowCount(), 3);
        QCOMPARE(rig.health->counts().unknownType, 1u);  // RMB is decoded, PGRME not

        auto* dockWidget = rig.window.findChild<QDockWidget*>("sentencesDock");
        const QList<QDockWidget*> tabbed = rig.window.tabifiedDockWidgets(dockWidget);
        QVERIFY(std::any_of(tabbed.begin(), tabbed.end(), [](QDockWidget* d) {
            return d->windowTitle() == QStringLiteral("Parse Result");
        }));
        dockWidget->raise();
        QTableView* view = rig.dock->keyView();
        view->sortByColumn(SentencesModel::Count, Qt::DescendingOrder);
        view->setCurrentIndex(view->model()->index(2, 0));  // fewest: $PGRME
        rig.dock->refresh();
        QTableWidget* fields = rig.dock->fieldView();
        QCOMPARE(fields->rowCount(), 7);
        QCOMPARE(fields->item(0, 1)->text(), QString("$PGRME"));
        QCOMPARE(fields->item(6, 1)->text(), QString("M*") + pgrme.mid(pgrme.size() - 4, 2));

        rig.window.findChild<QAction*>("actionClear")->trigger();
        QCOMPARE(rig.dock->model()->rowCount(), 0);
    }

    // A talker heard every second goes quiet: stale after five seconds (three of its
    // intervals would be sooner), the line silent from three.
    void silentTalkerTurnsStale() {
        Rig rig;
        for (int i = 0; i < 4; ++i, rig.now += 1000) {
            QVERIFY(rig.send(kGga));
        }
        QCOMPARE(rig.state(), QString("Receiving"));
        // Heard after the dock's last refresh: age 0, not unknown.
        rig.dock->refresh();
        rig.now += 500;
        QVERIFY(rig.send(kGga));
        QCOMPARE(rig.dock->model()->index(0, SentencesModel::Age).data().toString(),
                 QString("0.0"));
        rig.now += 1000;
        const struct {
            qint64 quiet;
            bool stale;
            QString state;
        } steps[] = {
            {2000, false, "Receiving"},
            {3000, false, "Silent for 3 s"},
            {6000, true, "Silent for 6 s"},
        };
        const qint64 last = rig.now - 1000;
        for (const auto& step : steps) {
            rig.now = last + step.quiet;
            QCOMPARE(rig.cell("$GPGGA", 0, SentencesModel::StaleRole).toBool(), step.stale);
            QCOMPARE(rig.state(), step.state);
        }
        QVERIFY(rig.cell("$GPGGA", SentencesModel::Age).toString().contains("stale"));
        QVERIFY(rig.cell("$GPGGA", 0, Qt::ForegroundRole).isValid());
        rig.window.setPortLost("device removed");
        QCOMPARE(rig.state(), QString("Port lost: device removed"));
    }

    // Losses the source counted join the error total and its breakdown, after the
    // line's own counts; Clear starts them from zero while the source counts on.
    void sourceLossesJoinTheErrors() {
        LineHealth health;
        HealthStatus status(&health);
        QLabel* errors = nullptr;
        for (QLabel* label : status.findChildren<QLabel*>()) {
            errors = label->accessibleDescription() == "Line errors" ? label : errors;
        }
        QVERIFY(errors != nullptr);
        struct Step {
            bool counted;
            quint64 dropped, overruns;
            bool clearFirst;
            QString total, tail;
        };
        const Step steps[] = {
            {false, 0, 0, false, "0 errors", ""},  // the system says nothing
            {true, 0, 0, false, "0 errors", "\nDatagrams dropped by the system: 0"},
            {true, 7, 2, false, "9 errors",
             "\nDatagrams dropped by the system: 7\nSerial overruns: 2"},
            {true, 7, 2, true, "0 errors", "\nDatagrams dropped by the system: 0"},
            {true, 8, 2, false, "1 error", "\nDatagrams dropped by the system: 1"},
        };
        sources::SourceCounters counts;
        health.sourceOpened(counts);
        for (const Step& step : steps) {
            if (step.clearFirst) {
                health.reset();
            }
            counts.systemDropsCounted = step.counted;
            counts.systemDropped = step.dropped;
            counts.serialOverruns = step.overruns;
            health.sourceCountersChanged(counts);
            status.refresh();
            QCOMPARE(status.errorText(), step.total);
            const QString tip = errors->toolTip();
            QVERIFY2(step.tail.isEmpty() ? !tip.contains("by the system") : tip.endsWith(step.tail),
                     qPrintable(tip));
        }
    }

    // A talker at 38400 heard at 4800: bytes keep coming, none frame; after five
    // seconds the status suggests the speed. Errors add up in the status with a
    // breakdown.
    void wrongSpeedHint() {
        Rig rig;
        const std::string sent = (kGga + kGga + kGga).toStdString();
        const QByteArray garbage = QByteArray::fromStdString(sim::uartMisread(sent, 38400, 4800));
        QVERIFY(!garbage.isEmpty());
        for (int i = 0; i <= 6; ++i, rig.now += 1000) {
            QVERIFY(rig.send(garbage));
            QCOMPARE(rig.state(),
                     QString(i < 5 ? "Receiving" : "No valid sentences — wrong speed?"));
        }
        QCOMPARE(rig.health->counts().accepted, 0u);
        QVERIFY(rig.send(kGga + "$GPGGA,1*4C\r\n"));
        QCOMPARE(rig.state(), QString("Receiving"));
        QCOMPARE(rig.status->errorText(), QString("1 error"));
    }

    void judge_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("verdict");
        const auto plain = int(RawPane::Verdict::Plain);
        const auto bad = int(RawPane::Verdict::BadChecksum);
        const QByteArray good = kGga.chopped(2);
        QTest::newRow("good") << good << plain;
        QTest::newRow("no checksum") << QByteArray("$GPHDT,1,T") << plain;
        QTest::newRow("noise") << QByteArray("\x01garbage*ZZ") << plain;
        QTest::newRow("wrong checksum") << QByteArray("$GPGGA,1*4C") << bad;
        QTest::newRow("lower-case digits") << QByteArray("$GPGGA,1*4b") << plain;
        QTest::newRow("noise before a good one") << "xx" + good << plain;
        QTest::newRow("noise before a bad one") << QByteArray("xx!AIVDM,1*00") << bad;
        QTest::newRow("too long") << "$GPHDT," + QByteArray(250, '1')
                                  << int(RawPane::Verdict::TooLong);
    }
    void judge() {
        QFETCH(QByteArray, line);
        QFETCH(int, verdict);
        QCOMPARE(int(RawPane::judge(line)), verdict);
    }

    // The pane marks a bad line and keeps noise as it came; the filter shows matching
    // lines only; pausing holds the view while the dock counts on, and resuming shows
    // what arrived meanwhile; timestamps lead each line when asked for.
    void rawPaneView() {
        Rig rig;
        auto* pane = rig.window.findChild<RawPane*>();
        const QByteArray rmc =
            withChecksum("$GPRMC,225446,A,4916.45,N,12311.12,W,000.5,054.7,191194,020.3,E");
        const QString gga = QString::fromLatin1(kGga.chopped(2));
        QVERIFY(rig.send(kGga + "$GPGGA,1*4C\r\n" + "no\x01ise\r\n" + rmc));
        pane->flush();
        const QString all = gga + "\n\u2716 $GPGGA,1*4C\nno\x01ise\n" + rmc.chopped(2) + "\n";
        QCOMPARE(pane->view()->toPlainText(), all);

        const struct {
            QString filter, shown;
        } filters[] = {
            {"rmc", QString::fromLatin1(rmc.chopped(2)) + "\n"},
            {"$GPGGA", gga + "\n\u2716 $GPGGA,1*4C\n"},
            {"!AIVDM", ""},
            {"", all},
        };
        for (const auto& f : filters) {
            pane->filterField()->setText(f.filter);
            QCOMPARE(pane->view()->toPlainText(), f.shown);
        }

        QTest::keyClick(pane->view(), Qt::Key_Space);
        QVERIFY(pane->pauseAction()->isChecked());
        QVERIFY(rig.send(kGga + kGga));
        pane->flush();
        QCOMPARE(pane->view()->toPlainText(), all);
        QCOMPARE(rig.cell("$GPGGA", SentencesModel::Count).toString(), QString("3"));
        QTest::keyClick(pane->view(), Qt::Key_Space);
        QCOMPARE(pane->view()->toPlainText(), all + gga + "\n" + gga + "\n");

        pane->timestampsAction()->trigger();
        const QStringList lines = pane->view()->toPlainText().split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 6);
        for (const QString& line : lines) {
            QVERIFY2(QRegularExpression(R"(^\d\d:\d\d:\d\d\.\d\d\d )").match(line).hasMatch(),
                     qPrintable(line));
        }
    }

    // Auto on a simulator talking at 38400 behind its pseudo-terminal: 4800 hears only
    // garbage, 38400 the sentences, and the search says what it found.
    void autoFindsTheSpeed() {
        QProcess sim;
        sim.start(TIDEWRIGHT_SIM_EXECUTABLE,
                  {"--baud", "38400", TIDEWRIGHT_SIM_TEST_DATA "/talk.nmea"});
        QVERIFY(sim.waitForStarted());
        QByteArray said;
        QTRY_VERIFY((said += sim.readAllStandardOutput()).contains("\nlink "));
        const QString device = QString::fromLatin1(said.split('\n').first().mid(7));
        QVERIFY(device.startsWith("/dev/"));

        const int autoIndex = 2 + int(extraSpeedEntries().indexOf("Auto"));
        auto answered = answerSetup(device, autoIndex);
        MainWindow window;
        QVERIFY(*answered);
        QCOMPARE(portSettings.BaudRate, kAutoBaud);
        auto* status = window.findChild<HealthStatus*>();
        auto* speed = status->findChild<QLabel*>();
        QStringList notes;
        for (QLabel* label : status->findChildren<QLabel*>()) {
            if (label->accessibleDescription() == "Line speed") {
                speed = label;
            }
        }
        QTRY_VERIFY_WITH_TIMEOUT((notes << speed->text(), speed->text() == "Auto: 38400"), 20000);
        QVERIFY(notes.contains("Auto: trying 4800"));
        QVERIFY(window.lineHealth()->counts().accepted >= 2);
        sim.terminate();
        QVERIFY(sim.waitForFinished());
    }

private:
    QTemporaryDir work;
};

QTEST_MAIN(LineHealthTest)
#include "tst_line_health.moc"
