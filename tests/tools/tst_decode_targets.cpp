// tidewright-decode --targets on a real capture (AIS among GNSS sentences), checked
// against counts this test works out on its own from the six-bit payloads; periodic
// listings by TAG-block time; own ship given and taken from the log; bad option values.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kCapture = QStringLiteral(TIDEWRIGHT_TEST_DATA_DIR "/nmea/gpsd-ais-nmea.log");

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run decode(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(TIDEWRIGHT_DECODE_PATH), arguments);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

QList<QJsonObject> objects(const QByteArray& out) {
    QList<QJsonObject> list;
    for (const QByteArray& line : out.split('\n')) {
        if (!line.isEmpty()) {
            list.append(QJsonDocument::fromJson(line).object());
        }
    }
    return list;
}

// A small independent reading of AIS payloads: the bit offsets of the message type,
// MMSI, position and name, nothing else.
class Bits {
public:
    explicit Bits(const QByteArray& payload) {
        for (char c : payload) {
            int v = c - 48;
            if (v > 40) {
                v -= 8;
            }
            for (int b = 5; b >= 0; --b) {
                bits_.append((v >> b) & 1);
            }
        }
    }
    qint64 u(int first, int width) const {
        qint64 value = 0;
        for (int i = first; i < first + width; ++i) {
            value = value * 2 + (i < bits_.size() ? bits_[i] : 0);
        }
        return value;
    }
    qint64 s(int first, int width) const {
        const qint64 value = u(first, width);
        return value >= (qint64{1} << (width - 1)) ? value - (qint64{1} << width) : value;
    }
    QString text(int first, int chars) const {
        QString out;
        for (int i = 0; i < chars; ++i) {
            const int v = static_cast<int>(u(first + 6 * i, 6));
            out += QChar(v < 32 ? v + 64 : v);
        }
        const qsizetype at = out.indexOf(QLatin1Char('@'));
        return (at < 0 ? out : out.left(at)).trimmed();
    }

private:
    QList<int> bits_;
};

struct Expected {
    QSet<qint64> stations;        // MMSIs of every message that describes a station
    QSet<qint64> positioned;      // ... that sent a position on the globe
    QMap<qint64, QString> names;  // latest name from message 5
};

Expected countIndependently(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    Expected expected;
    QMap<QByteArray, QByteArray> partial;  // sequence id + channel -> payload so far
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QByteArray line = raw.trimmed();
        if (!line.startsWith('!') || line.mid(3, 3) != "VDM") {
            continue;
        }
        const QList<QByteArray> f = line.split(',');
        if (f.size() < 7) {
            continue;
        }
        const int total = f[1].toInt();
        const int number = f[2].toInt();
        const QByteArray key = f[3] + f[4];
        QByteArray payload = f[5];
        if (total > 1) {
            partial[key] = (number == 1 ? QByteArray() : partial.value(key)) + payload;
            if (number < total) {
                continue;
            }
            payload = partial.take(key);
        }
        const Bits bits(payload);
        const int type = static_cast<int>(bits.u(0, 6));
        const qint64 mmsi = bits.u(8, 30);
        int lonBit = -1;
        switch (type) {
            case 1:
            case 2:
            case 3:
            case 9:
                lonBit = 61;
                break;
            case 4:
                lonBit = 79;
                break;
            case 18:
            case 19:
                lonBit = 57;
                break;
            case 21:
                lonBit = 164;
                break;
            case 5:
            case 24:
                break;
            default:
                continue;
        }
        expected.stations.insert(mmsi);
        if (type == 5) {
            expected.names[mmsi] = bits.text(112, 20);
        }
        if (lonBit >= 0) {
            const double lon = bits.s(lonBit, 28) / 600000.0;
            const double lat = bits.s(lonBit + 28, 27) / 600000.0;
            if (lat >= -90 && lat <= 90 && lon >= -180 && lon <= 180) {
                expected.positioned.insert(mmsi);
            }
        }
    }
    return expected;
}

QByteArray withChecksum(const QByteArray& body) {
    quint8 sum = 0;
    for (char c : body) {
        sum ^= static_cast<quint8>(c);
    }
    return body + '*' + QByteArray::number(sum, 16).rightJustified(2, '0').toUpper();
}

// "\c:<time>*hh\": a receive-time TAG block with its checksum.
QByteArray timeTag(const QByteArray& time) {
    return '\\' + withChecksum("c:" + time) + '\\';
}

