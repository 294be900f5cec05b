// Floods through real parts: 20,000 UDP datagrams on the loopback interface, 50 MB
// over a loopback TCP connection, 5 MB through a pseudo-terminal. After each, single
// sentences must still be decoded promptly, and what the system dropped is counted.
// Also the stuck check that reopens a source with data waiting, on a fake clock.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <algorithm>
#include <atomic>
#include <random>
#include <thread>

#include "parsed_results.h"
#include "sources/serial_source.h"
#include "sources/tcp_source.h"
#include "sources/udp_source.h"
#include "support/pty.h"

using sources::Source;
using State = Source::State;

namespace {

QByteArray sentence(const QByteArray& body) {
    quint8 sum = 0;
    for (char c : body) {
        sum ^= quint8(c);
    }
    return '$' + body + '*' + QByteArray::number(sum, 16).rightJustified(2, '0').toUpper() + "\r\n";
}

// A heading no burst contains, so its result text marks one sentence.
QByteArray marker(int i) {
    return sentence("HEHDT," + QByteArray::number(301 + i) + ".5,T");
}
QString markerText(int i) {
    return QString::number(301 + i) + QStringLiteral(".5");
}

// Takes what a source delivers: counts every byte and parses from `parseFrom` on,
// so the flood itself costs no parsing (the sentences after it are the point).
class Watcher {
public:
    explicit Watcher(Source& source) {
        QObject::connect(&source, &Source::bytesArrived, &context_, [this](const QByteArray& b) {
            const qint64 before = bytes_;
            bytes_ += b.size();
            if (bytes_ > parseFrom_) {
                parsed_.feed(b.mid(qsizetype(std::max<qint64>(0, parseFrom_ - before))));
            }
        });
    }
    void parseFrom(qint64 offset) { parseFrom_ = offset; }
    void parseFromNow() { parseFrom_ = bytes_; }
    qint64 bytes() const { return bytes_; }
    bool decoded(const QString& text) const {
        for (const QString& result : parsed_.results()) {
            if (result.contains(text)) {
                return true;
            }
        }
        return false;
    }

private:
    QObject context_;
    qint64 bytes_ = 0;
    qint64 parseFrom_ = std::numeric_limits<qint64>::max();
    testsupport::ParsedResults parsed_;
};

int loopbackUdpSender() {
    return ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
}

bool sendTo(int fd, quint16 port, const QByteArray& datagram) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return ::sendto(fd, datagram.constData(), size_t(datagram.size()), 0,
                    reinterpret_cast<const sockaddr*>(&to), sizeof to) == datagram.size();
}

// Fills a datagram of `size` bytes with whole sentences and pads the rest.
QByteArray sentencesOf(int size) {
    const QByteArray one = sentence("WIMWV,214.8,R,12.1,N,A");
    QByteArray out = one.repeated(size / one.size());
    return out + QByteArray(size - out.size(), ' ');
}

bool writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= size_t(n);
    }
    return true;
}

// Runs the event loop without pause until `done` holds or the time is up. The test
// library's waits sleep between rounds of events, which would measure them instead of
// a source draining a flood one portion per turn.
template <typename Done>
bool runUntil(Done done, int timeoutMs) {
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done()) {
            loop.quit();
        }
    });
    poll.start(5);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

// A source that never delivers on its own: the stuck check is driven by hand.
class FakeSource : public Source {
public:
    bool open() override {
        ++opens;
        setState(State::Open);
        return true;
    }
    void close() override { setState(State::Closed); }
    QString description() const override { return QStringLiteral("fake://line"); }
    qint64 bytesPending() const override { return pending; }
    void push() { deliver("x"); }

    qint64 pending = 0;
    int opens = 0;
};

}  // namespace

class SourceBurstsTest : public QObject {
    Q_OBJECT

private slots:
    void udpBurstThenSentences_data() {
        QTest::addColumn<int>("kind");
        QTest::newRow("valid sentences") << 0;
        QTest::newRow("random bytes") << 1;
        QTest::newRow("1400-byte datagrams") << 2;
    }

