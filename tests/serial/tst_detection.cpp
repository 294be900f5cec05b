// The detection thread against real pseudo-terminals, and the published
// simulator links it lists first.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "serial/com_thread.h"
#include "serial/simulator_ports.h"
#include "support/pty.h"

namespace {

// Holds the lock a running simulator holds on its link's lock file.
struct HeldLock {
    int fd;
    explicit HeldLock(const QString& link)
        : fd(::open(QFile::encodeName(link + ".lock").constData(), O_RDWR | O_CREAT, 0600)) {
        ::flock(fd, LOCK_EX);
    }
    ~HeldLock() { ::close(fd); }
};

}  // namespace

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
        QVERIFY(QFile::link(a.slavePath(), dir + "/sim-unlocked"));
        HeldLock lockA(dir + "/sim-a"), lockB(dir + "/sim-b");
        { HeldLock released(dir + "/sim-dead"); }
        QCOMPARE(publishedSimulatorPorts(), QStringList({dir + "/sim-a", dir + "/sim-b"}));
        // Links nobody holds are gone, with their lock files.
        QCOMPARE(QDir(dir).entryList(QDir::System | QDir::Files),
                 QStringList({"sim-a", "sim-a.lock", "sim-b", "sim-b.lock"}));
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

    // Probing opens read-only: a device the user may read but not write is offered.
    void probesOpenReadOnly() {
        if (::geteuid() == 0) {
            QSKIP("permissions do not restrict root");
        }
        TestPty pty;
        QVERIFY(QFile::setPermissions(pty.slavePath(), QFileDevice::ReadOwner));
        myComThread scan({{"readable", pty.slavePath()}});
        QSignalSpy found(&scan, &myComThread::sendIndex);
        scan.start();
        QVERIFY(scan.wait(20000));
        QTRY_COMPARE(found.size(), 1);
    }

    // The runtime directory is used only when absolute.
    void relativeRuntimeDirectoryIgnored() {
        const QString fallback = QStringLiteral("/tmp/tidewright-%1").arg(::getuid());
        for (const char* runtime : {"relative/run", "", "/nonexistent/run"}) {
            qputenv("XDG_RUNTIME_DIR", runtime);
            QCOMPARE(simulatorPortDirectory(), fallback);
        }
    }

    // A simulator killed outright: its link is no longer listed (and is removed), and
    // its pseudo-terminal is not opened through it.
    void killedSimulatorIsNotListed() {
        QTemporaryDir fresh;  // the simulator makes its own private directory
        qputenv("XDG_RUNTIME_DIR", fresh.path().toLocal8Bit());
        QProcess sim;
        sim.start(QStringLiteral(TIDEWRIGHT_SIM_EXECUTABLE), {"--fast", "--name", "boat"});
        QVERIFY(sim.waitForStarted());
        const QString link = fresh.path() + "/tidewright/boat";
        QTRY_VERIFY_WITH_TIMEOUT(publishedSimulatorPorts().contains(link), 10000);
        QVERIFY(simulatorLinkIsLive(link));
        sim.kill();
        QVERIFY(sim.waitForFinished());
        QVERIFY(QFileInfo(link).isSymLink());
        QVERIFY(!simulatorLinkIsLive(link));
        QCOMPARE(publishedSimulatorPorts(), QStringList());
        QVERIFY(!QFileInfo(link).isSymLink());
    }

private:
    QTemporaryDir runtime;
};

QTEST_GUILESS_MAIN(DetectionTest)
#include "tst_detection.moc"
