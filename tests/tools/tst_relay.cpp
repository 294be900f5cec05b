// tidewright-relay run as users run it: two sources merged into one TCP client, the
// counters on standard error, a clean stop on SIGTERM, and the failures that end it.
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QUdpSocket>

namespace {

quint16 freeTcpPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

quint16 freeUdpPort() {
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    return probe.localPort();
}

QByteArray line(const char* talker, int n) {
    QByteArray body = QByteArray(talker) + "TXT,01,01," + QByteArray::number(n) + ",relay";
    unsigned char sum = 0;
    for (char c : body) {
        sum ^= static_cast<unsigned char>(c);
    }
    return '$' + body + '*' + QByteArray::number(sum, 16).toUpper().rightJustified(2, '0') + "\r\n";
}

}  // namespace

class RelayTest : public QObject {
    Q_OBJECT

private slots:
    void mergesTwoSourcesAndStopsOnSigterm();
    void failures_data();
    void failures();
};

void RelayTest::mergesTwoSourcesAndStopsOnSigterm() {
    QTcpServer tcpTalker;
    QVERIFY(tcpTalker.listen(QHostAddress::LocalHost, 0));
    const quint16 udpPort = freeUdpPort();
    const quint16 outputPort = freeTcpPort();
    QProcess relay;
    relay.start(TIDEWRIGHT_RELAY_PATH,
                {QStringLiteral("tcp://127.0.0.1:%1").arg(tcpTalker.serverPort()),
                 QStringLiteral("udp://127.0.0.1:%1").arg(udpPort), "--forward",
                 QStringLiteral("tcp-server://127.0.0.1:%1?exclude=$--GSV").arg(outputPort),
                 "--stats-every", "1"});
    QVERIFY(relay.waitForStarted());
    QVERIFY(tcpTalker.waitForNewConnection(10000));
    QTcpSocket* tcpFeed = tcpTalker.nextPendingConnection();
    QTcpSocket client;
    QTRY_VERIFY_WITH_TIMEOUT(
        (client.abort(), client.connectToHost(QHostAddress::LocalHost, outputPort),
         client.waitForConnected(200)),
        10000);
    QByteArray log;
    QTRY_VERIFY_WITH_TIMEOUT((log += relay.readAllStandardError(), log.contains("1 client")), 5000);

    // Alternating sources, each line waited for: the client gets them in arrival order.
    QUdpSocket udpFeed;
    QByteArray expected;
    QByteArray got;
    for (int i = 0; i < 6; ++i) {
        const QByteArray sentence = line(i % 2 ? "GP" : "II", i);
        if (i % 2) {
            udpFeed.writeDatagram(sentence, QHostAddress::LocalHost, udpPort);
        } else {
            tcpFeed->write(sentence);
        }
        expected += sentence;
        QTRY_VERIFY((got += client.readAll(), got.size() >= expected.size()));
    }
    tcpFeed->write("$GPGSV,1,1,00*79\r\n");  // excluded by the output's filter
    tcpFeed->write(line("II", 6));
    expected += line("II", 6);
    QTRY_VERIFY((got += client.readAll(), got.size() >= expected.size()));
    QCOMPARE(got, expected);

    // Counters once a --stats-every interval.
    log.clear();
    QTRY_VERIFY_WITH_TIMEOUT(
        (log += relay.readAllStandardError(), log.contains("7 sent, dropped: 1 by filter")), 5000);
    // ... and what each source lost below the stream, the UDP one's drops included.
    QTRY_VERIFY_WITH_TIMEOUT(
        (log += relay.readAllStandardError(),
         log.contains(
             QStringLiteral("udp://127.0.0.1:%1: {\"datagrams\":").arg(udpPort).toUtf8()) &&
             log.contains("\"datagrams_dropped_by_system\":0")),
        5000);

    relay.terminate();  // SIGTERM
    QVERIFY(relay.waitForFinished(10000));
    QCOMPARE(relay.exitStatus(), QProcess::NormalExit);
    QCOMPARE(relay.exitCode(), 0);
    log += relay.readAllStandardError();
    QVERIFY2(log.endsWith("stopped\n"), log.constData());
    QTRY_COMPARE(client.state(), QAbstractSocket::UnconnectedState);
}

void RelayTest::failures_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::newRow("no source opens")
        << QStringList{"/dev/tidewright-no-such-port", "--forward", "udp://127.0.0.1:9"} << 1
        << "No source could be opened: /dev/tidewright-no-such-port";
    QTest::newRow("loop") << QStringList{"tcp://localhost:10110", "--forward",
                                         "tcp-server://:10110"}
                          << 1 << "back to the source";
    QTest::newRow("no output") << QStringList{"tcp://localhost:10110"} << 2 << "--forward";
    QTest::newRow("bad output") << QStringList{"tcp://localhost", "--forward", "ftp://x"} << 2
                                << "Unknown output";
    QTest::newRow("output as source")
        << QStringList{"tcp://h", "--forward", "udp://127.0.0.1:9", "serial:/dev/ttyS1@4800"} << 2
        << "give --forward before each output";
    QTest::newRow("no source") << QStringList{"--forward", "udp://127.0.0.1:9"} << 2
                               << "No source given";
}

void RelayTest::failures() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QProcess relay;
    relay.start(TIDEWRIGHT_RELAY_PATH, arguments);
    QVERIFY(relay.waitForFinished(10000));
    QCOMPARE(relay.exitCode(), exitCode);
    const QString said = QString::fromLocal8Bit(relay.readAllStandardError());
    QVERIFY2(said.contains(message), qPrintable(said));
}

QTEST_GUILESS_MAIN(RelayTest)
#include "tst_relay.moc"
