// How port names become devices and what the detection probes, on both
// platforms; the Windows rules are checked by construction on any host.
#include <QTest>

#include "serial/port_naming.h"

Q_DECLARE_METATYPE(PortPlatform)

class PortNamingTest : public QObject {
    Q_OBJECT

private slots:
    void deviceName_data() {
        QTest::addColumn<PortPlatform>("platform");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("device");
        const auto win = PortPlatform::Windows;
        const auto posix = PortPlatform::Unix;
        QTest::newRow("win COM1 by name") << win << "COM1"
                                          << "COM1";
        QTest::newRow("win COM9 by name") << win << "COM9"
                                          << "COM9";
        QTest::newRow("win COM10 by device path") << win << "COM10"
                                                  << R"(\\.\COM10)";
        QTest::newRow("win COM101") << win << "COM101"
                                    << R"(\\.\COM101)";
        QTest::newRow("win path not doubled") << win << R"(\\.\COM12)"
                                              << R"(\\.\COM12)";
        QTest::newRow("win empty") << win << ""
                                   << "";
        QTest::newRow("unix COM1 is ttyS0") << posix << "COM1"
                                            << "/dev/ttyS0";
        QTest::newRow("unix COM10 is ttyS9") << posix << "COM10"
                                             << "/dev/ttyS9";
        QTest::newRow("unix com3 any case") << posix << "cOm3"
                                            << "/dev/ttyS2";
        QTest::newRow("unix leading zeros") << posix << "COM007"
                                            << "/dev/ttyS6";
        QTest::newRow("unix COM0 is no COM name") << posix << "COM0"
                                                  << "/dev/COM0";
        QTest::newRow("unix COMX is a bare name") << posix << "COMX"
                                                  << "/dev/COMX";
        QTest::newRow("unix bare name") << posix << "ttyUSB0"
                                        << "/dev/ttyUSB0";
        QTest::newRow("unix bare name keeps case") << posix << "ttyACM0"
                                                   << "/dev/ttyACM0";
        QTest::newRow("unix absolute path") << posix << "/dev/ttyACM0"
                                            << "/dev/ttyACM0";
        QTest::newRow("unix relative path") << posix << "links/sim"
                                            << "links/sim";
        QTest::newRow("unix empty") << posix << ""
                                    << "";
    }
    void deviceName() {
        QFETCH(PortPlatform, platform);
        QFETCH(QString, port);
        QFETCH(QString, device);
        QCOMPARE(deviceNameForPort(port, platform), device);
    }

    void canonicalNames() {
        QCOMPARE(canonicalPortName("com3"), QString("COM3"));
        QCOMPARE(canonicalPortName("Com12"), QString("COM12"));
        QCOMPARE(canonicalPortName("ttyUSB0"), QString("ttyUSB0"));
        QCOMPARE(canonicalPortName("/dev/serial/by-id/usb-Foo"),
                 QString("/dev/serial/by-id/usb-Foo"));
        QCOMPARE(canonicalPortName("comx"), QString("comx"));
        QCOMPARE(canonicalPortName(""), QString(""));
    }

    void windowsProbesCom1To101() {
        const auto probes = probeList(PortPlatform::Windows, {"/ignored/link"}, {"ttyS0"});
        QCOMPARE(probes.size(), size_t(101));
        QCOMPARE(probes[0].reportName, QString("com1"));
        QCOMPARE(probes[0].deviceName, QString("com1"));
        QCOMPARE(probes[8].deviceName, QString("com9"));
        QCOMPARE(probes[9].reportName, QString("com10"));
        QCOMPARE(probes[9].deviceName, QString(R"(\\.\com10)"));
        QCOMPARE(probes[100].reportName, QString("com101"));
        for (int i = 0; i < 101; ++i) {
            QCOMPARE(probeProgress(i, 101), i);
        }
    }

    void unixProbesLinksFirstThenSystemPortsNaturally() {
        const auto probes = probeList(PortPlatform::Unix, {"/run/t/sim-b", "/run/t/sim-a"},
                                      {"ttyS10", "ttyUSB0", "pts/3", "ttyS2", "tty1", "console",
                                       "ttyACM0", "ptyp0", "ttyS2", "tty"});
        QStringList reported;
        QStringList devices;
        for (const PortProbe& p : probes) {
            reported << p.reportName;
            devices << p.deviceName;
        }
        QCOMPARE(reported, QStringList({"/run/t/sim-a", "/run/t/sim-b", "ttyACM0", "ttyS2",
                                        "ttyS10", "ttyUSB0"}));
        QCOMPARE(devices, QStringList({"/run/t/sim-a", "/run/t/sim-b", "/dev/ttyACM0", "/dev/ttyS2",
                                       "/dev/ttyS10", "/dev/ttyUSB0"}));
    }

    void terminalsAreNeverSerialPorts_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("terminal");
        QTest::newRow("pts") << "pts/0" << true;
        QTest::newRow("dev pts") << "/dev/pts/12" << true;
        QTest::newRow("bsd pty") << "ptyp3" << true;
        QTest::newRow("bsd tty") << "ttyp3" << true;
        QTest::newRow("virtual console") << "tty7" << true;
        QTest::newRow("controlling tty") << "tty" << true;
        QTest::newRow("console") << "console" << true;
        QTest::newRow("ptmx") << "/dev/ptmx" << true;
        QTest::newRow("uart") << "ttyS0" << false;
        QTest::newRow("usb") << "ttyUSB0" << false;
        QTest::newRow("acm") << "ttyACM1" << false;
        QTest::newRow("macos") << "cu.usbserial-1410" << false;
    }
    void terminalsAreNeverSerialPorts() {
        QFETCH(QString, name);
        QFETCH(bool, terminal);
        QCOMPARE(isTerminalName(name), terminal);
    }

    void naturalOrder() {
        QVERIFY(naturalLess("ttyS2", "ttyS10"));
        QVERIFY(!naturalLess("ttyS10", "ttyS2"));
        QVERIFY(naturalLess("ttyS9", "ttyUSB0"));
        QVERIFY(naturalLess("com2", "com10"));
        QVERIFY(naturalLess("ttyS", "ttyS0"));
        QVERIFY(!naturalLess("ttyS1", "ttyS1"));
        QVERIFY(!naturalLess("ttyS01", "ttyS1"));
        QVERIFY(!naturalLess("ttyS1", "ttyS01"));
        QVERIFY(naturalLess("ttyS99999999999999999999", "ttyS100000000000000000000"));
    }
};

QTEST_GUILESS_MAIN(PortNamingTest)
#include "tst_port_naming.moc"
