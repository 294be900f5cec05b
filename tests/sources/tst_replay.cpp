// Replay of recorded logs: the schedule's pace, the same results as the live stream,
// the recorded pace of TAG times through an injected clock, pause, restart, progress.
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "parsed_results.h"
#include "sources/replay_schedule.h"
#include "sources/replay_source.h"

using sources::ReplayPace;
using sources::ReplaySchedule;
using sources::ReplaySource;
using State = sources::Source::State;

namespace {

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A replay on a clock the test moves; collects what it sends.
struct ClockedReplay {
    ClockedReplay(const QString& path, ReplayPace pace) : source(path, pace) {
        source.setClock([this] { return nowMs; });
        QObject::connect(&source, &sources::Source::bytesArrived,
                         [this](const QByteArray& bytes) { sent += bytes; });
    }
    // Moves the clock to t and lets the replay send what is due; returns the wait.
    qint64 at(qint64 t) {
        nowMs = t;
        return source.step();
    }
    int lines() const { return int(sent.count('\n')); }

    qint64 nowMs = 0;
    ReplaySource source;
    QByteArray sent;
};

}  // namespace

class ReplayTest : public QObject {
    Q_OBJECT

private slots:
    // Lines of 48 bytes: 100 ms each at 4800 baud, 12.5 ms at 38400; TAG times keep
    // their gaps; untimed lines after timed ones follow at once; a clock that goes
    // back starts a new stretch.
    void schedule_data() {
        QTest::addColumn<int>("baud");
        QTest::addColumn<int>("factor");
        QTest::addColumn<QList<qint64>>("tags");  // -1: no TAG time
        QTest::addColumn<QList<qint64>>("due");
        using L = QList<qint64>;
        QTest::newRow("4800") << 4800 << 1 << L{-1, -1, -1} << L{0, 100, 200};
        QTest::newRow("38400") << 38400 << 1 << L{-1, -1, -1} << L{0, 12, 25};
        QTest::newRow("4800 x10") << 4800 << 10 << L{-1, -1, -1} << L{0, 10, 20};
        QTest::newRow("tagged") << 4800 << 1 << L{5000, 5000, 7000, 7500} << L{0, 0, 2000, 2500};
        QTest::newRow("tagged x10") << 4800 << 10 << L{5000, 7000, 7500} << L{0, 200, 250};
        QTest::newRow("untimed then tagged")
            << 4800 << 1 << L{-1, -1, 9000, -1, 10000} << L{0, 100, 200, 200, 1200};
        QTest::newRow("clock goes back")
            << 4800 << 1 << L{9000, 10000, 3000, 4000} << L{0, 1000, 1000, 2000};
    }
    void schedule() {
        QFETCH(int, baud);
        QFETCH(int, factor);
        QFETCH(QList<qint64>, tags);
        QFETCH(QList<qint64>, due);
        ReplaySchedule schedule(ReplayPace{baud, factor});
        QList<qint64> got;
        for (qint64 tag : tags) {
            got << schedule.dueMs(48, tag < 0 ? std::nullopt : std::optional<qint64>(tag));
        }
        QCOMPARE(got, due);
    }

    // A capture replayed (LF line ends in the file) parses exactly as the talker's CR LF
    // stream cut into uneven reads; the replay sends every line and ends Finished.
    void replayGivesTheLiveResults() {
        const QString capture = QStringLiteral(TW_TEST_DATA "/app/gpsd-ais-nmea.log");
        const QByteArray live = readFile(capture).replace("\n", "\r\n");
        QVERIFY(!live.isEmpty());
        testsupport::ParsedResults fromLive;
        for (qsizetype at = 0, i = 0; at < live.size(); at += 7 + (i++ % 5) * 97) {
            fromLive.feed(live.mid(at, 7 + (i % 5) * 97));
        }

        ClockedReplay replay(capture, ReplayPace{4800, 1, true});
        testsupport::ParsedResults fromReplay;
        QObject::connect(&replay.source, &sources::Source::bytesArrived,
                         [&](const QByteArray& bytes) { fromReplay.feed(bytes); });
        QSignalSpy progress(&replay.source, &ReplaySource::progressChanged);
        QVERIFY(replay.source.open());
        int steps = 0;
        while (replay.at(0) >= 0 && ++steps < 10000) {
        }
        QCOMPARE(replay.source.state(), State::Finished);
        QVERIFY(fromLive.sentences() > 100);
        QCOMPARE(fromReplay.results(), fromLive.results());
        QCOMPARE(progress.last().at(0).toLongLong(), replay.source.size());
    }

