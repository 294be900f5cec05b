// The parse cycle's receive buffer: what stays of it after a read, and that cutting a
// stream into reads anywhere changes no result. (What each read publishes, and in
// which order, is shown through the real window in tst_window_parse.)
#include <QTest>
#include <random>

#include "ais/vdm.h"
#include "cycle_recorder.h"

using namespace testing_present;

namespace {

const QByteArray kGga = sentence("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
const QByteArray kRmc =
    sentence("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W,A");
const QByteArray kApb = sentence("GPAPB,A,A,0.10,R,N,V,V,011,M,DEST,011,M,011,M");

QStringList kinds(const QStringList& events) {
    QStringList out;
    for (const QString& e : events) {
        out.append(e.section(u':', 0, 0));
    }
    return out;
}

}  // namespace

class ParseCycleTest : public QObject {
    Q_OBJECT

private slots:
    void init() { ais::aisResetFragmentTable(); }

    void emptyBufferPublishesNothing() {
        QByteArray buffer;
        QVERIFY(cycle(buffer, QByteArray()).events.isEmpty());
    }

    // Noise can never become part of a sentence: it gives one separator and is not
    // kept, so a wrong line speed cannot make the buffer grow.
    void noiseIsNotKept() {
        QByteArray buffer;
        const QByteArray noise(4096, '\xA5');
        for (int read = 0; read < 3; ++read) {
            const CycleRecorder got = cycle(buffer, noise);
            QCOMPARE(got.events, QStringList{"sep"});
            QVERIFY(buffer.isEmpty());
        }
        // An unsupported sentence and a bad checksum are consumed the same way.
        QByteArray bad = kGga;
        bad[10] = '9';
        QCOMPARE(cycle(buffer, sentence("PGRME,15.0,M,45.0,M,25.0,M") + bad).events,
                 QStringList{"sep"});
        QVERIFY(buffer.isEmpty());
    }

    // What stays is exactly the sentence the framer holds, however much came before.
    void onlyTheSentenceInHandIsKept() {
        QByteArray buffer;
        const QByteArray partial = "$GPGGA,123519,4807.0";
        cycle(buffer, QByteArray(1000, 'x') + "$GP,bad" + partial);
        QCOMPARE(buffer, partial);
        cycle(buffer, QByteArray());
        QCOMPARE(buffer, partial);
        // A sentence that grows past 255 bytes is abandoned by the framer.
        cycle(buffer, QByteArray(300, 'y'));
        QVERIFY(buffer.size() <= 255);
        const CycleRecorder got = cycle(buffer, kGga);
        QCOMPARE(kinds(got.events), (QStringList{"list", "text", "snapshot", "done"}));
        QVERIFY(buffer.isEmpty());
    }

    // Cutting the stream into reads anywhere publishes the same results as one read,
    // apart from the separators that mark where a read ended in mid-sentence.
    void chunkingDoesNotChangeResults() {
        QByteArray stream;
        for (int i = 0; i < 20; ++i) {
            stream += kGga + "noise\r\n" + kApb + kRmc;
            stream +=
                aivdm("2,1,1,A,55?MbV02;H;s<HtKR20EHE:0@T4@Dn2222222216L961O5Gf0NSQEp6ClRp8,0");
            stream += sentence("GPHDT,274.07,T");
            stream += aivdm("2,2,1,A,88888888880,2");
            stream += QByteArray(300, 'z') + sentence("IIMWV,045.0,R,12.6,N,A");
        }
        auto withoutSeparators = [](const QStringList& events) {
            QStringList out = events;
            out.removeAll(QStringLiteral("sep"));
            return out;
        };
        QByteArray whole;
        const QStringList expected = withoutSeparators(cycle(whole, stream).events);
        QVERIFY(expected.size() > 100);

        std::mt19937 random(7);
        for (int round = 0; round < 20; ++round) {
            ais::aisResetFragmentTable();
            QByteArray buffer;
            QStringList events;
            for (qsizetype at = 0; at < stream.size();) {
                const qsizetype n = std::uniform_int_distribution<int>(1, 90)(random);
                events += cycle(buffer, stream.mid(at, n)).events;
                at += n;
            }
            QCOMPARE(withoutSeparators(events), expected);
            QVERIFY(buffer.isEmpty());
        }
    }
};

QTEST_APPLESS_MAIN(ParseCycleTest)
#include "tst_parse_cycle.moc"
