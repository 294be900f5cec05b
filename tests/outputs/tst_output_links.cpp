// The outputs on real links: TCP clients over loopback, UDP datagrams, a serial output
// on a pseudo-terminal, and the forwarder that feeds them.
#include <cstring>
#include <memory>
#include <vector>

#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QUdpSocket>

#include "n2k/line_result.h"
#include "n2k/pcdin_line.h"
#include "n2k/reassembler.h"
#include "n2k/ydwg_line.h"
#include "outputs/forwarder.h"
#include "outputs/serial_output.h"
#include "outputs/tcp_server_output.h"
#include "outputs/udp_output.h"
#include "sources/udp_source.h"
#include "support/pty.h"

using outputs::Forwarder;
using outputs::Output;

namespace {

QByteArray sentence(int i) {
    return QByteArrayLiteral("$GPGGA,") + QByteArray::number(i).rightJustified(8, '0') +
           QByteArrayLiteral(",4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n");
}

quint16 freeTcpPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

bool connected(QTcpSocket& client, quint16 port) {
    client.connectToHost(QHostAddress::LocalHost, port);
    return client.waitForConnected(5000);
}

// Whole lines, each ending CR LF, in the order given.
bool wholeLines(const QByteArray& bytes) {
    for (const QByteArray& line : bytes.split('\n')) {
        if (!line.isEmpty() && (!line.startsWith('$') || !line.endsWith('\r'))) {
            return false;
        }
    }
    return bytes.isEmpty() || bytes.endsWith("\r\n");
}

}  // namespace

class OutputLinksTest : public QObject {
    Q_OBJECT

private slots:
    void twoClientsReceiveTheSameLines();
    void clientThatStopsReadingIsDropped();
    void udpDatagramsHoldWholeLines();
    void udpBroadcastArrives();
    void ownDatagramsAreNotReadBack();
    void serialOutputDropsWhatTheLineCannotCarry();
    void takenPortIsReportedAndOthersGoOn();
    void forwarderFiltersTagsAndEndsLinesWithCrLf();
    void incomingTagBlockIsKept();
    void loopIsRefused();
    void pgnsLeaveInEachOutputsForm();
};

void OutputLinksTest::twoClientsReceiveTheSameLines() {
    outputs::TcpServerOutput server(QHostAddress::LocalHost, 0);
    QVERIFY(server.open());
    QTcpSocket a;
    QTcpSocket b;
    QVERIFY(connected(a, server.serverPort()));
    QVERIFY(connected(b, server.serverPort()));
    QTRY_COMPARE(server.counters().clients, 2);
    QByteArray expected;
    for (int i = 0; i < 200; ++i) {
        server.write(sentence(i));
        expected += sentence(i);
    }
    server.flush();
    QByteArray gotA;
    QByteArray gotB;
    QTRY_VERIFY((gotA += a.readAll(), gotB += b.readAll(),
                 gotA.size() >= expected.size() && gotB.size() >= expected.size()));
    QCOMPARE(gotA, expected);
    QCOMPARE(gotB, expected);
    QCOMPARE(server.counters().sent, 200);
    a.disconnectFromHost();
    QTRY_COMPARE(server.counters().clients, 1);
}

void OutputLinksTest::clientThatStopsReadingIsDropped() {
    outputs::TcpServerOutput server(QHostAddress::LocalHost, 0);
    QVERIFY(server.open());
    QTcpSocket reader;
    QTcpSocket stalled;
    // The stalled client takes 4 KB and then reads no more, like a hung plotter.
    stalled.setReadBufferSize(4096);
    QVERIFY(connected(reader, server.serverPort()));
    QVERIFY(connected(stalled, server.serverPort()));
    QTRY_COMPARE(server.counters().clients, 2);

    QByteArray expected;
    QByteArray got;
    int i = 0;
    // Well past what the kernel buffers on both ends and the 256 KB queue hold.
    for (int round = 0; round < 4000 && server.counters().clientsDropped == 0; ++round) {
        for (int k = 0; k < 100; ++k, ++i) {
            server.write(sentence(i));
            expected += sentence(i);
        }
        server.flush();
        QCoreApplication::processEvents();
        got += reader.readAll();
    }
    QCOMPARE(server.counters().clientsDropped, 1);
    QVERIFY(server.counters().slow > 0);
    QCOMPARE(server.counters().clients, 1);
    QTRY_VERIFY((got += reader.readAll(), got.size() >= expected.size()));
    QCOMPARE(got, expected);  // the reader lost nothing
    // Once it reads again, the stalled client finds itself cut off.
    stalled.setReadBufferSize(0);
    QTRY_VERIFY((stalled.readAll(), stalled.state() == QAbstractSocket::UnconnectedState));
}

