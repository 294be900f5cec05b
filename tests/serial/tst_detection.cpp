// The detection thread against real pseudo-terminals, and the published
// simulator links it lists first.
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
        myComThread scan({{"first", first.slavePath()},
                          {"missing", runtime.path() + "/no-such-device"},
                          {"second", second.slavePath()}});
        QSignalSpy found(&scan, &myComThread::sendIndex);
        QSignalSpy progress(&scan, &myComThread::valueChange);
        scan.start();
        QVERIFY(scan.wait(20000));
        QTRY_COMPARE(progress.size(), 3);
        QCOMPARE(static_cast<QList<QVariantList>&>(found),
                 QList<QVariantList>({{"first"}, {"second"}}));
        QCOMPARE(static_cast<QList<QVariantList>&>(progress),
                 QList<QVariantList>({{0}, {50}, {100}}));
    }

    void interruptionStopsBetweenProbes() {
        TestPty pty;
        myComThread scan(std::vector<PortProbe>(50, PortProbe{"p", pty.slavePath()}));
        QSignalSpy progress(&scan, &myComThread::valueChange);
        // Asked to stop during the first probe: that probe ends, no other starts.
        connect(&scan, &myComThread::sendIndex, &scan, &QThread::requestInterruption,
                Qt::DirectConnection);
        scan.start();
        QVERIFY(scan.wait(20000));
        QTest::qWait(50);
        QCOMPARE(progress.size(), 1);
    }

    void publishedLinksFirstDanglingSkipped() {
        TestPty a;
        TestPty b;
        const QString dir = runtime.path() + "/tidewright";
        QCOMPARE(simulatorPortDirectory(), dir);
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(QFile::link(b.slavePath(), dir + "/sim-b"));
        QVERIFY(QFile::link(a.slavePath(), dir + "/sim-a"));
        QVERIFY(QFile::link(runtime.path() + "/gone", dir + "/sim-dead"));
        QCOMPARE(publishedSimulatorPorts(), QStringList({dir + "/sim-a", dir + "/sim-b"}));
        // A directory others may write to is not trusted.
        QFile::setPermissions(dir, QFile::permissions(dir) | QFileDevice::WriteOther);
        QCOMPARE(publishedSimulatorPorts(), QStringList());
        QFile::setPermissions(dir, QFile::permissions(dir) & ~QFileDevice::WriteOther);

        // Opened through the links and reported by them; the ptys behind them
        // (or any other) are never probed directly.
        myComThread scan;
        for (const PortProbe& probe : scan.candidates()) {
            QVERIFY2(!probe.deviceName.startsWith("/dev/pts/"), qPrintable(probe.deviceName));
        }
        QSignalSpy found(&scan, &myComThread::sendIndex);
        scan.start();
        QVERIFY(scan.wait(30000));
        QVERIFY(found.size() >= 2);
        QCOMPARE(found[0][0].toString(), dir + "/sim-a");
        QCOMPARE(found[1][0].toString(), dir + "/sim-b");
    }

private:
    QTemporaryDir runtime;
};

QTEST_GUILESS_MAIN(DetectionTest)
#include "tst_detection.moc"
