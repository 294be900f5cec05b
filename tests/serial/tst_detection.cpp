// The detection thread against real pseudo-terminals, and the published
// simulator links it lists first.
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "serial/com_thread.h"
#include "serial/simulator_ports.h"
#include "support/pty.h"

class DetectionTest : public QObject {
    Q_OBJECT

private slots:
    void init() { qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit()); }

    void reportsOnlyPortsThatOpenWithFullProgress() {
        TestPty first;
        TestPty second;
        QVERIFY(first.isValid() && second.isValid());
        myComThread scan({{"first", first.slavePath()},
                          {"missing", runtime.path() + "/no-such-device"},
                          {"second", second.slavePath()}});
        QSignalSpy found(&scan, &myComThread::sendIndex);
        QSignalSpy range(&scan, &myComThread::rangeChange);
        QSignalSpy progress(&scan, &myComThread::valueChange);
        scan.start();
        QVERIFY(scan.wait(20000));
        QTRY_COMPARE(progress.size(), 3);

        QCOMPARE(range.size(), 1);
        QCOMPARE(range[0], QVariantList({0, 100}));
        QCOMPARE(found.size(), 2);
        QCOMPARE(found[0][0].toString(), QString("first"));
        QCOMPARE(found[1][0].toString(), QString("second"));
        QCOMPARE(progress[0][0].toInt(), 0);
        QCOMPARE(progress[1][0].toInt(), 50);
        QCOMPARE(progress[2][0].toInt(), 100);
    }

    void emptyListStillCompletesProgress() {
        myComThread scan(std::vector<PortProbe>{});
        QSignalSpy progress(&scan, &myComThread::valueChange);
        scan.start();
        QVERIFY(scan.wait(5000));
        QTRY_COMPARE(progress.size(), 1);
        QCOMPARE(progress[0][0].toInt(), 100);
    }

    void interruptionStopsBetweenProbes() {
        TestPty pty;
        std::vector<PortProbe> many(50, PortProbe{"p", pty.slavePath()});
        myComThread scan(many);
        QSignalSpy progress(&scan, &myComThread::valueChange);
        // Asked to stop during the first probe: that probe ends, no other starts.
        connect(&scan, &myComThread::sendIndex, &scan, &QThread::requestInterruption,
                Qt::DirectConnection);
        scan.start();
        QVERIFY(scan.wait(20000));
        QTRY_COMPARE(progress.size(), 1);
        QTest::qWait(50);
        QCOMPARE(progress.size(), 1);
    }

    void directoryRule() {
        QCOMPARE(simulatorPortDirectory(), runtime.path() + "/tidewright");
        qputenv("XDG_RUNTIME_DIR", (runtime.path() + "/not-a-directory").toLocal8Bit());
        const QString fallback = QString("/tmp/tidewright-%1").arg(::getuid());
        QCOMPARE(simulatorPortDirectory(), fallback);
        qunsetenv("XDG_RUNTIME_DIR");
        QCOMPARE(simulatorPortDirectory(), fallback);
    }

    void publishedLinksSortedLiveOnly() {
        TestPty a;
        TestPty b;
        const QString dir = runtime.path() + "/tidewright";
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(QFile::link(b.slavePath(), dir + "/sim-b"));
        QVERIFY(QFile::link(a.slavePath(), dir + "/sim-a"));
        QVERIFY(QFile::link(runtime.path() + "/gone", dir + "/sim-dead"));
        QFile plain(dir + "/notes.txt");
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();

        QCOMPARE(publishedSimulatorPorts(), QStringList({dir + "/sim-a", dir + "/sim-b"}));

        // The detection opens them through the links and reports the links.
        myComThread scan;
        QCOMPARE(scan.candidates().at(0).reportName, dir + "/sim-a");
        QCOMPARE(scan.candidates().at(1).reportName, dir + "/sim-b");
        for (const PortProbe& probe : scan.candidates()) {
            QVERIFY2(!probe.deviceName.startsWith("/dev/pts/"), qPrintable(probe.deviceName));
        }
        QSignalSpy found(&scan, &myComThread::sendIndex);
        scan.start();
        QVERIFY(scan.wait(30000));
        QCoreApplication::processEvents();
        QVERIFY(found.size() >= 2);
        QCOMPARE(found[0][0].toString(), dir + "/sim-a");
        QCOMPARE(found[1][0].toString(), dir + "/sim-b");
        QDir(dir).removeRecursively();
    }

private:
    QTemporaryDir runtime;
};

QTEST_GUILESS_MAIN(DetectionTest)
#include "tst_detection.moc"
