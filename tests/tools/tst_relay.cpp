// tidewright-relay run as users run it: two sources merged into one TCP client, the
// counters on standard error, a clean stop on SIGTERM, and the failures that end it.
#include <QFile>
#include <QNetworkDatagram>
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
    void nmea2000GoesOutInTheOutputsForm();
    void incomingTagBlocksAreKept();
};

// A YDWG RAW gateway on TCP; the relay forwards its PGNs as $PCDIN over UDP, the
// gateway's NMEA 0183 beside them, and never writes to the gateway.
void RelayTest::nmea2000GoesOutInTheOutputsForm() {
    QTcpServer gateway;
    QVERIFY(gateway.listen(QHostAddress::LocalHost, 0));
    QUdpSocket receiver;
    QVERIFY(receiver.bind(QHostAddress::LocalHost, 0));
    QProcess relay;
    relay.start(TIDEWRIGHT_RELAY_PATH,
                {QStringLiteral("tcp://127.0.0.1:%1").arg(gateway.serverPort()), "--forward",
                 QStringLiteral("udp://127.0.0.1:%1?n2k=pcdin").arg(receiver.localPort())});
    QVERIFY(relay.waitForStarted());
    QVERIFY(gateway.waitForNewConnection(10000));
    QTcpSocket* feed = gateway.nextPendingConnection();
    // 127250 vessel heading (one frame) from source 0x7F, then a sentence.
    feed->write("12:00:00.000 R 09F1127F FF 10 3B FF 7F FF 7F FD\r\n");
    feed->write(line("II", 1));
    QByteArray got;
    QTRY_VERIFY_WITH_TIMEOUT((got += receiver.receiveDatagram().data(), got.contains("$IITXT")),
                             10000);
    QVERIFY2(got.startsWith("$PCDIN,01F112,"), got.constData());
    QVERIFY(got.contains(",7F,FF103BFF7FFF7FFD*"));
    relay.terminate();
    QVERIFY(relay.waitForFinished(10000));
    feed->waitForReadyRead(200);
    QCOMPARE(feed->readAll(), QByteArray());  // listen only: nothing went back to the gateway
}

// A real tagged AIS capture, one line cut inside its block between two writes: both
// outputs forward every line with its own block, the TAG option adding none.
void RelayTest::incomingTagBlocksAreKept() {
    QFile file(QStringLiteral(TIDEWRIGHT_TEST_DATA_DIR "/sources/tagblock.nmea"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray capture;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (!line.trimmed().isEmpty()) {
            capture += line.trimmed() + "\r\n";
        }
    }
    QTcpServer talker;
    QVERIFY(talker.listen(QHostAddress::LocalHost, 0));
    const quint16 plainPort = freeTcpPort();
    const quint16 taggingPort = freeTcpPort();
    QProcess relay;
    relay.start(TIDEWRIGHT_RELAY_PATH,
                {QStringLiteral("tcp://127.0.0.1:%1").arg(talker.serverPort()), "--forward",
                 QStringLiteral("tcp-server://127.0.0.1:%1").arg(plainPort), "--forward",
                 QStringLiteral("tcp-server://127.0.0.1:%1?tag=mast").arg(taggingPort),
                 "--stats-every", "1"});
    QVERIFY(relay.waitForStarted());
    QVERIFY(talker.waitForNewConnection(10000));
    QTcpSocket* feed = talker.nextPendingConnection();
    QTcpSocket plain;
    QTcpSocket tagging;
    for (auto [client, port] : {std::pair{&plain, plainPort}, std::pair{&tagging, taggingPort}}) {
        QTRY_VERIFY_WITH_TIMEOUT(
            (client->abort(), client->connectToHost(QHostAddress::LocalHost, port),
             client->waitForConnected(200)),
            10000);
    }
    // Both outputs report their client before anything is sent.
    QByteArray log;
    const auto bothConnected = [&] {
        log += relay.readAllStandardError();
        int connected = 0;
        for (quint16 port : {plainPort, taggingPort}) {
            const QByteArray place = ":" + QByteArray::number(port) + ": open, 1 client";
            connected += log.contains(place);
        }
        return connected == 2;
    };
    QTRY_VERIFY_WITH_TIMEOUT(bothConnected(), 10000);

    const qsizetype cut = capture.indexOf("c:", capture.indexOf('\n'));
    // The first line is forwarded once the relay read the first piece: the second
    // line's block then waits in the relay for the rest.
    QByteArray fromPlain;
    QByteArray fromTagging;
    feed->write(capture.first(cut));
    QTRY_VERIFY_WITH_TIMEOUT((fromPlain += plain.readAll(), fromPlain.contains('\n')), 10000);
    feed->write(capture.sliced(cut));
    QTRY_VERIFY_WITH_TIMEOUT(
        (fromPlain += plain.readAll(), fromTagging += tagging.readAll(),
         fromPlain.size() >= capture.size() && fromTagging.size() >= capture.size()),
        10000);
    QCOMPARE(fromPlain, capture);
    QCOMPARE(fromTagging, capture);
    relay.terminate();
    QVERIFY(relay.waitForFinished(10000));
}

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
