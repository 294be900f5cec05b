// TCP and UDP sources on the loopback interface, with ports the system picks: the real
// simulator's TCP stream, its loss and the reconnection when it comes back on the same
// port, and datagrams with one or several sentences.
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

#include "parsed_results.h"
#include "sources/tcp_source.h"
#include "sources/udp_source.h"

using sources::Source;
using State = sources::Source::State;

namespace {

// The simulator serving its default log over TCP; `port` 0 lets the system choose.
// Returns the port it listens on, 0 when it did not start.
quint16 startSimulator(QProcess& sim, quint16 port) {
    sim.start(QStringLiteral(TW_SIM_EXECUTABLE),
              {"--baud", "38400", "--tcp", QStringLiteral("127.0.0.1:%1").arg(port)});
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000)) {
        return 0;
    }
    const QByteArray line = sim.readLine().trimmed();  // "tcp 127.0.0.1:PORT"
    return line.startsWith("tcp ") ? quint16(line.mid(line.lastIndexOf(':') + 1).toUInt()) : 0;
}

void stopSimulator(QProcess& sim) {
    sim.terminate();
    if (!sim.waitForFinished(5000)) {
        sim.kill();
        sim.waitForFinished(5000);
    }
}

bool waitForState(Source& source, State state, int timeoutMs = 10000) {
    return QTest::qWaitFor([&] { return source.state() == state; }, timeoutMs);
}

}  // namespace

class NetworkSourcesTest : public QObject {
    Q_OBJECT

private slots:
    // Failures in a row, and the wait before the next attempt.
    void backOffDoublesUpToTenSeconds() {
        const int expected[] = {1000, 2000, 4000, 8000, 10000, 10000, 10000};
        for (int failures = 0; failures < 7; ++failures) {
            QCOMPARE(sources::TcpSource::retryDelay(failures), expected[failures]);
        }
    }

    // The stream parses; the simulator dies and the source reports the loss and keeps
    // trying; the simulator returns on the same port and the stream resumes by itself.
    void tcpReceivesLosesAndReconnects() {
        QProcess sim;
        const quint16 port = startSimulator(sim, 0);
        QVERIFY(port != 0);

        sources::TcpSource source(QStringLiteral("127.0.0.1"), port);
        source.setRetryUnit(50);
        testsupport::ParsedResults parsed;
        connect(&source, &Source::bytesArrived, this,
                [&](const QByteArray& bytes) { parsed.feed(bytes); });
        QStringList statuses;
        connect(&source, &Source::stateChanged, this, [&](State state, const QString& reason) {
            statuses << source.statusText(state, reason);
        });
        QVERIFY(source.open());
        QVERIFY(waitForState(source, State::Open));
        QTRY_VERIFY_WITH_TIMEOUT(parsed.sentences() >= 10, 10000);
        QCOMPARE(statuses.first(),
                 "Connecting to tcp://127.0.0.1:" + QString::number(port) + "...");
        QCOMPARE(statuses.at(1), "Connected to tcp://127.0.0.1:" + QString::number(port));

        stopSimulator(sim);
        QVERIFY(waitForState(source, State::Lost));
        QVERIFY(statuses.last().startsWith("Connection lost: "));
        // Refused attempts go on while nobody listens.
        QTRY_VERIFY_WITH_TIMEOUT(statuses.filter("refused").size() >= 2, 10000);

        QProcess again;
        QCOMPARE(startSimulator(again, port), port);
        const int before = parsed.sentences();
        QVERIFY(waitForState(source, State::Open));
        QTRY_VERIFY_WITH_TIMEOUT(parsed.sentences() >= before + 10, 10000);
        source.close();
        QCOMPARE(source.state(), State::Closed);
        stopSimulator(again);
    }

    // One sentence per datagram, several per datagram, and a datagram whose last
    // sentence has no line end: every sentence is parsed, none is glued to the next.
    void udpDatagramsWithOneOrSeveralSentences() {
        sources::UdpSource source(QHostAddress(QHostAddress::LocalHost), 0);
        QVERIFY2(source.open(), qPrintable(source.errorString()));
        QCOMPARE(source.state(), State::Open);
        QVERIFY(source.statusText(State::Open, {}).startsWith("Listening on udp://127.0.0.1:"));
        testsupport::ParsedResults parsed;
        connect(&source, &Source::bytesArrived, this,
                [&](const QByteArray& bytes) { parsed.feed(bytes); });

        const QByteArray gga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47";
        const QByteArray hdt = "$HEHDT,274.1,T*2F";
        const QByteArray mwv = "$WIMWV,214.8,R,12.1,N,A*1E";
        const QByteArray datagrams[] = {
            gga + "\r\n",
            hdt + "\r\n" + mwv + "\r\n" + gga + "\r\n",
            hdt,                 // no line end at all
            mwv + "\r\n" + hdt,  // the last one without
            gga + "\r\n",
        };
        QUdpSocket sender;
        for (const QByteArray& datagram : datagrams) {
            QCOMPARE(sender.writeDatagram(datagram, QHostAddress::LocalHost, source.boundPort()),
                     datagram.size());
        }
        QTRY_COMPARE_WITH_TIMEOUT(parsed.sentences(), 8, 5000);

        testsupport::ParsedResults expected;
        expected.feed(gga + "\r\n" + hdt + "\r\n" + mwv + "\r\n" + gga + "\r\n" + hdt + "\r\n" +
                      mwv + "\r\n" + hdt + "\r\n" + gga + "\r\n");
        QCOMPARE(parsed.results(), expected.results());
    }

    // A port another program holds exclusively cannot be listened on: open says why.
    void udpBindFailureIsReported() {
        QUdpSocket holder;
        QVERIFY(holder.bind(QHostAddress::LocalHost, 0, QAbstractSocket::DontShareAddress));
        sources::UdpSource source(QHostAddress(QHostAddress::LocalHost), holder.localPort());
        QVERIFY(!source.open());
        QVERIFY(!source.errorString().isEmpty());
        QCOMPARE(source.state(), State::Closed);
    }
};

QTEST_GUILESS_MAIN(NetworkSourcesTest)
#include "tst_network_sources.moc"
