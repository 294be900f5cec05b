// Sentences that real lines end or decorate differently, through the whole window on
// each kind of source (a pseudo-terminal, a TCP server, UDP datagrams on the loopback
// interface): read, decoded and warned about by default, dropped and counted under
// strict framing. Then what the status bar tells a screen reader, and the health of a
// line that carries bytes but no sentence.
#include <QAccessible>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QTableView>
#include <QTableWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>
#include <memory>

#include "app/globals.h"
#include "app/health_status.h"
#include "app/line_health.h"
#include "app/main_window.h"
#include "app/raw_pane.h"
#include "app/sentences_dock.h"
#include "app/sentences_model.h"
#include "app/status_notices.h"
#include "nmea/line_counters.h"
#include "sources/source_memory.h"
#include "support/modal.h"
#include "support/pty.h"
#include "support/setup_answer.h"

namespace {

QByteArray withChecksum(const QByteArray& body, const QByteArray& ending = "\r\n") {
    unsigned value = 0;
    for (char c : body.mid(1)) {
        value ^= static_cast<unsigned char>(c);
    }
    return body + "*" + QByteArray::number(value, 16).toUpper().rightJustified(2, '0') + ending;
}

const QByteArray kGga = withChecksum("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,,");

enum class Kind { Pty, Tcp, Udp };

// A window on one kind of source, with the far end the test writes to.
struct Line {
    std::unique_ptr<TestPty> pty;
    std::shared_ptr<bool> answered;
    QTcpServer server;
    std::unique_ptr<QTcpSocket> peer;
    QUdpSocket sender;
    quint16 udpPort = 0;
    std::unique_ptr<MainWindow> window;
    Kind kind;

    explicit Line(Kind k) : kind(k) {
        switch (kind) {
            case Kind::Pty:
                pty = std::make_unique<TestPty>();
                answered = testsupport::answerSetup(pty->slavePath());
                window = std::make_unique<MainWindow>();
                break;
            case Kind::Tcp:
                server.listen(QHostAddress::LocalHost, 0);
                window = std::make_unique<MainWindow>(
                    QStringLiteral("tcp://127.0.0.1:%1").arg(server.serverPort()), 4800);
                if (server.hasPendingConnections() || server.waitForNewConnection(5000)) {
                    peer.reset(server.nextPendingConnection());
                }
                break;
            case Kind::Udp: {
                QUdpSocket probe;  // a port that is free now
                probe.bind(QHostAddress::LocalHost, 0);
                udpPort = probe.localPort();
                probe.close();
                window = std::make_unique<MainWindow>(
                    QStringLiteral("udp://127.0.0.1:%1").arg(udpPort), 4800);
                break;
            }
        }
    }
    bool ready() const {
        switch (kind) {
            case Kind::Pty:
                return pty->isValid() && *answered && comOpened;
            case Kind::Tcp:
                return peer != nullptr && comOpened;
            case Kind::Udp:
                return comOpened;
        }
        return false;
    }
    LineHealth* health() const { return window->lineHealth(); }
    // Sends and waits until the window has framed every byte.
    bool send(const QByteArray& bytes) {
        const quint64 before = health()->counts().bytes;
        bool sent = false;
        switch (kind) {
            case Kind::Pty:
                sent = pty->send(bytes);
                break;
            case Kind::Tcp:
                sent = peer->write(bytes) == bytes.size() && peer->flush();
                break;
            case Kind::Udp:
                sent =
                    sender.writeDatagram(bytes, QHostAddress::LocalHost, udpPort) == bytes.size();
                break;
        }
        return sent && QTest::qWaitFor(
                           [&] {
                               return health()->counts().bytes + quint64(receiveBuffer.size()) >=
                                          before + quint64(bytes.size()) &&
                                      receiveBuffer.isEmpty();
                           },
                           10000);
    }
};

QString accessibleName(QWidget* widget) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face != nullptr ? face->text(QAccessible::Name) : QString();
}

QString accessibleTexts(QWidget* widget) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face != nullptr ? face->text(QAccessible::Name) + QLatin1Char('\n') +
                                 face->text(QAccessible::Description)
                           : QString();
}

}  // namespace

class LineDeviationsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(work.isValid());
        QVERIFY(QDir::setCurrent(work.path()));
        qputenv("XDG_CONFIG_HOME", work.filePath("config").toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", work.path().toLocal8Bit());
    }
    void cleanup() {
        testsupport::cancelPendingModals();
        sources::rememberStrictFraming(false);
    }

    void deviationThroughTheWindow_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("sentence");
        QTest::addColumn<int>("warning");
        QTest::addColumn<bool>("strict");
        const QByteArray hdt = withChecksum("$HEHDT,274.07,T");  // *19
        const struct {
            const char* name;
            QByteArray sentence;
            int warning;
        } deviations[] = {
            {"lf_only", hdt.chopped(2) + "\n", 0},
            {"cr_cr_lf", hdt.chopped(2) + "\r\r\n", 1},
            {"lowercase_checksum", "$HEHDT,274.1,T*2f\r\n", 2},
            {"trailing_data", hdt.chopped(2) + ",s36310,d-081,T59.01777335\r\n", 3},
        };
        const struct {
            const char* name;
            Kind kind;
        } kinds[] = {{"pty", Kind::Pty}, {"tcp", Kind::Tcp}, {"udp", Kind::Udp}};
        for (const auto& k : kinds) {
            for (const auto& d : deviations) {
                for (const bool strict : {false, true}) {
                    QTest::addRow("%s %s%s", k.name, d.name, strict ? " strict" : "")
                        << int(k.kind) << d.sentence << d.warning << strict;
                }
            }
        }
    }
    void deviationThroughTheWindow() {
        QFETCH(int, kind);
        QFETCH(QByteArray, sentence);
        QFETCH(int, warning);
        QFETCH(bool, strict);
        sources::rememberStrictFraming(strict);
        Line line(static_cast<Kind>(kind));
        QVERIFY(line.ready());
        QVERIFY(line.send(kGga + sentence + kGga));
        const nmeaz::LineCounters& counts = line.health()->counts();
        QCOMPARE(counts.accepted, strict ? 2u : 3u);
        QCOMPARE(counts.malformed, strict ? 1u : 0u);
        for (int i = 0; i < nmeaz::kDeviationKindCount; ++i) {
            QCOMPARE(counts.warnings[i], i == warning && !strict ? 1u : 0u);
        }
        QCOMPARE(nmeaz::decidedBytes(counts), counts.bytes);

        auto* dock = line.window->findChild<SentencesDock*>();
        dock->refresh();
        SentencesModel* model = dock->model();
        QString hdtCount, hdtWarnings;
        for (int r = 0; r < model->rowCount(); ++r) {
            if (model->index(r, SentencesModel::Key).data().toString() == "$HEHDT") {
                hdtCount = model->index(r, SentencesModel::Count).data().toString();
                hdtWarnings = model->index(r, SentencesModel::Warnings).data().toString();
            }
        }
        auto* status = line.window->findChild<HealthStatus*>();
        status->refresh();
        const QString tooltip = line.health()->errorBreakdown();
        if (strict) {
            QVERIFY(hdtCount.isEmpty());
            QCOMPARE(status->errorText(), QString("1 error"));
            QVERIFY(tooltip.contains("Malformed: 1"));
        } else {
            QCOMPARE(hdtCount, QString("1"));
            QCOMPARE(hdtWarnings, QString("1"));
            // The last-sentence view: fields as without the metadata, which gets a row.
            QTableView* keys = dock->keyView();
            keys->sortByColumn(SentencesModel::Key, Qt::DescendingOrder);  // $HEHDT first
            keys->setCurrentIndex(keys->model()->index(0, 0));
            dock->refresh();
            QTableWidget* fields = dock->fieldView();
            const bool tail = warning == 3;
            QCOMPARE(fields->rowCount(), tail ? 4 : 3);
            QCOMPARE(fields->item(0, 1)->text(), QString("$HEHDT"));
            if (tail) {
                QCOMPARE(fields->item(3, 0)->text(), QString("Tail"));
                QCOMPARE(fields->item(3, 1)->text(), QString("s36310,d-081,T59.01777335"));
            }
            QCOMPARE(status->errorText(), QString("0 errors, 1 warning"));
            QVERIFY2(tooltip.contains(QString("%1: 1").arg(nmeaz::kDeviationKinds[warning].label)),
                     qPrintable(tooltip));
            // The raw pane marks the sentence's line with the amber sign, and only it.
            auto* pane = line.window->findChild<RawPane*>();
            pane->flush();
            const QString raw = pane->view()->toPlainText();
            QCOMPARE(raw.count(QStringLiteral("\u26A0 ")), 1);
            QVERIFY2(raw.contains(QStringLiteral("\u26A0 $HEHDT")), qPrintable(raw));
        }
    }

    // Each status field's accessible text carries the value it shows; the notices too;
    // a lost port changes the status message from "Listening".
    void statusValuesReachScreenReaders() {
        Line line(Kind::Pty);
        QVERIFY(line.ready());
        QVERIFY(line.send(kGga + "$GPGGA,1*4C\r\n"));
        auto* status = line.window->findChild<HealthStatus*>();
        status->refresh();
        const QList<QLabel*> fields = status->findChildren<QLabel*>();
        QVERIFY(fields.size() >= 3);
        for (QLabel* field : fields) {
            if (field->isHidden()) {
                continue;
            }
            QVERIFY(!field->text().isEmpty());
            QVERIFY2(accessibleName(field).contains(field->text()),
                     qPrintable(accessibleName(field) + " / " + field->text()));
            QVERIFY(!accessibleTexts(field).trimmed().isEmpty());
        }
        QVERIFY(accessibleName(fields[0]).contains("Line state: Receiving"));

        line.window->setPortLost("device removed");
        status->refresh();
        QVERIFY(accessibleName(fields[0]).contains("Port lost: device removed"));
        QVERIFY(!line.window->statusTip().contains("Listening"));
        QVERIFY(line.window->statusTip().contains("device removed"));

        auto* notices = line.window->findChild<StatusNotices*>();
        notices->set("recording", "Recording stopped growing: disk full");
        QVERIFY(accessibleName(notices).contains("Recording stopped growing: disk full"));
        notices->clear("recording");
        QVERIFY(!accessibleName(notices).contains("disk full"));
    }

    // Bytes that never make a sentence (a flood of start characters, random bytes) are
    // counted and give the wrong-speed hint, never "Silent".
    void bytesWithoutSentencesAreNotSilence_data() {
        QTest::addColumn<QByteArray>("chunk");
        QTest::newRow("flood of $") << QByteArray(200, '$');
        QByteArray random(200, '\0');
        for (char& c : random) {
            c = char(QRandomGenerator::global()->bounded(256));
        }
        random.replace('$', 'x').replace('!', 'x');
        QTest::newRow("random bytes") << random;
    }
    void bytesWithoutSentencesAreNotSilence() {
        QFETCH(QByteArray, chunk);
        Line line(Kind::Pty);
        QVERIFY(line.ready());
        qint64 now = 100000;
        line.health()->setClock([&now] { return now; });
        line.health()->reset();
        for (int second = 0; second < 25; ++second) {
            QVERIFY(line.send(chunk));
            now += 1000;
            const LineHealth::State state = line.health()->state(now);
            QVERIFY2(state != LineHealth::State::Silent, qPrintable(line.health()->stateText(now)));
            if (second >= 5) {
                QCOMPARE(state, LineHealth::State::NoValidSentences);
            }
        }
        const nmeaz::LineCounters& counts = line.health()->counts();
        QCOMPARE(counts.bytes, quint64(25 * chunk.size()));
        QCOMPARE(nmeaz::decidedBytes(counts), counts.bytes);
        // Quiet for three seconds: now it is silence.
        now += 3000;
        QCOMPARE(line.health()->state(now), LineHealth::State::Silent);
    }

    // A replayed file's comment lines are not framed, sentences quoted in them included;
    // on a live line a '#' is noise like any other byte.
    void commentLinesOnlyInReplayedFiles() {
        const QByteArray comment = "# \"18/05/2012 18:15:37\" $HEHDT,274.1,T*2F\r\n";
        QFile file(work.filePath("commented.nmea"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(comment + kGga);
        file.close();
        MainWindow window("file:" + file.fileName(), 38400);
        QVERIFY(comOpened);
        LineHealth* health = window.lineHealth();
        QTRY_COMPARE_WITH_TIMEOUT(health->counts().bytes, quint64(comment.size() + kGga.size()),
                                  10000);
        QCOMPARE(health->counts().accepted, 1u);
        QCOMPARE(health->counts().commentBytes, quint64(comment.size()));

        Line live(Kind::Udp);
        QVERIFY(live.ready());
        QVERIFY(live.send(comment + kGga));
        QCOMPARE(live.health()->counts().accepted, 2u);
        QCOMPARE(live.health()->counts().commentBytes, 0u);
    }

private:
    QTemporaryDir work;
};

QTEST_MAIN(LineDeviationsTest)
#include "tst_line_deviations.moc"
