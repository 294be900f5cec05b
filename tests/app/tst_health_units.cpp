// The pieces behind the line's health, one by one under an injected clock: the line
// state across a lost and returning port, the sentence rate across Clear, the speed
// search's count, the raw pane's character bound and a recording after a failed write.
#include <QPlainTextEdit>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <memory>

#include "app/health_status.h"
#include "app/line_health.h"
#include "app/log_recorder.h"
#include "app/raw_pane_bound.h"
#include "app/speed_hunter.h"

namespace {

// Health on a clock the test moves, with a port open.
struct ClockedHealth {
    qint64 now = 50000;
    LineHealth health;
    ClockedHealth() {
        health.setClock([this] { return now; });
        health.setPortOpen(true);
    }
    // One parse cycle that took `bytes` and accepted `sentences` (`withoutChecksum` of
    // them had none).
    void cycle(quint64 bytes, quint64 sentences, quint64 withoutChecksum = 0) {
        health.beginCycle();
        health.counters()->bytes += bytes;
        health.counters()->accepted += sentences;
        health.counters()->noChecksum += withoutChecksum;
        health.endCycle();
    }
};

// A storage that refuses one write and would take the ones after it.
class HiccupStorage : public QIODevice {
public:
    explicit HiccupStorage(int failingWrite) : failingWrite_(failingWrite) {}
    QByteArray held;
    int writes = 0;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        if (++writes == failingWrite_) {
            setErrorString(QStringLiteral("Input/output error"));
            return -1;
        }
        held.append(data, size);
        return size;
    }

private:
    int failingWrite_;
};

}  // namespace

class HealthUnitsTest : public QObject {
    Q_OBJECT

private slots:
    // Lost, then back: bytes make the line Receiving again, and silence after them is
    // Silent, not the old loss.
    void lineStateRecoversAfterThePortIsBack() {
        ClockedHealth h;
        h.cycle(100, 2);
        QCOMPARE(h.health.state(h.now), LineHealth::State::Receiving);
        h.health.setPortLost(QStringLiteral("device removed"));
        h.now += 500;
        QCOMPARE(h.health.stateText(h.now), QStringLiteral("Port lost: device removed"));
        h.now += 5000;
        h.health.setPortOpen(true);
        h.now += 100;
        h.cycle(80, 1);
        QCOMPARE(h.health.state(h.now), LineHealth::State::Receiving);
        h.now += LineHealth::kSilentMs;
        QCOMPARE(h.health.stateText(h.now), QStringLiteral("Silent for 3 s"));
    }

    // Clear starts the rate afresh: right after it the rate is 0.0, not a leftover
    // of the counts before.
    void clearEmptiesTheRateSamples() {
        ClockedHealth h;
        HealthStatus status(&h.health);
        for (int second = 0; second < 4; ++second) {
            h.now += 1000;
            h.cycle(400, 10);
            status.refresh();
        }
        QCOMPARE(status.rateText(), QStringLiteral("10.0 sentences/s"));
        h.now += 1000;
        h.cycle(400, 10);
        h.health.reset();
        QCOMPARE(status.rateText(), QStringLiteral("0.0 sentences/s"));
        h.now += 1000;
        h.cycle(400, 5);
        status.refresh();
        QCOMPARE(status.rateText(), QStringLiteral("5.0 sentences/s"));
    }

    // The speed search settles only on sentences with a checksum, and counts from
    // Clear when Clear comes during the search.
    void speedSearchCountsCheckedSentencesSinceClear() {
        ClockedHealth h;
        QSerialPort port;  // never opened: the search only sets its speed
        SpeedHunter hunter(&port, &h.health);
        hunter.setDwellMs(60000);
        QSignalSpy settled(&hunter, &SpeedHunter::settled);
        h.cycle(500, 7);  // before the search: not counted
        hunter.start();
        h.cycle(500, 5, 5);
        QTest::qWait(3 * SpeedHunter::kPollMs);
        QVERIFY2(settled.isEmpty(), "sentences without a checksum prove nothing");
        h.health.reset();
        QTest::qWait(3 * SpeedHunter::kPollMs);
        QVERIFY2(settled.isEmpty(), "Clear is no sentence");
        h.cycle(100, 1);
        QTest::qWait(3 * SpeedHunter::kPollMs);
        QVERIFY(settled.isEmpty());
        h.cycle(100, 1);
        QTRY_COMPARE(settled.size(), 1);
        QCOMPARE(settled.first().first().toInt(), hunter.speed());
    }

    // The pane keeps the longest run of whole newest lines that fits both bounds; a
    // newest line longer than the character bound stays alone.
    void paneBoundKeepsWholeNewestLines() {
        const QStringList lines = {"$GPGGA,1", "$GPRMC,22", "", "!AIVDM,333", "x", "$HEHDT,4444"};
        const QString text = lines.join(QLatin1Char('\n'));
        for (int maxLines = 1; maxLines <= lines.size() + 1; ++maxLines) {
            for (int maxChars = 1; maxChars <= text.size() + 2; ++maxChars) {
                QPlainTextEdit pane;
                pane.setPlainText(text);
                dropOldestPaneText(pane, maxLines, maxChars);
                // The longest suffix of at most maxLines whole lines whose characters
                // (with the document's closing separator) fit; at least the newest line.
                qsizetype first = lines.size() - 1;
                while (first > 0 && lines.size() - first < maxLines &&
                       lines.mid(first - 1).join(QLatin1Char('\n')).size() + 1 <= maxChars) {
                    --first;
                }
                const QString expected = lines.mid(first).join(QLatin1Char('\n'));
                QCOMPARE(pane.toPlainText(), expected);
                QVERIFY(pane.document()->blockCount() <= maxLines);
                QVERIFY(pane.document()->characterCount() <= maxChars || first == lines.size() - 1);
            }
        }
    }

    // After a failed write nothing more is stored, even when the storage would take
    // it again: a recording never has a hole in the middle.
    void recordingRefusesWritesAfterAFailure() {
        LogRecorder recorder;
        HiccupStorage* storage = nullptr;
        recorder.setStorageFactory([&](QString&) {
            auto device = std::make_unique<HiccupStorage>(2);
            device->open(QIODevice::ReadWrite | QIODevice::Unbuffered);
            storage = device.get();
            return device;
        });
        QString error;
        QVERIFY(recorder.start(error));
        QVERIFY(recorder.append("$GPZDA,1*00\n"));
        QVERIFY(!recorder.append("$GPZDA,2*00\n"));
        QCOMPARE(recorder.failure(), QStringLiteral("Input/output error"));
        QVERIFY(!recorder.append("$GPZDA,3*00\n"));
        QCOMPARE(storage->writes, 2);
        QCOMPARE(storage->held, QByteArray("$GPZDA,1*00\n"));
        QCOMPARE(recorder.size(), 12);
    }
};

QTEST_MAIN(HealthUnitsTest)
#include "tst_health_units.moc"
