// tidewright-decode as users run it: golden files (real captures, and every type's
// exact list and text), the JSON contract, line ends, several files as one stream,
// and failures.
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kGolden = QStringLiteral(TIDEWRIGHT_TEST_DATA_DIR "/present/golden/");

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run decode(const QStringList& arguments, const QByteArray& input = QByteArray()) {
    QProcess process;
    process.start(QStringLiteral(TIDEWRIGHT_DECODE_PATH), arguments);
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

// The golden files predate the sentence types that their table alone decodes (codes 4,
// 12 and 29 to 49); their lines are left out, every other line must stay byte for byte.
bool isLaterType(int code) {
    return code == 4 || code == 12 || (code >= 29 && code <= 49);
}

QList<QByteArray> withoutLaterTypes(const QList<QByteArray>& lines) {
    QList<QByteArray> kept;
    for (const QByteArray& line : lines) {
        const QJsonDocument json = QJsonDocument::fromJson(line);
        if (json.isNull() || !isLaterType(json.object().value("code").toInt())) {
            kept.append(line);
        }
    }
    return kept;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace

class DecodeTest : public QObject {
    Q_OBJECT

private slots:
    void goldenFiles_data() {
        QTest::addColumn<QString>("file");
        for (const char* name : {"every-type.log", "sounder.log", "GPSmap-76S.log",
                                 "nmea-fuzzy-cases.log", "ais-nmea.log", "sample.aivdm"}) {
            QTest::newRow(name) << QString::fromLatin1(name);
        }
    }
    void goldenFiles() {
        QFETCH(QString, file);
        const Run run = decode({kGolden + file});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.err.isEmpty());
        const QList<QByteArray> want = readFile(kGolden + file + ".jsonl").split('\n');
        const QList<QByteArray> got = withoutLaterTypes(run.out.split('\n'));
        QVERIFY(want.size() > 1);
        for (qsizetype i = 0; i < std::min(got.size(), want.size()); ++i) {
            QCOMPARE(got[i], want[i]);  // line by line, for a readable failure
            QJsonParseError error;
            QJsonDocument::fromJson(got[i], &error);
            QVERIFY2(got[i].isEmpty() || error.error == QJsonParseError::NoError, got[i]);
        }
        QCOMPARE(got.size(), want.size());
    }

    // Files are one byte stream: a sentence may begin in one and end in the next. A LF
    // that no CR precedes is read as CR LF, unless --raw is given.
    void streamAndLineEnds() {
        const QByteArray gga =
            "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
        QTemporaryDir dir;
        const QString first = dir.filePath("a.log"), second = dir.filePath("b.log");
        QVERIFY(writeFile(first, gga.left(25)));
        QVERIFY(writeFile(second, gga.mid(25) + gga));
        const Run run = decode({first, second});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out.count("{\"code\": 1, \"key\": \"$GPGGA\""), 2);
        QCOMPARE(decode({"--raw", first, second}).out, run.out);
        QByteArray lf = gga;
        lf.replace("\r\n", "\n");
        QCOMPARE(decode({}, lf + lf).out, run.out);
        // Fed raw, LF alone still ends a sentence (read with a warning); strictly it
        // does not.
        QCOMPARE(decode({"--raw"}, lf + lf).out, run.out);
        QCOMPARE(decode({"--raw", "--strict"}, lf + lf).out, QByteArray());
    }

    // --summary counts the keys. An unreadable file, even after a readable one, fails
    // with status 2 and its name on standard error, before any output; so do a
    // directory and an unknown option.
    void summaryAndFailures() {
        QCOMPARE(decode({"--summary", kGolden + "ais-nmea.log"}).out,
                 readFile(kGolden + "ais-nmea.log.summary"));
        const Run run = decode({kGolden + "sounder.log", "/nonexistent/capture.log"});
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.out.isEmpty());
        QVERIFY(run.err.contains("/nonexistent/capture.log"));
        QCOMPARE(decode({QDir::tempPath()}).exitCode, 2);
        QCOMPARE(decode({"--bogus"}).exitCode, 2);
    }

    // Output that cannot be written fails with the reason, however little there was.
    void writeErrorsFail() {
        for (const QStringList& arguments :
             {QStringList{"--help"}, QStringList{kGolden + "sounder.log"},
              QStringList{"--summary", kGolden + "sounder.log"}}) {
            QProcess process;
            process.setStandardOutputFile(QStringLiteral("/dev/full"));
            process.start(QStringLiteral(TIDEWRIGHT_DECODE_PATH), arguments);
            QVERIFY(process.waitForFinished(60000));
            QCOMPARE(process.exitCode(), 2);
            QCOMPARE(process.readAllStandardError(),
                     QByteArray("tidewright-decode: write error on standard output: "
                                "No space left on device\n"));
        }
    }
};

QTEST_GUILESS_MAIN(DecodeTest)
#include "tst_decode.moc"