void OutputLinksTest::udpDatagramsHoldWholeLines() {
    QUdpSocket receiver;
    QVERIFY(receiver.bind(QHostAddress::LocalHost, 0));
    outputs::UdpOutput output(QHostAddress::LocalHost, receiver.localPort(), 1);
    QVERIFY(output.open());
    QByteArray expected;
    for (int i = 0; i < 100; ++i) {
        output.write(sentence(i));
        expected += sentence(i);
    }
    output.flush();
    QByteArray got;
    int datagrams = 0;
    QTRY_VERIFY([&] {
        while (receiver.hasPendingDatagrams()) {
            const QByteArray data = receiver.receiveDatagram().data();
            if (data.size() > outputs::UdpOutput::kMaxDatagram || !wholeLines(data)) {
                qWarning() << "bad datagram" << data.size();
                return true;
            }
            ++datagrams;
            got += data;
        }
        return got.size() >= expected.size();
    }());
    QCOMPARE(got, expected);
    // As many whole lines to a datagram as fit in 1,400 bytes.
    const qsizetype perDatagram = outputs::UdpOutput::kMaxDatagram / sentence(0).size();
    QCOMPARE(datagrams, int((100 + perDatagram - 1) / perDatagram));
    QCOMPARE(output.counters().sent, 100);
}

void OutputLinksTest::udpBroadcastArrives() {
    QUdpSocket receiver;
    QVERIFY(receiver.bind(QHostAddress::AnyIPv4, 0, QUdpSocket::ShareAddress));
    outputs::UdpOutput output(QHostAddress::Broadcast, receiver.localPort(), 1);
    QVERIFY(output.open());
    output.write(sentence(1));
    output.write(sentence(2));
    output.flush();
    if (output.state() == Output::State::Failed) {
        QSKIP(qPrintable("No broadcast route on this host: " + output.reason()));
    }
    QTRY_VERIFY(receiver.hasPendingDatagrams());
    QCOMPARE(receiver.receiveDatagram().data(), sentence(1) + sentence(2));
}

void OutputLinksTest::ownDatagramsAreNotReadBack() {
    sources::UdpSource source(QHostAddress::LocalHost, 0);
    QVERIFY(source.open());
    QSignalSpy arrived(&source, &sources::Source::bytesArrived);
    outputs::UdpOutput own(QHostAddress::LocalHost, source.boundPort(), 1);
    QVERIFY(own.open());
    own.write(sentence(1));
    own.flush();
    QUdpSocket stranger;
    stranger.writeDatagram(sentence(2), QHostAddress::LocalHost, source.boundPort());
    QTRY_COMPARE(arrived.size(), 1);
    QTest::qWait(50);
    QCOMPARE(arrived.size(), 1);
    QCOMPARE(arrived.at(0).at(0).toByteArray(), sentence(2));
}

void OutputLinksTest::serialOutputDropsWhatTheLineCannotCarry() {
    TestPty pty;
    QVERIFY(pty.isValid());
    qint64 now = 0;
    outputs::SerialOutput output(pty.slavePath(), 4800, [&now] { return now; });
    QVERIFY2(output.open(), qPrintable(output.reason()));
    // A 38400-baud AIS line's worth of sentences for 10 s into a 4800-baud line:
    // about an eighth fits.
    QByteArray sent;
    QByteArray got;
    for (int second = 0; second < 10; ++second) {
        // The event loop turns between parse cycles, and the far end reads.
        QCoreApplication::processEvents();
        got += pty.receive();
        for (int k = 0; k < 40; ++k) {
            const qint64 before = output.counters().sent;
            output.write(sentence(second * 100 + k));
            if (output.counters().sent > before) {
                sent += sentence(second * 100 + k);
            }
            now += 25;
        }
    }
    const auto& c = output.counters();
    QCOMPARE(c.sent + c.slow, 400);
    // 480 bytes a second for 10 s plus a second's budget at the start, and no less
    // than the line's rate.
    const qint64 bytes = c.sent * sentence(0).size();
    QVERIFY2(bytes >= 4800 && bytes <= 5280, qPrintable(QString::number(bytes)));
    QTRY_VERIFY((got += pty.receive(), got.size() >= sent.size()));
    QCOMPARE(got, sent);  // whole sentences, nothing torn
}

