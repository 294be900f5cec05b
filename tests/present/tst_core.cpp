// Numbers exactly as C's %g writes them, degrees and tenths; the parse cycle's receive
// buffer, and that cutting a stream into reads anywhere changes no result. (What each
// read publishes, and in which order, is shown through the window in tst_window_parse.)
#include <QTest>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

#include "ais/vdm.h"
#include "present/parse_cycle.h"
#include "present/value_format.h"

namespace {

const QByteArray kGga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";

// What one cycle over the buffer, after appending read, published: "list:a|b",
// "text:...", "snapshot" and "sep".
QStringList cycle(QByteArray& buffer, const QByteArray& read) {
    struct Recorder : present::CycleSink {
        QStringList events;
        void resultList(int, const QStringList& list) override {
            events.append("list:" + list.join(u'|'));
        }
        void resultText(int, const QString& text) override { events.append("text:" + text); }
        void snapshot(int, void*) override { events.append("snapshot"); }
        void separator() override { events.append("sep"); }
    } recorder;
    buffer.append(read);
    present::runParseCycle(buffer, recorder);
    return recorder.events;
}

}  // namespace

class CoreTest : public QObject {
    Q_OBJECT

private slots:
    // Doubles spread over every exponent the notation switches at, both signs, and the
    // values on rounding boundaries of six significant digits (235959.7 gives 235960).
    void numbersMatchPrintfG() {
        std::mt19937_64 random(20261206);
        std::uniform_real_distribution<double> mantissa(1.0, 10.0);
        std::uniform_int_distribution<int> exponent(-9, 12);
        QList<double> values = {
            999999.5,  999999.4,  99999.95, 0.0001,    0.00009999995,
            123519.45, 123519.55, 235959.7, 4807.0385, 0.5,
            1e-5,      1e6,       1e16,     0.0,       std::numeric_limits<double>::infinity()};
        for (int i = 0; i < 20000; ++i) {
            values.append(mantissa(random) * std::pow(10.0, exponent(random)));
        }
        for (double v : values) {
            for (double signed_ : {v, -v}) {
                char expected[64];
                std::snprintf(expected, sizeof expected, "%g", signed_);
                QCOMPARE(present::formatNumber(signed_), QString::fromLatin1(expected));
            }
        }
    }

    // Divided by 10,000 and then by 60: one division by 600,000 would give 0.00001 for
    // 3 and 0.00016 for 99. Tenths are cut, not rounded.
    void degreesAndTenths() {
        const std::pair<qlonglong, const char*> degrees[] = {
            {3, "0.00000"}, {99, "0.00017"}, {-1, "-0.00000"}, {108600000, "181.00000"}};
        for (const auto& [value, expected] : degrees) {
            QCOMPARE(present::formatDegrees(value), QString(expected));
        }
        QCOMPARE(present::formatTenths(3599), QString("359"));
    }

    // Only the sentence the framer holds stays, however much came before. Noise, an
    // unsupported sentence and a bad checksum give one separator and leave nothing, so
    // a wrong line speed cannot make the buffer grow.
    void onlyTheSentenceInHandIsKept() {
        QByteArray buffer;
        QVERIFY(cycle(buffer, QByteArray()).isEmpty());
        QByteArray bad = kGga;
        bad[10] = '9';
        QCOMPARE(
            cycle(buffer, "$PGRME,15.0,M,45.0,M,25.0,M*1C\r\n" + bad + QByteArray(4096, '\xA5')),
            QStringList{"sep"});
        QVERIFY(buffer.isEmpty());
        const QByteArray partial = "$GPGGA,123519,4807.0";
        cycle(buffer, QByteArray(1000, 'x') + "$GP,bad" + partial);
        QCOMPARE(buffer, partial);
        cycle(buffer, QByteArray());
        QCOMPARE(buffer, partial);
        cycle(buffer, QByteArray(300, 'y'));  // past 255 bytes the framer gives up
        QVERIFY(buffer.size() <= 255);
        QCOMPARE(cycle(buffer, kGga).size(), 3);
        QVERIFY(buffer.isEmpty());
    }

    // Cutting the stream into reads anywhere publishes the same results as one read,
    // apart from the separators that mark where a read ended in mid-sentence.
    void chunkingDoesNotChangeResults() {
        QByteArray stream;
        for (int i = 0; i < 20; ++i) {
            stream += kGga + "noise\r\n$GPAPB,A,A,0.10,R,N,V,V,011,M,DEST,011,M,011,M*3C\r\n" +
                      "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W,A*07\r\n"
                      "!AIVDM,2,1,1,A,55?MbV02;H;s<HtKR20EHE:0@T4@Dn2222222216L961O5Gf0NSQEp6"
                      "ClRp8,0*1C\r\n$GPHDT,274.07,T*03\r\n!AIVDM,2,2,1,A,88888888880,2*25\r\n" +
                      QByteArray(300, 'z') + "$IIMWV,045.0,R,12.6,N,A*09\r\n";
        }
        auto withoutSeparators = [](QStringList events) {
            events.removeAll(QStringLiteral("sep"));
            return events;
        };
        QByteArray whole;
        const QStringList expected = withoutSeparators(cycle(whole, stream));
        QCOMPARE(expected.size(), 20 * 9);

        std::mt19937 random(7);
        for (int round = 0; round < 20; ++round) {
            ais::aisResetFragmentTable();
            QByteArray buffer;
            QStringList events;
            for (qsizetype at = 0; at < stream.size();) {
                const qsizetype n = std::uniform_int_distribution<int>(1, 90)(random);
                events += cycle(buffer, stream.mid(at, n));
                at += n;
            }
            QCOMPARE(withoutSeparators(events), expected);
            QVERIFY(buffer.isEmpty());
        }
    }
};

QTEST_APPLESS_MAIN(CoreTest)
#include "tst_core.moc"