    // A log whose sentences sit behind TAG blocks parses exactly as the bare
    // sentences: the blocks are read for pacing only.
    void tagBlocksChangeNoResult() {
        const QByteArray tagged = readFile(QStringLiteral(TW_TEST_DATA "/sources/tagblock.nmea"));
        QVERIFY(tagged.count('\\') >= 10);
        QByteArray bare;
        for (const QByteArray& line : tagged.split('\n')) {
            if (!line.isEmpty()) {
                bare += line.mid(line.indexOf('\\', 1) + 1) + "\r\n";
            }
        }
        testsupport::ParsedResults fromTagged;
        testsupport::ParsedResults fromBare;
        fromTagged.feed(QByteArray(tagged).replace("\n", "\r\n"));
        fromBare.feed(bare);
        QCOMPARE(fromBare.sentences(), 5);
        QCOMPARE(fromTagged.results(), fromBare.results());
    }

    // TAG-stamped lines keep their recorded gaps (seconds, and ten times faster);
    // time spent paused does not count; restart plays from the first line again.
    void taggedLogPlaysAtRecordedPace() {
        QTemporaryDir dir;
        const QString path = dir.filePath("tagged.log");
        QFile log(path);
        QVERIFY(log.open(QIODevice::WriteOnly));
        log.write(
            "\\c:1733500000*5A\\$HEHDT,274.1,T*2F\n"
            "\\c:1733500000*5A\\$HEHDT,274.2,T*2C\n"
            "\\c:1733500002*58\\$HEHDT,274.3,T*2D\n"
            "\\c:1733500005*5F\\$HEHDT,274.4,T*2A\n");
        log.close();

        ClockedReplay replay(path, ReplayPace{4800, 1});
        replay.nowMs = 1000;
        QVERIFY(replay.source.open());
        QCOMPARE(replay.at(1000), 2000);  // both lines of the first second at once
        QCOMPARE(replay.lines(), 2);
        QCOMPARE(replay.at(2999), 1);
        QCOMPARE(replay.lines(), 2);
        QCOMPARE(replay.at(3000), 3000);
        QCOMPARE(replay.lines(), 3);

        replay.source.pause();
        QCOMPARE(replay.at(60000), -1);  // paused: nothing goes, however long
        QCOMPARE(replay.lines(), 3);
        replay.nowMs = 61000;
        replay.source.resume();  // 58 s paused are taken out
        QCOMPARE(replay.at(63999), 1);
        QCOMPARE(replay.at(64000), -1);
        QCOMPARE(replay.lines(), 4);
        QCOMPARE(replay.source.state(), State::Finished);

        replay.source.setPace(ReplayPace{4800, 10});
        replay.source.restart();
        QCOMPARE(replay.source.state(), State::Open);
        QCOMPARE(replay.at(64000), 200);  // 2 s recorded, a tenth of it
        QCOMPARE(replay.lines(), 6);
        QCOMPARE(replay.at(64500), -1);
        QCOMPARE(replay.lines(), 8);
        QCOMPARE(replay.sent.count("$HEHDT,274.4,T*2A\r\n"), 2);
    }
};

QTEST_GUILESS_MAIN(ReplayTest)
#include "tst_replay.moc"
