// The setup dialog as the user drives it: detected ports, typed names, the
// warning for "None", and Cancel.
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "serial/port_settings.h"
#include "serial/setup_dialog.h"
#include "sources/source_memory.h"
#include "support/modal.h"
#include "support/pty.h"

class SetupDialogTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // Settings of our own, so no remembered source of another run is preselected.
        QVERIFY(config.isValid());
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    }
    void cleanup() { testsupport::cancelPendingModals(); }

    void detectedComNamesUpperCasedInScanOrder() {
        TestPty one;
        TestPty four;
        setupDialog dialog(std::vector<PortProbe>{{"com1", one.slavePath()},
                                                  {"com2", "/nonexistent/tw-port"},
                                                  {"com4", four.slavePath()}});
        QCOMPARE(port(dialog)->count(), 4);  // the absent one is left out
        QCOMPARE(port(dialog)->itemText(0), QString("COM1"));
        QCOMPARE(port(dialog)->itemText(1), QString("COM4"));
        // The network entries close the list.
        QCOMPARE(port(dialog)->itemText(2), QString("UDP :10110"));
        QCOMPARE(port(dialog)->itemText(3), QString("TCP localhost:10110"));
    }

    // "None" warns and stores nothing; Cancel stores nothing; a typed name is
    // accepted, at the normal speed the dialog starts with.
    void noneWarnsCancelStoresNothingReturnAccepts() {
        comName = "COM7";
        portSettings = nmeaPortSettings(38400);
        setupDialog dialog(std::vector<PortProbe>{});
        QCOMPARE(port(dialog)->itemText(0), QString("None"));
        QString warning;
        auto handled = testsupport::whenModal<QMessageBox>([&](QMessageBox* box) {
            warning = box->windowTitle() + ": " + box->text();
            box->button(QMessageBox::Ok)->click();
        });
        dialog.findChild<QPushButton*>("pushButton_enter")->click();
        QVERIFY(*handled);
        QCOMPARE(warning, QString("Warning: Please Select a Port"));
        QCOMPARE(dialog.result(), int(QDialog::Rejected));

        port(dialog)->setEditText("com9");
        dialog.findChild<QPushButton*>("pushButton_cancel")->click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(comName + " " + QString::number(portSettings.BaudRate), QString("COM7 38400"));

        port(dialog)->setEditText("com5");
        dialog.findChild<QPushButton*>("pushButton_enter")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(comName + " " + QString::number(portSettings.BaudRate), QString("COM5 4800"));
    }

    // A malformed source string is refused with what is wrong; a network form is taken
    // as typed; the remembered network source and its speed are preselected, a
    // remembered serial port that is gone is not.
    void typedSourcesAndTheRememberedOne() {
        setupDialog dialog(std::vector<PortProbe>{});
        QString warning;
        auto handled = testsupport::whenModal<QMessageBox>([&](QMessageBox* box) {
            warning = box->text();
            box->button(QMessageBox::Ok)->click();
        });
        port(dialog)->setEditText("tcp://:2000");
        dialog.findChild<QPushButton*>("pushButton_enter")->click();
        QVERIFY(*handled);
        QVERIFY2(warning.startsWith("Missing host in 'tcp://:2000'"), qPrintable(warning));
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        port(dialog)->setEditText("udp://:2000");
        dialog.findChild<QPushButton*>("pushButton_enter")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(comName, QString("udp://:2000"));

        const struct {
            const char* remembered;
            int baud;
            const char* shown;
            int rateIndex;
        } cases[] = {
            {"tcp://boat:2000", 38400, "tcp://boat:2000", 1},
            {"TCP localhost:10110", 4800, "TCP localhost:10110", 0},
            {"COM9", 38400, "None", 0},
        };
        for (const auto& c : cases) {
            sources::rememberSource(c.remembered, c.baud);
            setupDialog next(std::vector<PortProbe>{});
            QCOMPARE(port(next)->currentText(), QString(c.shown));
            QCOMPARE(next.findChild<QComboBox*>("comboBox_baudRate")->currentIndex(), c.rateIndex);
        }
    }

private:
    QTemporaryDir config;
    static QComboBox* port(setupDialog& d) { return d.findChild<QComboBox*>("comboBox_port"); }
};

QTEST_MAIN(SetupDialogTest)
#include "tst_setup_dialog.moc"
