// The parse step of the real main window, fed through a pseudo-terminal as a talker
// would feed a serial port: what each read publishes, in which order, and the
// snapshot files it leaves.
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>

#include "ais/vdm.h"
#include "app/globals.h"
#include "app/main_window.h"
#include "app/show_dialog.h"
#include "serial/setup_dialog.h"
#include "support/pty.h"
#include "support/setup_answer.h"

namespace {

const QByteArray kGga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class WindowParseTest : public QObject {
    Q_OBJECT

    QTemporaryDir workDir;
    TestPty pty;
    MainWindow* window = nullptr;
    QStringList events;

    // The window's signals as the inspector receives them; whether gga.xml existed
    // when the text arrived shows that the snapshot follows the text.
    void record() {
        connect(window, &MainWindow::clearShowText, this, [this] { events.append("clear"); });
        connect(window, &MainWindow::pgnReceived, this,
                [this](const n2k::Message& message, const n2k::DecodedPgn& decoded) {
                    events.append(QStringLiteral("pgn:%1%2")
                                      .arg(message.pgn)
                                      .arg(decoded.definition != nullptr ? "" : " raw"));
                });
        connect(window, &MainWindow::sendresult, this,
                [this](const QStringList& list) { events.append("list:" + list.value(0)); });
        connect(window, &MainWindow::sendParse, this, [this](const QString& text) {
            events.append(text == "\n\n" ? QString("sep")
                                         : "text:" + text.section(u'\n', 1, 1) +
                                               (QFile::exists("gga.xml") ? "+xml" : ""));
        });
    }

    // Sends the bytes and waits until the window has parsed all of them.
    void send(const QByteArray& bytes) {
        const qsizetype before = events.count("clear");
        QVERIFY(pty.send(bytes));
        QTRY_VERIFY_WITH_TIMEOUT(events.count("clear") > before, 10000);
        QTest::qWait(50);  // a read split by the terminal would show up here
    }

private slots:
    void initTestCase() {
        qputenv("XDG_RUNTIME_DIR", workDir.path().toLocal8Bit());
        qputenv("TIDEWRIGHT_PGN_DATABASE", TIDEWRIGHT_PGN_DATABASE_FILE);
        QVERIFY(QDir::setCurrent(workDir.path()));
        QVERIFY(pty.isValid());
        auto accepted = testsupport::answerSetup(pty.slavePath());
        window = new MainWindow();
        QVERIFY(*accepted);
        QVERIFY(comOpened);
        record();
    }

    void cleanupTestCase() { delete window; }

    void init() {
        events.clear();
        receiveBuffer.clear();
        ais::aisResetFragmentTable();
        for (const QString& name : QDir().entryList(QDir::Files)) {
            QFile::remove(name);
        }
    }

    // A whole sentence in one read, then one split across two reads, handled once.
    void sentenceInOneReadAndSplit() {
        send(kGga);
        QCOMPARE(events, (QStringList{"clear", "list:123519", "text:GGA::"}));
        const auto* inspector = window->findChild<showDialog*>();
        QVERIFY(inspector && inspector->keys().contains("$GPGGA"));
        QCOMPARE(inspector->fieldModel(0)->index(1, 2).data().toString(), QString("4807.04"));
        events.clear();
        QFile::remove("gga.xml");
        send(kGga.left(33));
        QCOMPARE(events, (QStringList{"clear", "sep"}));
        QCOMPARE(receiveBuffer, kGga.left(33));
        send(kGga.mid(33));
        QCOMPARE(events, (QStringList{"clear", "sep", "clear", "list:123519", "text:GGA::"}));
        QVERIFY(receiveBuffer.isEmpty());
    }

    // Noise, however long, gives one separator and is not kept. APB and a first fragment
    // have no display of their own; messages 8 and 18 have a list but no text.
    void readsWithoutText() {
        send(QByteArray(2000, '\xA5') + "\x01garbage that never starts a sentence\r\n");
        QVERIFY(receiveBuffer.isEmpty());
        send("$GPAPB,A,A,0.10,R,N,V,V,011,M,DEST,011,M,011,M*3C\r\n");
        send(
            "!AIVDM,2,1,1,A,55?MbV02;H;s<HtKR20EHE:0@T4@Dn2222222216L961O5Gf0NSQEp6ClRp8,0*1C\r\n");
        send("!AIVDM,1,1,,A,85Mwp`1Kf3aCnsNvBWLi=wQuNhA5t43N`5nCuI=p<IBfVqnMgPGs,0*47\r\n");
        send("!AIVDM,1,1,,A,B52K>;h00Fc>jpUlNV@ikwpUoP06,0*4C\r\n");
        QCOMPARE(events, (QStringList{"clear", "sep", "clear", "sep", "clear", "sep", "clear",
                                      "list:8", "clear", "list:18"}));
    }

    // A YDWG gateway line between two sentences: its PGN is decoded with the database
    // and published between them; the sentences' results are those they always were.
    void nmea2000LineBetweenSentences() {
        send(kGga + "21:55:35.425 R 15FD0723 FF C0 D9 6F FF 7F FF FF\r\n" + kGga);
        const qsizetype pgn = events.indexOf("pgn:130311");
        QVERIFY2(pgn > 0, qPrintable(events.join(' ')));
        QCOMPARE(events.indexOf("list:123519"), 1);
        QCOMPARE(events.lastIndexOf("list:123519"), pgn + 1);
        QCOMPARE(events.count("text:GGA::+xml") + events.count("text:GGA::"), 2);
        QCOMPARE(window->n2kCounters().messages, 1u);
        QVERIFY(receiveBuffer.isEmpty());
    }

    void twoSentencesInOneRead() {
        send(kGga + "$GPGGA,123520,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*4D\r\n");
        // The first text precedes the first snapshot; the second finds it written.
        QCOMPARE(events, (QStringList{"clear", "list:123519", "text:GGA::", "list:123520",
                                      "text:GGA::+xml"}));
        // The second snapshot follows within the interval that spares the file system.
        QTRY_VERIFY(readFile("gga.xml").contains("<utc>123520</utc>"));
    }

    // The snapshots byte for byte apart from current_time, the local time they were
    // written at. An empty field (NUL) or a control character gives an empty element,
    // as either would make the document unreadable; other types and temporary files
    // leave nothing behind.
    void snapshotFiles() {
        send(
            "$GPGGA,123519,4807.038,,01131.000,\x01,1,08,0.9,545.4,M,46.9,M,,*4D\r\n"
            "$GPRMC,123519.55,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W,A*29\r\n"
            "$GPGLL,4916.45,N,12311.12,W,235959.7,A,D*40\r\n$HEHDT,274.07,T*19\r\n");
        QCOMPARE(QDir().entryList(QDir::Files), (QStringList{"gga.xml", "gll.xml", "rmc.xml"}));
        for (const QString& name : QDir().entryList(QDir::Files)) {
            QByteArray written = readFile(name);
            const qsizetype at = written.indexOf("<current_time>") + 14;
            const QDateTime time = QDateTime::fromString(written.mid(at, 19), Qt::ISODate);
            QVERIFY2(time.isValid() && qAbs(time.secsTo(QDateTime::currentDateTime())) < 60,
                     qPrintable(name));
            written.remove(at, 19);
            QCOMPARE(written, readFile(TIDEWRIGHT_TEST_DATA_DIR "/present/xml/" + name));
        }
    }
};

QTEST_MAIN(WindowParseTest)
#include "tst_window_parse.moc"
