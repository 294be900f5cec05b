// A live CAN bus through Qt's virtualcan plugin, its server on a loopback port the
// system picked: real frames of a candump capture written by another client arrive as
// candump log lines that read back to the same frames, standard frames are left out,
// and the source never puts a frame on the bus.
#include <QCanBus>
#include <QCanBusDevice>
#include <QCanBusFrame>
#include <QFile>
#include <QTcpServer>
#include <QTest>

#include "n2k/candump_line.h"
#include "n2k/line_result.h"
#include "sources/can_source.h"
#include "sources/source_address.h"

using sources::Source;

namespace {

// The frames of a real candump log (Apache-2.0, see tests/data/n2k/gateway-SOURCES.md).
QList<n2k::Frame> captureFrames(int most) {
    QFile file(QStringLiteral(TW_TEST_DATA "/n2k/candump-fast.txt"));
    QList<n2k::Frame> frames;
    if (!file.open(QIODevice::ReadOnly)) {
        return frames;
    }
    while (!file.atEnd() && frames.size() < most) {
        const QByteArray line = file.readLine().trimmed();
        n2k::LineOutput out;
        if (n2k::readCandumpLine(std::string_view(line.constData(), size_t(line.size())), out) ==
            n2k::LineKind::Frame) {
            frames.append(out.frame);
        }
    }
    return frames;
}

quint16 freeTcpPort() {
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

}  // namespace

class CanSourceTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        if (!QCanBus::instance()->plugins().contains(QStringLiteral("virtualcan"))) {
            QSKIP("Qt's virtualcan plugin is not installed");
        }
    }

    void sourceStrings() {
        QString error;
        auto where = sources::parseSourceAddress(QStringLiteral("socketcan:can0"), &error);
        QVERIFY2(where.has_value(), qPrintable(error));
        QCOMPARE(where->kind, sources::SourceAddress::Kind::Can);
        QCOMPARE(where->text(), QStringLiteral("socketcan:can0"));
        where = sources::parseSourceAddress(QStringLiteral("VirtualCAN:tcp://127.0.0.1:1/can1"));
        QVERIFY(where.has_value());
        QCOMPARE(where->text(), QStringLiteral("virtualcan:tcp://127.0.0.1:1/can1"));
        QVERIFY(!sources::parseSourceAddress(QStringLiteral("socketcan:"), &error));
        QVERIFY2(error.contains("Missing CAN interface"), qPrintable(error));
    }

    void framesArriveAsCandumpLinesAndNothingIsSent() {
        const quint16 port = freeTcpPort();
        QVERIFY(port != 0);
        const QString bus = QStringLiteral("tcp://127.0.0.1:%1/can0").arg(port);

        sources::CanSource source(QStringLiteral("virtualcan"), bus);
        QByteArray received;
        connect(&source, &Source::bytesArrived, this,
                [&received](const QByteArray& bytes) { received += bytes; });
        QVERIFY2(source.open(), qPrintable(source.errorString()));
        QTRY_COMPARE_WITH_TIMEOUT(source.state(), Source::State::Open, 5000);
        QCOMPARE(source.lineInterfaceName(), QStringLiteral("can0"));

        // Another station on the same bus: what it sends, we hear; it must hear nothing.
        std::unique_ptr<QCanBusDevice> station(
            QCanBus::instance()->createDevice(QStringLiteral("virtualcan"), bus));
        QVERIFY(station && station->connectDevice());
        QTRY_COMPARE_WITH_TIMEOUT(station->state(), QCanBusDevice::ConnectedState, 5000);

        const QList<n2k::Frame> frames = captureFrames(20);
        QCOMPARE(frames.size(), 20);
        for (const n2k::Frame& f : frames) {
            QCanBusFrame frame(f.canId,
                               QByteArray(reinterpret_cast<const char*>(f.data), f.length));
            frame.setExtendedFrameFormat(true);
            QVERIFY(station->writeFrame(frame));
        }
        // A standard (11-bit) frame of another protocol on the same bus.
        QCanBusFrame other(0x123, QByteArray("\x01\x02", 2));
        QVERIFY(station->writeFrame(other));

        QTRY_COMPARE_WITH_TIMEOUT(received.count('\n'), frames.size(), 5000);
        const QList<QByteArray> lines = received.split('\n');
        for (int i = 0; i < frames.size(); ++i) {
            n2k::LineOutput out;
            const std::string_view line(lines[i].constData(), size_t(lines[i].size()));
            QCOMPARE(n2k::readCandumpLine(line, out), n2k::LineKind::Frame);
            QCOMPARE(out.frame.canId, frames[i].canId);
            QCOMPARE(out.frame.length, frames[i].length);
            QVERIFY(std::memcmp(out.frame.data, frames[i].data, frames[i].length) == 0);
            QVERIFY(lines[i].contains(") can0 "));
        }
        // Listening only: give a stray write every chance to arrive.
        QTest::qWait(200);
        QCOMPARE(station->framesAvailable(), 0);

        source.close();
        QCOMPARE(source.state(), Source::State::Closed);
    }

    void aMissingPluginIsReported() {
        sources::CanSource source(QStringLiteral("nosuchcan"), QStringLiteral("can0"));
        QVERIFY(!source.open());
        QVERIFY(!source.errorString().isEmpty());
    }
};

QTEST_GUILESS_MAIN(CanSourceTest)
#include "tst_can_source.moc"