// A class A position report (message 1) as one !AIVDM sentence.
QByteArray positionReport(qint64 mmsi, double lat, double lon, int sogTenths, int cogTenths) {
    QList<int> bits;
    const auto put = [&bits](qint64 value, int width) {
        for (int b = width - 1; b >= 0; --b) {
            bits.append(static_cast<int>((value >> b) & 1));
        }
    };
    put(1, 6), put(0, 2), put(mmsi, 30), put(0, 4), put(128, 8), put(sogTenths, 10), put(0, 1);
    put(qRound64(lon * 600000) & ((qint64{1} << 28) - 1), 28);
    put(qRound64(lat * 600000) & ((qint64{1} << 27) - 1), 27);
    put(cogTenths, 12), put(511, 9), put(0, 6), put(0, 2), put(0, 3), put(0, 1), put(0, 19);
    QByteArray payload;
    for (qsizetype i = 0; i < bits.size(); i += 6) {
        int v = 0;
        for (qsizetype j = i; j < i + 6; ++j) {
            v = v * 2 + bits[j];
        }
        payload += static_cast<char>(v < 40 ? v + 48 : v + 56);
    }
    return '!' + withChecksum("AIVDM,1,1,,A," + payload + ",0") + "\r\n";
}

}  // namespace

class TestDecodeTargets : public QObject {
    Q_OBJECT

private slots:
    void realCaptureMatchesIndependentCounts() {
        const Expected expected = countIndependently(kCapture);
        QVERIFY(expected.positioned.size() > 10);
        QVERIFY(expected.names.size() > 3);

        const Run run = decode({QStringLiteral("--targets"), kCapture});
        QCOMPARE(run.exitCode, 0);
        const QList<QJsonObject> targets = objects(run.out);
        QCOMPARE(targets.size(), expected.stations.size());
        qint64 previous = -1;
        int positioned = 0;
        for (const QJsonObject& t : targets) {
            const qint64 mmsi = t[QStringLiteral("mmsi")].toInteger();
            QVERIFY2(mmsi > previous, "sorted by MMSI, each once");
            previous = mmsi;
            if (!t[QStringLiteral("lat")].isNull()) {
                ++positioned;
                QVERIFY(expected.positioned.contains(mmsi));
                // Own ship comes from the log's RMC sentences.
                QVERIFY(!t[QStringLiteral("range")].isNull());
            }
            if (expected.names.contains(mmsi)) {
                QCOMPARE(t[QStringLiteral("shipname")].toString(), expected.names[mmsi]);
            }
        }
        QCOMPARE(positioned, expected.positioned.size());
    }

    void ownShipGivenOnTheCommandLine() {
        const QList<QJsonObject> fromLog =
            objects(decode({QStringLiteral("--targets"), kCapture}).out);
        QJsonObject moving;
        for (const QJsonObject& t : fromLog) {
            if (!t[QStringLiteral("lat")].isNull() && !t[QStringLiteral("cog")].isNull()) {
                moving = t;
                break;
            }
        }
        QVERIFY(!moving.isEmpty());
        // Own ship right on the target, stationary: range 0 and, whatever its course,
        // the closest point is now.
        const QString own = QStringLiteral("%1,%2")
                                .arg(moving[QStringLiteral("lat")].toDouble(), 0, 'f', 6)
                                .arg(moving[QStringLiteral("lon")].toDouble(), 0, 'f', 6);
        const Run run = decode({QStringLiteral("--own"), own, kCapture});
        QCOMPARE(run.exitCode, 0);
        for (const QJsonObject& t : objects(run.out)) {
            if (t[QStringLiteral("mmsi")] == moving[QStringLiteral("mmsi")]) {
                QCOMPARE(t[QStringLiteral("range")].toDouble(), 0.0);
                QCOMPARE(t[QStringLiteral("cpa")].toDouble(), 0.0);
                QCOMPARE(t[QStringLiteral("tcpa")].toDouble(), 0.0);
                return;
            }
        }
        QFAIL("target missing with --own");
    }

    void periodicListingsFollowTheTagTime() {
        // The capture's AIS lines, each given a TAG block ten seconds after the last.
        QFile file(kCapture);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray tagged;
        qint64 time = 1418169600;
        int lines = 0;
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (line.startsWith("!AIVDM")) {
                tagged += timeTag(QByteArray::number(time)) + line + "\n";
                time += 10;
                ++lines;
            }
        }
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tagged.nmea"));
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(tagged);
        out.close();

