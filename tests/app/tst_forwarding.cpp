// Forwarding in the monitor: --forward, the window's framed sentences reaching a TCP
// client, the status field a screen reader can read, and the Forwarding dialog that
// refuses a loop and remembers what it applied.
#include <QAction>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

#include "app/forwarding/forwarding_control.h"
#include "app/forwarding/forwarding_dialog.h"
#include "app/main_window.h"
#include "app/start_options.h"
#include "support/modal.h"

using testsupport::whenModal;

namespace {

quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

quint16 freeUdpPort() {
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    return probe.localPort();
}

const QByteArray kGga =
    "$GPGGA,213950.00,5250.53669,N,00542.34920,E,1,09,1.03,-6.0,M,45.8,M,,*7B\r\n";
// A tagged line of a real capture (libais test data, tests/data/sources/tagblock.nmea).
const QByteArray kTaggedAis =
    "\\s:rORBCOMM104,q:u,c:1418172113,T:2014-12-10 00.41.53*55\\"
    "!AIVDM,1,1,,B,13F?Vv700<DJuLEtvep`iToV0<00,0*78\r\n";

}  // namespace

class ForwardingTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(work.isValid());
        qputenv("XDG_CONFIG_HOME", work.filePath("config").toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", work.path().toLocal8Bit());
    }
    void cleanup() { testsupport::cancelPendingModals(); }

    void commandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("forward");
        QTest::addColumn<QString>("error");
        QTest::newRow("two outputs")
            << QStringList{"--forward", "tcp-server://:10110", "--forward", "udp://10.0.0.255:2000"}
            << QStringList{"tcp-server://:10110", "udp://10.0.0.255:2000"} << "";
        QTest::newRow("malformed")
            << QStringList{"--forward", "udp://x"} << QStringList{} << "udp://ADDRESS:PORT";
    }
    void commandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, forward);
        QFETCH(QString, error);
        StartOptions options;
        QString said;
        const StartOutcome outcome =
            parseStartOptions(QStringList{"tidewright"} + arguments, options, &said);
        QCOMPARE(outcome, error.isEmpty() ? StartOutcome::Run : StartOutcome::Error);
        QVERIFY2(said.contains(error), qPrintable(said));
        if (error.isEmpty()) {
            QCOMPARE(options.forward, forward);
        }
    }

    // What the window hears reaches a TCP client, a TAG block kept in front of its
    // line; the status field reads its counters.
    void windowForwardsWhatItHears() {
        const quint16 sourcePort = freeUdpPort();
        MainWindow window(QStringLiteral("udp://127.0.0.1:%1").arg(sourcePort), 4800);
        const quint16 outputPort = freePort();
        ForwardingControl* forwarding = window.forwarding();
        QCOMPARE(
            forwarding->useOutputs({QStringLiteral("tcp-server://127.0.0.1:%1").arg(outputPort)}),
            QStringList{});
        QTcpSocket client;
        client.connectToHost(QHostAddress::LocalHost, outputPort);
        QVERIFY(client.waitForConnected(5000));
        QTRY_COMPARE(forwarding->forwarder().output(0)->counters().clients, 1);

        QUdpSocket talker;
        talker.writeDatagram(kGga + "$GPRMC,bad*41\r\n" + kTaggedAis, QHostAddress::LocalHost,
                             sourcePort);
        const QByteArray expected = kGga + kTaggedAis;  // the bad checksum stays behind
        QByteArray got;
        QTRY_VERIFY((got += client.readAll(), got.size() >= expected.size()));
        QCOMPARE(got, expected);  // the AIS line with the TAG block it came with

        QLabel* field = forwarding->statusField();
        QTRY_VERIFY(field->text().contains("2 sent"));
        QCOMPARE(field->accessibleName(), field->text());
        QVERIFY(!field->accessibleDescription().isEmpty());
        QVERIFY(field->text().contains("1 of 1 open, 1 client"));

        // An output onto the very port being read is refused and named.
        const QStringList refused =
            forwarding->useOutputs({QStringLiteral("udp://127.0.0.1:%1").arg(sourcePort)});
        QCOMPARE(refused.size(), 1);
        QVERIFY2(refused.at(0).contains("back to the source"), qPrintable(refused.at(0)));
        QTRY_VERIFY(field->accessibleName().contains("refused: 1"));
    }

    // The dialog from the Setup menu: a loop keeps it open with the reason; a good
    // list is applied, shown and remembered for the next start.
    void dialogRefusesLoopsAndRemembers() {
        const quint16 sourcePort = freeUdpPort();
        MainWindow window(QStringLiteral("udp://127.0.0.1:%1").arg(sourcePort), 4800);
        auto* action = window.findChild<QAction*>("actionForwarding");
        QVERIFY(action);
        const QString good =
            QStringLiteral("tcp-server://127.0.0.1:%1?include=$--GGA").arg(freePort());
        const QString loop = QStringLiteral("udp://127.0.0.1:%1").arg(sourcePort);
        QString firstProblem;
        QString states;
        bool stayedOpen = false;
        auto handled = whenModal<ForwardingDialog>([&](ForwardingDialog* dialog) {
            QCOMPARE(dialog->editor()->accessibleName(), QStringLiteral("Outputs"));
            dialog->editor()->setPlainText(good + "\n\n" + loop);
            auto* ok = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
            ok->click();
            firstProblem = dialog->problemView()->accessibleName();
            stayedOpen = dialog->isVisible();
            dialog->editor()->setPlainText(good);
            ok->click();
            states = dialog->stateView()->accessibleName();
        });
        action->trigger();
        QVERIFY(*handled);
        QVERIFY(stayedOpen);
        QVERIFY2(firstProblem.contains("back to the source"), qPrintable(firstProblem));
        QVERIFY2(states.contains(": open"), qPrintable(states));
        QCOMPARE(ForwardingControl::rememberedOutputs(), QStringList{good});
        QCOMPARE(window.forwarding()->forwarder().count(), 1);
    }

private:
    QTemporaryDir work;
};

QTEST_MAIN(ForwardingTest)
#include "tst_forwarding.moc"
