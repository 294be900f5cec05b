// The per-key tally: what a key is, rate and staleness under an injected clock, and
// the bound on distinct keys.
#include <QTest>

#include "present/sentence_tally.h"

using present::KeyStats;
using present::SentenceTally;

class SentenceTallyTest : public QObject {
    Q_OBJECT

private slots:
    void keys_data() {
        QTest::addColumn<QByteArray>("sentence");
        QTest::addColumn<QByteArray>("key");
        QTest::newRow("standard") << QByteArray("$GPGGA,1*4B\r\n") << QByteArray("$GPGGA");
        QTest::newRow("no fields") << QByteArray("$GPZDA*48\r\n") << QByteArray("$GPZDA");
        QTest::newRow("no checksum") << QByteArray("$PGRME\r\n") << QByteArray("$PGRME");
        QTest::newRow("long address") << QByteArray("$PSRF103,00") << QByteArray("$PSRF103");
        QTest::newRow("bounded") << QByteArray("$ABCDEFGHIJKLMNOP,1") << QByteArray("$ABCDEFGHIJK");
    }
    void keys() {
        QFETCH(QByteArray, sentence);
        QFETCH(QByteArray, key);
        QCOMPARE(SentenceTally::keyOf(sentence).toByteArray(), key);
    }

    // One sentence a second for 20 s, then silence: the rate holds at 1/s, the key
    // turns stale only past five seconds (three intervals would be three), and a key
    // every 4 s turns stale only past 12 s.
    void rateAndStaleness() {
        SentenceTally tally;
        for (qint64 t = 0; t < 20000; t += 1000) {
            tally.record("$GPGGA,1*4B\r\n", true, t);
        }
        for (qint64 t = 0; t < 40000; t += 4000) {
            tally.record("$GPZDA*48\r\n", true, t);
        }
        tally.record("$GPGGA,1*4C\r\n", false, 19500);
        const KeyStats& gga = tally.keys()[0];
        const KeyStats& zda = tally.keys()[1];
        QCOMPARE(gga.count, 20);
        QCOMPARE(gga.errors, 1);
        QCOMPARE(gga.lastSentence, QByteArray("$GPGGA,1*4B"));
        QCOMPARE(SentenceTally::rate(gga, 19999), 1.0);
        QCOMPARE(SentenceTally::rate(gga, 40000), 0.0);
        const struct {
            const KeyStats& stats;
            qint64 now;
            bool stale;
        } cases[] = {
            {gga, 24000, false}, {gga, 24001, true}, {zda, 48000, false}, {zda, 48001, true}};
        for (const auto& c : cases) {
            QCOMPARE(SentenceTally::isStale(c.stats, c.now), c.stale);
        }
    }

    // Past the bound, new keys share "other"; keys already known keep counting.
    void boundedKeys() {
        SentenceTally tally;
        for (int i = 0; i < SentenceTally::kMaxKeys + 50; ++i) {
            tally.record("$P" + QByteArray::number(i) + ",1\r\n", true, i);
        }
        tally.record("$P0,1\r\n", true, 5000);
        QCOMPARE(int(tally.keys().size()), SentenceTally::kMaxKeys + 1);
        QCOMPARE(tally.keys().back().key, QByteArray("other"));
        QCOMPARE(tally.keys().back().count, 50);
        QCOMPARE(tally.keys().front().count, 2);
        tally.clear();
        QVERIFY(tally.keys().empty());
    }

    // Keys of the caller's making (NMEA 2000 PGNs) are not cut to the sentence key
    // length, keep binary contents whole (zero bytes included) and count beside the
    // sentences.
    void keysOfOurOwn() {
        SentenceTally tally;
        const QByteArray key("129025 Position, Rapid Update \xC2\xB7 src 3");
        const QByteArray first("\x01\x00\xFF\x7F", 4);
        const QByteArray second("\x02\x00", 2);
        tally.recordAs(key, first, 0);
        tally.record("$GPGGA,1*4B\r\n", true, 50);
        tally.recordAs(key, second, 100);
        tally.recordAs(key, {}, 200);
        QCOMPARE(int(tally.keys().size()), 2);
        const KeyStats& pgn = tally.keys()[0];
        QCOMPARE(pgn.key, key);
        QCOMPARE(pgn.count, 3);
        QCOMPARE(pgn.errors, 0);
        QCOMPARE(pgn.intervalMs, 100.0);
        QVERIFY(pgn.lastSentence.isEmpty());
        tally.recordAs(key, second, 300);
        QCOMPARE(tally.keys()[0].lastSentence, second);
        QCOMPARE(tally.keys()[1].lastSentence, QByteArray("$GPGGA,1*4B"));
    }
};

QTEST_GUILESS_MAIN(SentenceTallyTest)
#include "tst_sentence_tally.moc"