void OutputLinksTest::takenPortIsReportedAndOthersGoOn() {
    QTcpServer squatter;
    QVERIFY(squatter.listen(QHostAddress::LocalHost, 0));
    const QString taken = QStringLiteral("tcp-server://127.0.0.1:%1").arg(squatter.serverPort());
    QUdpSocket receiver;
    QVERIFY(receiver.bind(QHostAddress::LocalHost, 0));

    Forwarder forwarder;
    forwarder.setRetryInterval(50);
    QSignalSpy changes(&forwarder, &Forwarder::outputChanged);
    QString error;
    QVERIFY2(forwarder.addOutput(taken, {}, &error), qPrintable(error));
    QVERIFY(forwarder.addOutput(QStringLiteral("udp://127.0.0.1:%1").arg(receiver.localPort()), {},
                                &error));
    QCOMPARE(forwarder.output(0)->state(), Output::State::Failed);
    QVERIFY2(forwarder.describe(0).contains("failed ("), qPrintable(forwarder.describe(0)));
    QCOMPARE(forwarder.output(1)->state(), Output::State::Open);

    forwarder.forward(sentence(1), true);
    forwarder.flush();
    QTRY_VERIFY(receiver.hasPendingDatagrams());
    QCOMPARE(receiver.receiveDatagram().data(), sentence(1));

    // Retried all along, the failure is reported once, not on every attempt.
    QTest::qWait(300);
    const auto changesOf = [&changes](int index) {
        return std::count_if(
            changes.begin(), changes.end(),
            [index](const QList<QVariant>& change) { return change.at(0).toInt() == index; });
    };
    QCOMPARE(changesOf(0), 1);

    // Once the port is free the output is tried again and opens.
    squatter.close();
    QTRY_COMPARE(forwarder.output(0)->state(), Output::State::Open);
    QCOMPARE(changesOf(0), 2);
    QVERIFY(changes.last().at(1).toString().contains(": open"));
}

void OutputLinksTest::forwarderFiltersTagsAndEndsLinesWithCrLf() {
    QUdpSocket receiver;
    QVERIFY(receiver.bind(QHostAddress::LocalHost, 0));
    Forwarder forwarder;
    qint64 now = 0;
    forwarder.setClocks([&now] { return now; }, [] { return qint64(1733540400000); });
    QString error;
    QVERIFY2(forwarder.addOutput(QStringLiteral("udp://127.0.0.1:%1?exclude=$--GSV&"
                                                "every=$--GGA:1&tag=mast")
                                     .arg(receiver.localPort()),
                                 {}, &error),
             qPrintable(error));
    const struct {
        QByteArray in;
        bool good;
        qint64 at;
    } feed[] = {
        {"$GPGGA,1*00\n", true, 0},        // LF only: leaves with CR LF
        {"$GPGGA,2*00\r\n", true, 500},    // within the second: capped
        {"$GPGSV,1*00\r\n", true, 600},    // excluded
        {"$GPRMC,1*00\r\r\n", true, 700},  // CR CR LF: one CR LF
        {"$GPRMC,2*00\r\n", false, 800},   // bad checksum
        {"$GPGGA,3*00\r\n", true, 1000},
    };
    for (const auto& item : feed) {
        now = item.at;
        forwarder.forward(item.in, item.good);
    }
    forwarder.flush();
    QTRY_VERIFY(receiver.hasPendingDatagrams());
    const QByteArray tag = "\\c:1733540400,s:mast*";
    const QList<QByteArray> lines = receiver.receiveDatagram().data().split('\n');
    QCOMPARE(lines.size(), 4);  // three lines and the empty rest
    QVERIFY(lines[0].startsWith(tag) && lines[0].endsWith("\\$GPGGA,1*00\r"));
    QVERIFY(lines[1].startsWith(tag) && lines[1].endsWith("\\$GPRMC,1*00\r"));
    QVERIFY(lines[2].startsWith(tag) && lines[2].endsWith("\\$GPGGA,3*00\r"));
    const auto& c = forwarder.output(0)->counters();
    QCOMPARE(c.sent, 3);
    QCOMPARE(c.filtered, 2);
    QCOMPARE(c.rateCapped, 1);
    QVERIFY(forwarder.summary().contains("3 sent, 3 dropped"));
}

