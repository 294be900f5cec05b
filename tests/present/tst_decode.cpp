// tidewright-decode as users run it: golden files from real captures, the JSON
// contract, line ends, several files as one stream, and failures.
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kDecoder = QStringLiteral(TIDEWRIGHT_DECODE_PATH);
const QString kGolden = QStringLiteral(TIDEWRIGHT_TEST_DATA_DIR "/present/golden");

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run decode(const QStringList& arguments, const QByteArray& input = QByteArray()) {
    QProcess process;
    process.start(kDecoder, arguments);
    if (!process.waitForStarted()) {
        return {};
    }
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray ggaSentence() {
    return "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
}

}  // namespace

class DecodeTest : public QObject {
    Q_OBJECT

private slots:
    void goldenFiles_data() {
        QTest::addColumn<QString>("file");
        for (const char* name : {"sounder.log", "GPSmap-76S.log", "nmea-fuzzy-cases.log",
                                 "ais-nmea.log", "sample.aivdm"}) {
            QTest::newRow(name) << QString::fromLatin1(name);
        }
    }
    void goldenFiles() {
        QFETCH(QString, file);
        const Run run = decode({kGolden + "/" + file});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.err.isEmpty());
        const QByteArray expected = readFile(kGolden + "/" + file + ".jsonl");
        QVERIFY(!expected.isEmpty());
        // Line by line first, for a readable failure.
        const QList<QByteArray> got = run.out.split('\n');
        const QList<QByteArray> want = expected.split('\n');
        for (qsizetype i = 0; i < std::min(got.size(), want.size()); ++i) {
            QCOMPARE(got[i], want[i]);
        }
        QCOMPARE(run.out, expected);
    }

    void summaryCountsKeys() {
        const Run run = decode({"--summary", kGolden + "/ais-nmea.log"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, readFile(kGolden + "/ais-nmea.log.summary"));
    }

    // Every line is a JSON object; strings are the received bytes read as Latin-1.
    void linesAreJson() {
        const QByteArray input =
            "$GPHDT,274.07,\"\r\n"         // quote as a character field
            "$GPHDT,274.07,\\\r\n"         // backslash
            "$GPHDT,274.07,\xB0\r\n"       // Latin-1 degree sign
            "$IIMWV,045.0,,12.6,N,A\r\n";  // empty field: NUL
        const Run run = decode({"--raw"}, input);
        QCOMPARE(run.exitCode, 0);
        const QList<QByteArray> lines = run.out.trimmed().split('\n');
        QCOMPARE(lines.size(), 4);
        QStringList texts;
        for (const QByteArray& line : lines) {
            QJsonParseError error;
            const QJsonDocument document = QJsonDocument::fromJson(line, &error);
            QVERIFY2(error.error == QJsonParseError::NoError, line.constData());
            QCOMPARE(document.object().keys(), (QStringList{"code", "key", "text"}));
            texts.append(document.object().value("text").toString());
        }
        QCOMPARE(texts[0], QString("\nHDT\n  heading:274.07\""));
        QCOMPARE(texts[1], QString("\nHDT\n  heading:274.07\\"));
        QCOMPARE(texts[2], QString("\nHDT\n  heading:274.07") + QChar(0xB0));
        QVERIFY(lines[3].contains("wind_angle:45\\u0000  wind_speed"));
    }

    // Logs saved with LF line ends are read as CR LF unless --raw is given; a CR LF
    // file is read the same either way.
    void lineEnds() {
        QByteArray lf = ggaSentence();
        lf.replace("\r\n", "\n");
        const Run restored = decode({}, lf + lf);
        QCOMPARE(restored.out.count('\n'), 2);
        QCOMPARE(decode({"--raw"}, lf + lf).out, QByteArray());
        QCOMPARE(decode({}, ggaSentence()).out, decode({"--raw"}, ggaSentence()).out);
    }

    // Files are one byte stream: a sentence may begin in one and end in the next.
    void filesAreOneStream() {
        QTemporaryDir dir;
        const QByteArray gga = ggaSentence();
        QFile first(dir.filePath("a.log"));
        QVERIFY(first.open(QIODevice::WriteOnly));
        first.write(gga.left(25));
        first.close();
        QFile second(dir.filePath("b.log"));
        QVERIFY(second.open(QIODevice::WriteOnly));
        second.write(gga.mid(25) + gga);
        second.close();
        const Run run = decode({first.fileName(), second.fileName()});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, decode({}, gga + gga).out);
        QCOMPARE(run.out.count('\n'), 2);
    }

    void unreadableFileFailsClearly() {
        const Run run = decode({kGolden + "/sounder.log", "/nonexistent/capture.log"});
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.out.isEmpty());
        QVERIFY(run.err.contains("/nonexistent/capture.log"));
        QCOMPARE(decode({QDir::tempPath()}).exitCode, 2);  // a directory is not a log
        QCOMPARE(decode({"--bogus"}).exitCode, 2);
    }
};

QTEST_GUILESS_MAIN(DecodeTest)
#include "tst_decode.moc"