    // The burst comes from another thread as fast as it can send, while the source
    // reads; then five sentences one after the other, each decoded within a second,
    // and every datagram sent is either read or counted as dropped by the system.
    void udpBurstThenSentences() {
        QFETCH(int, kind);
        sources::UdpSource source(QHostAddress(QHostAddress::LocalHost), 0);
        QVERIFY2(source.open(), qPrintable(source.errorString()));
        qInfo("receive buffer granted: %d bytes", source.receiveBufferBytes());
        QVERIFY(source.receiveBufferBytes() > 0);
        Watcher watcher(source);
        const quint16 port = source.boundPort();

        std::vector<QByteArray> burst;
        std::mt19937 random(26);
        for (int i = 0; i < 64; ++i) {
            if (kind == 0) {
                burst.push_back(sentence("WIMWV," + QByteArray::number(i) + ".0,R,12.1,N,A"));
            } else if (kind == 1) {
                QByteArray bytes(int(random() % 1400) + 1, Qt::Uninitialized);
                for (char& c : bytes) {
                    c = char(random());
                }
                burst.push_back(bytes);
            } else {
                burst.push_back(sentencesOf(1400));
            }
        }
        constexpr int kBurst = 20000;
        std::atomic<int> sent{0};
        std::atomic<bool> done{false};
        std::thread sender([&] {
            const int fd = loopbackUdpSender();
            for (int i = 0; i < kBurst; ++i) {
                sent += sendTo(fd, port, burst[size_t(i) % burst.size()]) ? 1 : 0;
            }
            ::close(fd);
            done = true;
        });
        // The first half arrives while the source reads along; during the second the
        // window is busy elsewhere, so the receive buffer overflows.
        const bool halfway = runUntil([&] { return sent.load() >= kBurst / 2 || done; }, 30000);
        sender.join();
        QVERIFY(halfway);
        QVERIFY(runUntil([&] { return source.bytesPending() == 0; }, 30000));

        watcher.parseFromNow();
        const int fd = loopbackUdpSender();
        int markersSent = 0;
        for (int i = 0; i < 5; ++i) {
            QElapsedTimer since;
            since.start();
            markersSent += sendTo(fd, port, marker(i)) ? 1 : 0;
            QTRY_VERIFY_WITH_TIMEOUT(watcher.decoded(markerText(i)), 1000);
            QVERIFY2(since.elapsed() <= 1000, qPrintable(QString::number(since.elapsed())));
        }
        ::close(fd);
        QCOMPARE(markersSent, 5);

        const sources::SourceCounters counters = source.counters();
        // The system tells the count with the next datagram read, so it is whole now.
        qInfo("sent %d, read %llu, dropped by the system %llu", sent.load() + markersSent,
              counters.datagrams, counters.systemDropped);
        const quint64 total = quint64(sent.load() + markersSent);
        QVERIFY(counters.datagrams <= total);
        QCOMPARE(counters.systemDropped, total - counters.datagrams);
        QCOMPARE(sources::toJson(counters).value("datagrams_dropped_by_system").toInteger(),
                 qint64(counters.systemDropped));
        QVERIFY(sources::lossLines(counters).contains(
            QStringLiteral("Datagrams dropped by the system: %1").arg(counters.systemDropped)));
    }

    // 50 MB as fast as a thread can write them, then one sentence: decoded within a
    // second of the flood having been read.
    void tcpBurstThenSentence() {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        sources::TcpSource source(QStringLiteral("127.0.0.1"), server.serverPort());
        Watcher watcher(source);
        QVERIFY(source.open());
        QTRY_VERIFY_WITH_TIMEOUT(server.hasPendingConnections(), 10000);
        QTcpSocket* peer = server.nextPendingConnection();
        QTRY_COMPARE_WITH_TIMEOUT(source.state(), State::Open, 10000);
        // The writer blocks while the reader is behind, as a real sender's kernel does.
        const int fd = ::fcntl(int(peer->socketDescriptor()), F_DUPFD_CLOEXEC, 0);
        QVERIFY(fd >= 0);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);