// A line that came with a TAG block leaves with it on every output: as received where
// the TAG option is off, with that one block (not a second one) where it is on. The
// filter judges the sentence behind the block.
void OutputLinksTest::incomingTagBlockIsKept() {
    // A line of a real capture (libais test data, tests/data/sources/tagblock.nmea).
    const QByteArray block = "\\s:rORBCOMM104,q:u,c:1418172113,T:2014-12-10 00.41.53*55\\";
    const QByteArray ais = "!AIVDM,1,1,,B,13F?Vv700<DJuLEtvep`iToV0<00,0*78\r\n";
    const QByteArray gga = sentence(7);
    const QByteArray ownBlock = "\\c:1733540400,s:mast*";
    const struct {
        const char* options;
        QList<QByteArray> lines;  // a line with ownBlock stands for that block and gga
    } outputs[] = {
        {"", {block + ais, gga}},
        {"?tag=mast", {block + ais, ownBlock}},
        {"?include=!AIVDM", {block + ais}},
    };
    Forwarder forwarder;
    forwarder.setClocks([] { return qint64(0); }, [] { return qint64(1733540400000); });
    std::vector<quint16> ports;
    for (const auto& output : outputs) {
        const quint16 port = freeTcpPort();
        QString error;
        QVERIFY2(forwarder.addOutput(
                     QStringLiteral("tcp-server://127.0.0.1:%1%2").arg(port).arg(output.options),
                     {}, &error),
                 qPrintable(error));
        ports.push_back(port);
    }
    std::vector<std::unique_ptr<QTcpSocket>> clients;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        clients.push_back(std::make_unique<QTcpSocket>());
        QVERIFY(connected(*clients.back(), ports[i]));
        QTRY_COMPARE(forwarder.output(int(i))->counters().clients, 1);
    }
    forwarder.forward(block, ais, true);
    forwarder.forward(gga, true);
    forwarder.flush();
    for (std::size_t i = 0; i < ports.size(); ++i) {
        const QList<QByteArray>& expected = outputs[i].lines;
        QByteArray got;
        QTRY_VERIFY((got += clients[i]->readAll(), got.count('\n') >= expected.size()));
        const QList<QByteArray> lines = got.split('\n').mid(0, expected.size());
        for (qsizetype j = 0; j < expected.size(); ++j) {
            const QByteArray line = lines[j] + '\n';
            if (expected[j] == ownBlock) {
                QCOMPARE(line.count('\\'), 2);  // its own block, and only that
                QVERIFY2(line.startsWith(ownBlock) && line.endsWith("\\" + gga), line.constData());
            } else {
                QCOMPARE(line, expected[j]);
            }
        }
    }
    QCOMPARE(forwarder.output(2)->counters().filtered, 1);  // the GGA, judged without a block
}

