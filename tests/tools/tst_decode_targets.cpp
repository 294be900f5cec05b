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
                tagged += "\\c:" + QByteArray::number(time) + "*00\\" + line + "\n";
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
