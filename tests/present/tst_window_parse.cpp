// The parse step of the real main window, fed through a pseudo-terminal as a talker
// would feed a serial port: what each read publishes, in which order, and the
// snapshot files it leaves.
#include <QDir>
#include <QFile>
#include <QProgressDialog>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "ais/vdm.h"
#include "app/globals.h"
#include "app/main_window.h"
#include "app/show_dialog.h"
#include "cycle_recorder.h"
#include "serial/setup_dialog.h"
#include "support/pty.h"

using testing_present::aivdm;
using testing_present::sentence;

namespace {

// Accepts the start-up setup dialog (which selects the published port) whenever it is
// up and its port scan has finished. The dialog shows itself while the scan's
// progress dialog is still open; accepted then, it is shown again by exec, so the
// timer keeps watching until the caller deletes it.
QTimer* keepAcceptingSetup(int* accepted) {
    auto* timer = new QTimer();
    QObject::connect(timer, &QTimer::timeout, [accepted] {
        setupDialog* dialog = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (qobject_cast<QProgressDialog*>(top) && top->isVisible()) {
                return;
            }
            if (auto* d = qobject_cast<setupDialog*>(top); d && d->isVisible()) {
                dialog = d;
            }
        }
        if (dialog) {
            ++*accepted;
            dialog->findChild<QPushButton*>("pushButton_enter")->click();
        }
    });
    timer->start(10);
    return timer;
}

const QByteArray kGga = sentence("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");

}  // namespace

class WindowParseTest : public QObject {
    Q_OBJECT

    QTemporaryDir runtime;
    QTemporaryDir workDir;
    TestPty* pty = nullptr;
    MainWindow* window = nullptr;
    QStringList events;

    // The window's signals as the inspector receives them; whether gga.xml existed
    // when the text arrived shows that the snapshot follows the text.
    void record() {
        connect(window, &MainWindow::clearShowText, this, [this] { events.append("clear"); });
        connect(window, &MainWindow::sendresult, this,
                [this](const QStringList& list) { events.append("list:" + list.value(0)); });
        connect(window, &MainWindow::sendParse, this, [this](const QString& text) {
            if (text == "\n\n") {
                events.append("sep");
            } else {
                events.append("text:" + text.section(u'\n', 1, 1) +
                              (QFile::exists("gga.xml") ? "+xml" : ""));
            }
        });
    }

    // Sends the bytes and waits until the window has parsed all of them.
    void send(const QByteArray& bytes, int expectedClears = 1) {
        const int before = static_cast<int>(events.count("clear"));
        QVERIFY(pty->send(bytes));
        QTRY_VERIFY_WITH_TIMEOUT(events.count("clear") >= before + expectedClears, 10000);
        QTest::qWait(50);  // a read split by the terminal would show up here
    }

private slots:
    void initTestCase() {
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        QVERIFY(QDir::setCurrent(workDir.path()));
        pty = new TestPty();
        QVERIFY(pty->isValid());
        const QString published = runtime.path() + "/tidewright";
        QVERIFY(QDir().mkpath(published));
        QVERIFY(QFile::link(pty->slavePath(), published + "/sim-present"));

        int accepted = 0;
        QTimer* setup = keepAcceptingSetup(&accepted);
        window = new MainWindow();
        delete setup;
        QVERIFY(accepted > 0);
        QVERIFY(comOpened);
        record();
    }

    void cleanupTestCase() {
        delete window;
        delete pty;
    }

    void init() {
        events.clear();
        receiveBuffer.clear();
        ais::aisResetFragmentTable();
        QFile::remove("gga.xml");
    }

    void wholeSentenceInOneRead() {
        send(kGga);
        QCOMPARE(events, (QStringList{"clear", "list:123519", "text:GGA::"}));
        QVERIFY(QFile::exists("gga.xml"));
        QVERIFY(receiveBuffer.isEmpty());
        auto* inspector = window->findChild<showDialog*>();
        QVERIFY(inspector);
        QVERIFY(inspector->keys().contains("$GPGGA"));
        QCOMPARE(inspector->fieldModel(0)->index(1, 2).data().toString(), QString("4807.04"));
    }

    void sentenceSplitAcrossReadsIsHandledOnce() {
        send(kGga.left(33));
        QCOMPARE(events, (QStringList{"clear", "sep"}));
        QCOMPARE(receiveBuffer, kGga.left(33));
        send(kGga.mid(33));
        QCOMPARE(events, (QStringList{"clear", "sep", "clear", "list:123519", "text:GGA::"}));
        QVERIFY(receiveBuffer.isEmpty());
    }

    void noiseGivesOneSeparator() {
        send(QByteArray("\x01\x02garbage that never starts a sentence\xFF"));
        QCOMPARE(events, (QStringList{"clear", "sep"}));
        QVERIFY(receiveBuffer.isEmpty());
    }

    void sentencesWithoutDisplayGiveSeparators() {
        send(sentence("GPAPB,A,A,0.10,R,N,V,V,011,M,DEST,011,M,011,M"));
        send(aivdm("2,1,1,A,55?MbV02;H;s<HtKR20EHE:0@T4@Dn2222222216L961O5Gf0NSQEp6ClRp8,0"));
        send(aivdm("1,1,,A,85Mwp`1Kf3aCnsNvBWLi=wQuNhA5t43N`5nCuI=p<IBfVqnMgPGs,0"));
        QCOMPARE(events, (QStringList{"clear", "sep", "clear", "sep", "clear", "sep"}));
    }

    void message18GivesOneListAndNoText() {
        send(aivdm("1,1,,A,B52K>;h00Fc>jpUlNV@ikwpUoP06,0"));
        QCOMPARE(events, (QStringList{"clear", "list:18"}));
    }

    void twoSentencesInOneRead() {
        const QByteArray second =
            sentence("GPGGA,123520,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
        send(kGga + second);
        // The first text precedes the first snapshot; the second finds it written.
        QCOMPARE(events, (QStringList{"clear", "list:123519", "text:GGA::", "list:123520",
                                      "text:GGA::+xml"}));
        QFile file("gga.xml");
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("<utc>123520</utc>"));
    }
};

QTEST_MAIN(WindowParseTest)
#include "tst_window_parse.moc"
