// Numbers exactly as C's %g writes them, degrees and tenths; the parse cycle's receive
// buffer, and that cutting a stream into reads anywhere changes no result. (What each
// read publishes, and in which order, is shown through the window in tst_window_parse.)
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

#include <unistd.h>

#include "ais/vdm.h"
#include "nmea/sentence_fields.h"
#include "nmea/sentence_parsers.h"
#include "present/number_chars.h"
#include "present/parse_cycle.h"
#include "present/value_format.h"
#include "present/xml_snapshot.h"

namespace {

const QByteArray kGga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";

// What one cycle over the buffer, after appending read, published: "list:a|b",
// "text:...", "snapshot" and "sep".
QStringList cycle(QByteArray& buffer, const QByteArray& read, QByteArray* snapshot = nullptr) {
    struct Recorder : present::CycleSink {
        QStringList events;
        QByteArray* document = nullptr;
        void resultList(int, const QStringList& list) override {
            events.append("list:" + list.join(u'|'));
        }
        void resultText(int, const QString& text) override { events.append("text:" + text); }
        void snapshot(int code, void* record) override {
            events.append("snapshot");
            if (document) {
                *document = present::snapshotDocument(code, record, "t");
            }
        }
        void separator() override { events.append("sep"); }
    } recorder;
    recorder.document = snapshot;
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
        // Values as the wire writes them: a few decimals, often exactly on a half of
        // the sixth significant digit (4807.0385, 12.34565), where only the binary
        // value decides the rounding.
        std::uniform_int_distribution<long long> wireDigits(0, 99999999);
        std::uniform_int_distribution<int> wireDecimals(0, 8);
        for (int i = 0; i < 200000; ++i) {
            values.append(static_cast<double>(wireDigits(random)) /
                          std::pow(10.0, wireDecimals(random)));
        }
        for (double boundary = 1e-5; boundary < 1e7; boundary *= 10) {
            values.append({std::nextafter(boundary, 0.0), boundary, std::nextafter(boundary, 1e9),
                           boundary * 0.9999995, boundary * 9.999995});
        }
        for (double v : values) {
            for (double signed_ : {v, -v}) {
                char expected[64];
                std::snprintf(expected, sizeof expected, "%g", signed_);
                QCOMPARE(present::formatNumber(signed_), QString::fromLatin1(expected));
            }
        }
    }

