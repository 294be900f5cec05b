// The setup dialog as the user drives it: detected ports, typed names, the
// warning for "None", and Cancel.
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "serial/port_settings.h"
#include "serial/setup_dialog.h"
#include "support/modal.h"
#include "support/pty.h"

class SetupDialogTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { testsupport::cancelPendingModals(); }

    void detectedComNamesUpperCasedInScanOrder() {
        TestPty one;
        TestPty four;
        setupDialog dialog(std::vector<PortProbe>{{"com1", one.slavePath()},
                                                  {"com2", "/nonexistent/tw-port"},
                                                  {"com4", four.slavePath()}});
        QCOMPARE(port(dialog)->count(), 2);  // the absent one is left out
        QCOMPARE(port(dialog)->itemText(0), QString("COM1"));
        QCOMPARE(port(dialog)->itemText(1), QString("COM4"));
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

private:
    static QComboBox* port(setupDialog& d) { return d.findChild<QComboBox*>("comboBox_port"); }
};

QTEST_MAIN(SetupDialogTest)
#include "tst_setup_dialog.moc"