        const QByteArray block = sentencesOf(64 * 1024);
        constexpr int kBlocks = 50 * 16;  // 50 MB
        const qint64 burstBytes = qint64(block.size()) * kBlocks;
        watcher.parseFrom(burstBytes);
        std::atomic<bool> written{false};
        std::thread writer([&] {
            bool ok = true;
            for (int i = 0; i < kBlocks && ok; ++i) {
                ok = writeAll(fd, block.constData(), size_t(block.size()));
            }
            const QByteArray last = marker(0);
            written = ok && writeAll(fd, last.constData(), size_t(last.size()));
        });
        const bool read = runUntil([&] { return watcher.bytes() >= burstBytes; }, 90000);
        QElapsedTimer since;
        since.start();
        const bool decoded = runUntil([&] { return watcher.decoded(markerText(0)); }, 1000);
        const qint64 took = since.elapsed();
        writer.join();
        ::close(fd);
        QVERIFY(written);
        QVERIFY2(read, qPrintable(QString::number(watcher.bytes())));
        QVERIFY(decoded);
        QVERIFY2(took <= 1000, qPrintable(QString::number(took)));
    }

    // 5 MB into a pseudo-terminal as fast as the line takes them, then one sentence.
    void ptyBurstThenSentence() {
        TestPty pty;
        QVERIFY(pty.isValid());
        sources::SerialSource source(pty.slavePath(), [&](QSerialPort& port) {
            port.setPortName(pty.slavePath());
            port.setBaudRate(QSerialPort::Baud38400);
        });
        Watcher watcher(source);
        QVERIFY2(source.open(), qPrintable(source.errorString()));
        const QByteArray burst = sentencesOf(5 * 1024 * 1024);
        watcher.parseFrom(burst.size());
        QVERIFY(pty.send(burst));
        QVERIFY(runUntil([&] { return watcher.bytes() >= burst.size(); }, 60000));
        QElapsedTimer since;
        since.start();
        QVERIFY(pty.send(marker(0)));
        QTRY_VERIFY_WITH_TIMEOUT(watcher.decoded(markerText(0)), 1000);
        QVERIFY(since.elapsed() <= 1000);
        // A pseudo-terminal reports no line errors; none are made up.
        QCOMPARE(source.counters().serialOverruns + source.counters().serialFramingErrors, 0u);
    }

    // A real UDP source found stuck is bound again on the port the senders know and
    // reads on.
    void stuckUdpSourceReopensOnItsPort() {
        sources::UdpSource source(QHostAddress(QHostAddress::LocalHost), 0);
        qint64 now = 0;
        source.setStuckClock([&] { return now; });
        QVERIFY(source.open());
        const quint16 port = source.boundPort();
        Watcher watcher(source);
        watcher.parseFromNow();
        const int fd = loopbackUdpSender();
        // No turn of the event loop follows, so the datagram waits unread.
        QVERIFY(sendTo(fd, port, marker(0)));
        QVERIFY(source.bytesPending() > 0);
        QSignalSpy reopened(&source, &Source::reopened);
        for (int i = 0; i < 4; ++i) {
            now += Source::kCheckIntervalMs;
            source.checkStuck();
        }
        QCOMPARE(reopened.size(), 1);
        QCOMPARE(source.state(), State::Open);
        QCOMPARE(source.boundPort(), port);
        QVERIFY(sendTo(fd, port, marker(1)));
        QTRY_VERIFY_WITH_TIMEOUT(watcher.decoded(markerText(1)), 5000);
        ::close(fd);
    }

    // (pending bytes, ms since the last delivery, longest gap between checks) ->
    // reopened?
    void stuckSourceIsReopened_data() {
        QTest::addColumn<qint64>("pending");
        QTest::addColumn<qint64>("quietMs");
        QTest::addColumn<qint64>("gapMs");
        QTest::addColumn<bool>("reopened");
        const qint64 turning = Source::kCheckIntervalMs;
        QTest::newRow("data waiting, quiet 2 s") << qint64(40) << qint64(2000) << turning << true;
        QTest::newRow("data waiting, quiet 1.9 s")
            << qint64(40) << qint64(1999) << turning << false;
        QTest::newRow("nothing waiting, quiet 10 s")
            << qint64(0) << qint64(10000) << turning << false;
        QTest::newRow("cannot tell, quiet 10 s") << qint64(-1) << qint64(10000) << turning << false;
        // The whole program stood still: not the source's fault.
        QTest::newRow("event loop held up 3 s")
            << qint64(40) << qint64(3000) << qint64(3000) << false;
        QTest::newRow("held up 1.5 s, then quiet 2 s")
            << qint64(40) << qint64(3500) << qint64(1500) << true;
    }

    void stuckSourceIsReopened() {
        QFETCH(qint64, pending);
        QFETCH(qint64, quietMs);
        QFETCH(qint64, gapMs);
        QFETCH(bool, reopened);
        FakeSource source;
        qint64 now = 1000;
        source.setStuckClock([&] { return now; });
        QVERIFY(source.open());
        now += 500;
        source.push();  // delivering restarts the grace
        source.checkStuck();
        source.pending = pending;
        QSignalSpy notices(&source, &Source::reopened);
        QSignalSpy states(&source, &Source::stateChanged);
        // The first gap is the longest; the checks then follow at their interval.
        for (qint64 passed = 0, step = gapMs; passed < quietMs && source.opens == 1;
             step = Source::kCheckIntervalMs) {
            step = std::min(step, quietMs - passed);
            passed += step;
            now += step;
            source.checkStuck();
        }
        QCOMPARE(source.opens, reopened ? 2 : 1);
        QCOMPARE(notices.size(), reopened ? 1 : 0);
        QCOMPARE(source.counters().reopened, reopened ? 1u : 0u);
        QCOMPARE(source.state(), State::Open);
        QCOMPARE(states.size(), 0);  // the reopen is one notice, not a flicker of states
        if (reopened) {
            QVERIFY(notices.at(0).at(0).toString().startsWith(
                "fake://line had data waiting but delivered nothing for 2 s; reopened at "));
            // A fresh descriptor gets its own grace.
            for (int i = 0; i < 3; ++i) {
                now += Source::kCheckIntervalMs;
                source.checkStuck();
            }
            QCOMPARE(source.opens, 2);
        }
    }
};

QTEST_GUILESS_MAIN(SourceBurstsTest)
#include "tst_source_bursts.moc"