    // The named output's numbers: whole numbers (plain up to where exponent notation
    // gets shorter), AIS values scaled into degrees and knots, and the rest.
    void shortestNumbersMatchToChars() {
        std::mt19937_64 random(20261207);
        QList<double> values = {0.0,
                                -0.0,
                                1e15,
                                1e16,
                                9007199254740993.0,
                                std::numeric_limits<double>::infinity(),
                                std::numeric_limits<double>::quiet_NaN()};
        for (long long n = 0; n <= 200000; ++n) {
            values.append(static_cast<double>(n));
        }
        for (double power = 1; power < 1e17; power *= 10) {
            for (double digit : {1.0, 2.0, 7.0, 12.0, 123.0}) {
                values.append(digit * power);
            }
        }
        std::uniform_int_distribution<long long> raw(-108600000, 108600000);
        for (int i = 0; i < 100000; ++i) {
            const auto n = static_cast<double>(raw(random));
            values.append({n, n / 600000.0, n / 10.0});
        }
        for (double v : values) {
            for (double signed_ : {v, -v}) {
                char expected[64];
                const char* end = std::to_chars(expected, expected + sizeof expected, signed_).ptr;
                char got[present::kNumberCharsSize];
                QCOMPARE(QByteArray(got, present::writeShortest(got, signed_) - got),
                         QByteArray(expected, end - expected));
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
        // Every value near the equator and the prime meridian, and a sweep over the
        // whole range with a step that meets every remainder modulo 6.
        auto check = [](qlonglong value) {
            char expected[64];
            std::snprintf(expected, sizeof expected, "%.5f",
                          static_cast<double>(value) / 10000.0 / 60.0);
            QCOMPARE(present::formatDegrees(value), QString::fromLatin1(expected));
        };
        for (qlonglong value = -700000; value <= 700000; ++value) {
            check(value);
        }
        for (qlonglong value = -108600000000; value <= 108600000000; value += 1000003) {
            check(value);
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
        cycle(buffer, QByteArray(1 << 20, '$'));  // a flood of start characters
        QVERIFY(buffer.size() <= 255);
    }

    // A character field carrying any byte: the document stays well-formed, the
    // characters XML 1.0 cannot carry are dropped, every other one is kept (escaped
    // where markup needs it), a plain space among them.
    void snapshotKeepsExactlyTheXmlCharacters() {
        int seen = 0;
        for (int byte = 1; byte <= 0xFF; ++byte) {
            if (QByteArray(",*$!\r\n").contains(char(byte))) {
                continue;
            }
            QByteArray body = "GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4," +
                              QByteArray(1, char(byte)) + ",46.9,M,,";
            char sum = 0;
            for (char c : body) {
                sum ^= c;
            }
            QByteArray buffer, document;
            cycle(buffer,
                  "$" + body + "*" +
                      QByteArray::number(uchar(sum), 16).toUpper().rightJustified(2, '0') + "\r\n",
                  &document);
            if (document.isEmpty()) {
                continue;  // the framer took no sentence with this byte
            }
            ++seen;
            QXmlStreamReader reader(document);
            QString units;
            while (!reader.atEnd()) {
                if (reader.readNext() == QXmlStreamReader::StartElement &&
                    reader.name() == QLatin1String("elv_units")) {
                    units = reader.readElementText();
                }
            }
            QVERIFY2(!reader.hasError(), qPrintable(QString::number(byte, 16)));
            const bool legal = byte == 0x09 || byte >= 0x20;
            QCOMPARE(units, legal ? QString(QChar(byte)) : QString());
        }
        QVERIFY(seen > 90);  // at least every printable ASCII character but the framing ones
    }

    // Snapshots replace the file by a rename, never by writing into it: a reader (here a
    // second name of the old file) keeps the old document whole. A failure names the
    // file and the system's reason and leaves nothing behind.
    void snapshotReplacedByRenameAndFailuresExplained() {
        QByteArray buffer;
        cycle(buffer, kGga);
        QTemporaryDir dir;
        QVERIFY(QFile(dir.filePath("gga.xml")).open(QIODevice::WriteOnly));
        QVERIFY(::link(QFile::encodeName(dir.filePath("gga.xml")).constData(),
                       QFile::encodeName(dir.filePath("reader.xml")).constData()) == 0);
        const auto* record = nmeaz::layoutFor(nmeaz::kCodeGga)->record;
        QString error;
        QVERIFY(present::saveSnapshot(nmeaz::kCodeGga, record, dir.path(), &error));
        QFile written(dir.filePath("gga.xml")), reader(dir.filePath("reader.xml"));
        QVERIFY(written.open(QIODevice::ReadOnly) && reader.open(QIODevice::ReadOnly));
        QVERIFY(written.readAll().contains("<utc>123519</utc>"));
        QCOMPARE(reader.readAll(), QByteArray());

        QVERIFY(QFile::remove(dir.filePath("gga.xml")) && QDir(dir.path()).mkdir("gga.xml"));
        const struct {
            QString directory, reason;
        } failures[] = {
            {dir.path(), "Is a directory"},
            {dir.filePath("missing"), "No such file or directory"},
        };
        for (const auto& f : failures) {
            QVERIFY(!present::saveSnapshot(nmeaz::kCodeGga, record, f.directory, &error));
            QCOMPARE(error,
                     "Cannot write " + QDir(f.directory).filePath("gga.xml") + ": " + f.reason);
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
                 QStringList({"gga.xml", "reader.xml"}));
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
