// How port names become devices and what the detection probes, on both
// platforms; the Windows rules are checked by construction on any host.
#include <QTest>

#include "serial/open_failure.h"
#include "serial/port_naming.h"

class PortNamingTest : public QObject {
    Q_OBJECT

private slots:
    void deviceNames() {
        const auto win = PortPlatform::Windows;
        const auto unix_ = PortPlatform::Unix;
        const struct {
            PortPlatform platform;
            const char* port;
            const char* device;
        } cases[] = {
            {win, "COM9", "COM9"},  // COM10 and up only by device path
            {win, "COM10", R"(\\.\COM10)"},
            {win, R"(\\.\COM12)", R"(\\.\COM12)"},
            {unix_, "COM1", "/dev/ttyS0"},
            {unix_, "COM10", "/dev/ttyS9"},
            {unix_, "cOm007", "/dev/ttyS6"},
            {unix_, "COM0", "/dev/COM0"},  // no COM name: a bare name
            {unix_, "ttyACM0", "/dev/ttyACM0"},
            {unix_, "/dev/ttyACM0", "/dev/ttyACM0"},
            {unix_, "links/sim", "links/sim"},
            {unix_, "", ""},
        };
        for (const auto& c : cases) {
            QCOMPARE(deviceNameForPort(c.port, c.platform), QString(c.device));
        }
    }

    void onlyComNamesAreUpperCased() {
        QCOMPARE(canonicalPortName("Com12"), QString("COM12"));
        QCOMPARE(canonicalPortName("comx"), QString("comx"));
        QCOMPARE(canonicalPortName("ttyUSB0"), QString("ttyUSB0"));
        QCOMPARE(canonicalPortName("/run/t/Sim-1"), QString("/run/t/Sim-1"));
    }

    void windowsProbesCom1To101() {
        const auto probes = probeList(PortPlatform::Windows, {"/ignored/link"}, {"ttyS0"});
        QCOMPARE(probes.size(), size_t(101));
        QCOMPARE(probes[9].reportName, QString("com10"));
        QCOMPARE(probes[9].deviceName, QString(R"(\\.\com10)"));
        QCOMPARE(probes[100].reportName, QString("com101"));
    }

    // Published links first, then system ports in natural order; terminals
    // (ptys, virtual consoles) are never probed.
    void unixProbesLinksFirstThenSerialPortsOnly() {
        const auto probes =
            probeList(PortPlatform::Unix, {"/run/t/sim-b", "/run/t/sim-a"},
                      {"ttyS10", "ttyUSB0", "pts/3", "/dev/pts/12", "ttyS2", "tty1", "console",
                       "ttyACM0", "ptyp0", "ttyp3", "/dev/ptmx", "ttyS2", "tty",
                       "ttyS99999999999999999999", "ttyS100000000000000000000"});
        QStringList reported;
        for (const PortProbe& p : probes) {
            reported << p.reportName;
        }
        QCOMPARE(reported,
                 QStringList({"/run/t/sim-a", "/run/t/sim-b", "ttyACM0", "ttyS2", "ttyS10",
                              "ttyS99999999999999999999", "ttyS100000000000000000000", "ttyUSB0"}));
        QCOMPARE(probes[0].deviceName, QString("/run/t/sim-a"));
        QCOMPARE(probes[2].deviceName, QString("/dev/ttyACM0"));
    }

    // The system's reason, and the dialout hint only for a permission error on Linux.
    void openFailureDetailsGiveReasonAndHint() {
        const QString hint =
            "Serial ports belong to the dialout group: add your user to it "
            "(sudo usermod -aG dialout $USER) and log in again.";
        const struct {
            QSerialPort::SerialPortError error;
            PortPlatform platform;
            QString reason, details;
        } cases[] = {
            {QSerialPort::PermissionError, PortPlatform::Unix, "Permission denied",
             "Permission denied\n" + hint},
            {QSerialPort::PermissionError, PortPlatform::Unix, "", hint},
            {QSerialPort::PermissionError, PortPlatform::Windows, "Access is denied.",
             "Access is denied."},
            {QSerialPort::DeviceNotFoundError, PortPlatform::Unix, "No such file or directory\n",
             "No such file or directory"},
            {QSerialPort::OpenError, PortPlatform::Unix, "", ""},
        };
        for (const auto& c : cases) {
            QCOMPARE(openFailureDetails(c.error, c.reason, c.platform), c.details);
        }
    }
};

QTEST_GUILESS_MAIN(PortNamingTest)
#include "tst_port_naming.moc"