// A fast-packet PGN goes out as YDWG RAW frames on one output and as one $PCDIN on
// another; read back through the gateway readers, both give the PGN that went in.
// Filters see PGNs by their key.
void OutputLinksTest::pgnsLeaveInEachOutputsForm() {
    QUdpSocket ydwgReceiver;
    QUdpSocket pcdinReceiver;
    QVERIFY(ydwgReceiver.bind(QHostAddress::LocalHost, 0));
    QVERIFY(pcdinReceiver.bind(QHostAddress::LocalHost, 0));
    Forwarder forwarder;
    forwarder.setClocks([] { return qint64(0); }, [] { return qint64(1733540400250); });
    QString error;
    QVERIFY2(
        forwarder.addOutput(
            QStringLiteral("udp://127.0.0.1:%1?exclude=PGN 130306").arg(ydwgReceiver.localPort()),
            {}, &error),
        qPrintable(error));
    QVERIFY2(forwarder.addOutput(QStringLiteral("udp://127.0.0.1:%1?n2k=pcdin&include=PGN 129029")
                                     .arg(pcdinReceiver.localPort()),
                                 {}, &error),
             qPrintable(error));

    n2k::Message position;  // 129029 GNSS position data: 43 bytes, a fast packet
    position.pgn = 129029;
    position.priority = 3;
    position.source = 35;
    position.length = 43;
    for (int i = 0; i < position.length; ++i) {
        position.data[i] = static_cast<std::uint8_t>(i * 7 + 1);
    }
    n2k::Message wind;  // 130306 wind data: single frame, excluded from the first output
    wind.pgn = 130306;
    wind.source = 9;
    wind.length = 8;
    forwarder.forwardPgn(position, true);
    forwarder.forwardPgn(wind, false);
    forwarder.flush();

    // Back through the readers: every frame a YDWG RAW line, the fast packet whole again.
    QTRY_VERIFY(ydwgReceiver.hasPendingDatagrams());
    const QByteArray ydwg = ydwgReceiver.receiveDatagram().data();
    QCOMPARE(ydwg.count("\r\n"), 7);  // 43 bytes: 6 + 6 x 7 = 48 fit in seven frames
    n2k::Reassembler reassembler(
        n2k::FastPacketList{[](const void*, std::uint32_t pgn) { return pgn == 129029; }, nullptr});
    const n2k::Message* whole = nullptr;
    for (const QByteArray& line : ydwg.split('\n')) {
        if (line.isEmpty()) {
            continue;
        }
        QVERIFY2(line.startsWith("03:00:00.250 R 0DF80523 "), line.constData());
        n2k::LineOutput out;
        const QByteArray text = line.chopped(1);
        QCOMPARE(n2k::readYdwgLine(std::string_view(text.constData(), size_t(text.size())), out),
                 n2k::LineKind::Frame);
        if (const n2k::Message* m = reassembler.feed(out.frame)) {
            whole = m;
        }
    }
    QVERIFY(whole != nullptr);
    QCOMPARE(whole->length, 43);
    QVERIFY(std::memcmp(whole->data, position.data, 43) == 0);

    QTRY_VERIFY(pcdinReceiver.hasPendingDatagrams());
    const QByteArray pcdin = pcdinReceiver.receiveDatagram().data();
    QVERIFY(pcdin.startsWith("$PCDIN,01F805,") && pcdin.endsWith("\r\n"));
    QCOMPARE(pcdin.count('\n'), 1);  // the wind was not included
    n2k::LineOutput out;
    const QByteArray sentence = pcdin.chopped(2);
    QCOMPARE(
        n2k::readPcdinLine(std::string_view(sentence.constData(), size_t(sentence.size())), out),
        n2k::LineKind::Message);
    QCOMPARE(out.message.pgn, 129029u);
    QCOMPARE(out.message.source, 35);
    QVERIFY(std::memcmp(out.message.data, position.data, 43) == 0);

    QCOMPARE(forwarder.output(0)->counters().sent, 7);
    QCOMPARE(forwarder.output(0)->counters().filtered, 1);
    QCOMPARE(forwarder.output(1)->counters().sent, 1);
    QCOMPARE(forwarder.output(1)->counters().filtered, 1);
}

void OutputLinksTest::loopIsRefused() {
    Forwarder forwarder;
    QString error;
    QVERIFY(!forwarder.addOutput("tcp-server://:10110", {"tcp://localhost:10110"}, &error));
    QVERIFY2(error.contains("back to the source"), qPrintable(error));
    QVERIFY(forwarder.isEmpty());
    QVERIFY(!forwarder.addOutput("serial:/dev/ttyS9@4800", {"/dev/ttyS9"}, &error));
    QVERIFY(!forwarder.addOutput("tcp-server://:1?colour=red", {}, &error));
    QVERIFY(error.contains("Unknown option"));
}

QTEST_GUILESS_MAIN(OutputLinksTest)
#include "tst_output_links.moc"
