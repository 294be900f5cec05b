// The recording's temporary file and what Stop and Save writes from it.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "app/log_recorder.h"

namespace {
QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}
}  // namespace

class LogRecorderTest : public QObject {
    Q_OBJECT

private slots:
    void writesExactlyWhatWasAppended() {
        LogRecorder recorder;
        QVERIFY(recorder.start());
        QByteArray expected;
        for (int b = 0x01; b <= 0xFF; ++b) {
            expected.append(char(b));
        }
        expected += "\n$GPGGA,1*00\n";
        // Larger than the copy block, so the copy loop runs several times.
        QByteArray bulk(200 * 1024, 'x');
        expected += bulk;
        recorder.append(expected.first(300));
        recorder.append(QByteArray());
        recorder.append(expected.sliced(300));

        const QString path = dir.filePath("log.txt");
        QVERIFY(recorder.writeTo(path));
        QCOMPARE(readAll(path), expected);
        // Saving does not disturb the recording: more text follows the old.
        recorder.append("tail");
        QVERIFY(recorder.writeTo(path));
        QCOMPARE(readAll(path), expected + "tail");
    }

    void emptyRecordingWritesEmptyFileAndTruncates() {
        const QString path = dir.filePath("empty.txt");
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("previous content");
        old.close();
        LogRecorder recorder;
        QVERIFY(recorder.start());
        QVERIFY(recorder.writeTo(path));
        QCOMPARE(readAll(path), QByteArray());
    }

    void unwritableTargetIsReportedAsFailure() {
        LogRecorder recorder;
        QVERIFY(recorder.start());
        recorder.append("data");
        QVERIFY(!recorder.writeTo(dir.filePath("no/such/dir/log.txt")));
        QVERIFY(!recorder.writeTo(dir.path()));  // a directory
    }

private:
    QTemporaryDir dir;
};

QTEST_GUILESS_MAIN(LogRecorderTest)
#include "tst_log_recorder.moc"