        const Run run = decode({QStringLiteral("--targets-every"), QStringLiteral("300"), path});
        QCOMPARE(run.exitCode, 0);
        QMap<qint64, QSet<qint64>> listings;
        for (const QJsonObject& t : objects(run.out)) {
            listings[t[QStringLiteral("time")].toInteger()].insert(
                t[QStringLiteral("mmsi")].toInteger());
        }
        // One listing per 300 s of log time passed, and the final one at the end.
        QCOMPARE(listings.size(), (lines - 1) * 10 / 300 + 1);
        QSet<qint64> seen;
        for (const QSet<qint64>& mmsis : listings) {
            QVERIFY2(mmsis.contains(seen), "a listing keeps every earlier target");
            seen = mmsis;
        }
        QCOMPARE(seen.size(), countIndependently(kCapture).stations.size());
    }

    // The listing times of a log whose lines carry the given TAG times, one target each.
    static QList<qint64> listingTimes(const QList<QByteArray>& times, int everySeconds) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("timed.nmea"));
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly)) {
            return {};
        }
        for (const QByteArray& time : times) {
            out.write(timeTag(time) + positionReport(211000001, 54.0, 10.0, 0, 0));
        }
        out.close();
        const Run run =
            decode({QStringLiteral("--targets-every"), QString::number(everySeconds), path});
        QList<qint64> listed;
        for (const QJsonObject& t : objects(run.out)) {
            listed.append(t[QStringLiteral("time")].toInteger());
        }
        return listed;
    }

    // Receive times with a fraction (as replay reads them) and in milliseconds count;
    // a gap of several intervals gives one listing, and the next one follows on the
    // same grid.
    void periodicListingsReadEveryTagTimeForm_data() {
        QTest::addColumn<QList<QByteArray>>("times");
        QTest::addColumn<QList<qint64>>("listed");
        QTest::newRow("fractions")
            << QList<QByteArray>{"1418169600.25", "1418169605.5", "1418169610.75", "1418169612"}
            << QList<qint64>{1418169605, 1418169612};
        QTest::newRow("milliseconds")
            << QList<QByteArray>{"1418169600000", "1418169611000", "1418169612000"}
            << QList<qint64>{1418169600, 1418169612};
        QTest::newRow("gap of several intervals")
            << QList<QByteArray>{"1418169600", "1418169645", "1418169648", "1418169661"}
            << QList<qint64>{1418169600, 1418169648, 1418169661};
    }
    void periodicListingsReadEveryTagTimeForm() {
        QFETCH(QList<QByteArray>, times);
        QFETCH(QList<qint64>, listed);
        QCOMPARE(listingTimes(times, 10), listed);
    }

    // A target 3 NM north of own ship heading south at 10 kn: own ship's motion from
    // --own decides when they meet.
    void ownShipMotionFromTheCommandLine_data() {
        QTest::addColumn<QString>("own");
        QTest::addColumn<double>("cpa");
        QTest::addColumn<double>("tcpa");
        QTest::newRow("stationary by default") << "59,10" << 0.0 << 18.0;
        QTest::newRow("stationary given") << "59,10,0,0" << 0.0 << 18.0;
        QTest::newRow("heading north at 10 kn") << "59,10,10,0" << 0.0 << 9.0;
        QTest::newRow("heading south at 5 kn") << "59,10,5,180" << 0.0 << 36.0;
    }
    void ownShipMotionFromTheCommandLine() {
        QFETCH(QString, own);
        QFETCH(double, cpa);
        QFETCH(double, tcpa);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("meeting.nmea"));
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(positionReport(211000002, 59.05, 10.0, 100, 1800));
        out.close();
        const Run run = decode({QStringLiteral("--own"), own, path});
        QCOMPARE(run.exitCode, 0);
        const QList<QJsonObject> targets = objects(run.out);
        QCOMPARE(targets.size(), 1);
        QCOMPARE(qRound(targets[0][QStringLiteral("range")].toDouble() * 100), 300);
        QVERIFY(qAbs(targets[0][QStringLiteral("cpa")].toDouble() - cpa) < 0.01);
        QVERIFY(qAbs(targets[0][QStringLiteral("tcpa")].toDouble() - tcpa) < 0.15);
    }

    void badValuesAreRefused_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("latitude past the pole") << QStringList{"--own", "91,0"};
        QTest::newRow("three numbers") << QStringList{"--own", "1,2,3"};
        QTest::newRow("not numbers") << QStringList{"--own", "north,east"};
        QTest::newRow("course of 360") << QStringList{"--own", "1,2,3,360"};
        QTest::newRow("no value") << QStringList{"--own"};
        QTest::newRow("zero seconds") << QStringList{"--targets-every", "0"};
        QTest::newRow("seconds not a number") << QStringList{"--targets-every", "ten"};
    }
    void badValuesAreRefused() {
        QFETCH(QStringList, arguments);
        const Run run = decode(arguments << kCapture);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.out.isEmpty());
        QVERIFY(run.err.startsWith("tidewright-decode: "));
    }
};

QTEST_GUILESS_MAIN(TestDecodeTargets)
#include "tst_decode_targets.moc"
