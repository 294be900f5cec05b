// The setup dialog as the user drives it: detected ports, typed names, the two
// speeds, the warning for "None", Cancel, Return, and the device list.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "serial/device_list_dialog.h"
#include "serial/port_settings.h"
#include "serial/setup_dialog.h"
#include "support/modal.h"
#include "support/pty.h"

class SetupDialogTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { testsupport::cancelPendingModals(); }

    void init() {
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        QDir(runtime.path() + "/tidewright").removeRecursively();
        comName = "COM1";
        portSettings = initialPortSettings();
    }

    void publishedPortsListedFirstAndSelected() {
        TestPty a;
        TestPty b;
        const QString dir = runtime.path() + "/tidewright";
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(QFile::link(a.slavePath(), dir + "/sim-1"));
        QVERIFY(QFile::link(b.slavePath(), dir + "/sim-2"));

        setupDialog dialog;
        QVERIFY(port(dialog)->count() >= 2);
        QCOMPARE(port(dialog)->itemText(0), dir + "/sim-1");
        QCOMPARE(port(dialog)->itemText(1), dir + "/sim-2");
        QCOMPARE(port(dialog)->currentIndex(), 0);

        dialog.findChild<QComboBox*>("comboBox_baudRate")->setCurrentIndex(1);
        button(dialog, "pushButton_enter")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(comName, dir + "/sim-1");  // paths keep their case
        QCOMPARE(portSettings.BaudRate, 38400);
        QCOMPARE(portSettings.Timeout_Millisec, 500L);
        QCOMPARE(portSettings.DataBits, QSerialPort::Data8);
        QCOMPARE(portSettings.Parity, QSerialPort::NoParity);
        QCOMPARE(portSettings.StopBits, QSerialPort::OneStop);
        QCOMPARE(portSettings.FlowControl, QSerialPort::NoFlowControl);
    }

    void noneWarnsUntilANameIsTyped() {
        setupDialog dialog(std::vector<PortProbe>{{"com1", work.path() + "/absent"}});
        QCOMPARE(port(dialog)->count(), 1);
        QCOMPARE(port(dialog)->itemText(0), QString("None"));
        QString warning;
        QString title;
        auto handled = testsupport::whenModal<QMessageBox>([&](QMessageBox* box) {
            warning = box->text();
            title = box->windowTitle();
            box->button(QMessageBox::Ok)->click();
        });
        button(dialog, "pushButton_enter")->click();
        QVERIFY(*handled);
        QCOMPARE(warning, QString("Please Select a Port"));
        QCOMPARE(title, QString("Warning"));
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(comName, QString("COM1"));

        port(dialog)->setEditText("com5");
        button(dialog, "pushButton_enter")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(comName, QString("COM5"));
        QCOMPARE(portSettings.BaudRate, 4800);
        QCOMPARE(portSettings.Timeout_Millisec, 500L);
    }

    void typedDeviceNameKeepsItsCase() {
        setupDialog dialog(std::vector<PortProbe>{});
        port(dialog)->setEditText("ttyUSB0");
        button(dialog, "pushButton_enter")->click();
        QCOMPARE(comName, QString("ttyUSB0"));
    }

    void detectedComNamesAreUpperCasedInScanOrder() {
        TestPty one;
        TestPty four;
        setupDialog dialog(std::vector<PortProbe>{{"com1", one.slavePath()},
                                                  {"com2", work.path() + "/absent"},
                                                  {"com4", four.slavePath()}});
        QCOMPARE(port(dialog)->count(), 2);
        QCOMPARE(port(dialog)->itemText(0), QString("COM1"));
        QCOMPARE(port(dialog)->itemText(1), QString("COM4"));
        QCOMPARE(port(dialog)->currentIndex(), 0);
    }

    void cancelStoresNothing() {
        comName = "COM7";
        portSettings = nmeaPortSettings(38400);
        setupDialog dialog;
        port(dialog)->setEditText("com9");
        dialog.findChild<QComboBox*>("comboBox_baudRate")->setCurrentIndex(0);
        button(dialog, "pushButton_cancel")->click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(comName, QString("COM7"));
        QCOMPARE(portSettings.BaudRate, 38400);
    }

    void everyDialogStartsAtNormalAndReturnConfirms() {
        {
            setupDialog first;
            port(first)->setEditText("COM2");
            first.findChild<QComboBox*>("comboBox_baudRate")->setCurrentIndex(1);
            button(first, "pushButton_enter")->click();
            QCOMPARE(portSettings.BaudRate, 38400);
        }
        setupDialog second;
        QCOMPARE(second.findChild<QComboBox*>("comboBox_baudRate")->currentText(),
                 QString("Normal(4800)"));
        port(second)->setEditText("COM2");
        QTest::keyClick(&second, Qt::Key_Return);
        QCOMPARE(second.result(), int(QDialog::Accepted));
        QCOMPARE(portSettings.BaudRate, 4800);
    }

    void deviceManagerListsTheSystemsPorts() {
        setupDialog dialog;
        int rows = -1;
        QStringList headers;
        auto handled = testsupport::whenModal<deviceListDialog>([&](deviceListDialog* list) {
            rows = list->table()->rowCount();
            for (int c = 0; c < list->table()->columnCount(); ++c) {
                headers << list->table()->horizontalHeaderItem(c)->text();
            }
            QVERIFY(list->table()->editTriggers() == QAbstractItemView::NoEditTriggers);
            list->reject();
        });
        button(dialog, "pushButton_dm")->click();
        QVERIFY(*handled);
        QCOMPARE(rows, int(QSerialPortInfo::availablePorts().size()));
        QCOMPARE(headers, QStringList({"Port", "Description", "Manufacturer", "Serial number",
                                       "Vendor ID", "Product ID"}));
    }

private:
    static QComboBox* port(setupDialog& d) { return d.findChild<QComboBox*>("comboBox_port"); }
    static QPushButton* button(setupDialog& d, const char* name) {
        return d.findChild<QPushButton*>(name);
    }

    QTemporaryDir runtime;
    QTemporaryDir work;
};

QTEST_MAIN(SetupDialogTest)
#include "tst_setup_dialog.moc"
