#include "serial/setup_dialog.h"

#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QProgressDialog>

#include "serial/com_thread.h"
#include "serial/device_list_dialog.h"
#include "serial/line_speeds.h"
#include "serial/port_naming.h"
#include "serial/port_settings.h"
#include "serial/simulator_ports.h"
#include "serial/source_entries.h"
#include "sources/source_memory.h"
#include "ui_setup_dialog.h"

setupDialog::setupDialog(QWidget* parent)
    : setupDialog(probeList(hostPortPlatform(), publishedSimulatorPorts(), systemSerialPortNames()),
                  parent) {}

setupDialog::setupDialog(std::vector<PortProbe> probes, QWidget* parent)
    : QDialog(parent), ui(new Ui::setupDialog) {
    ui->setupUi(this);
    ui->comboBox_port->setEditable(true);
    ui->comboBox_baudRate->addItems(extraSpeedEntries());
    ui->checkBox_strict->setChecked(sources::strictFramingChosen());
    detectedCount = 0;
    // Modal from the first show: a dialog that is already visible when exec()
    // runs would otherwise stay modeless and leave the main window usable.
    setWindowModality(Qt::ApplicationModal);
    show();

    QPointer<myComThread> scan = new myComThread(std::move(probes));
    connect(scan, &myComThread::sendIndex, this, &setupDialog::setIndex);
    connect(scan, &QThread::finished, scan, &QObject::deleteLater);

    QProgressDialog progress;
    progress.setWindowTitle(tr("Detecting..."));
    progress.setLabelText(tr("Detecting COM Ports... please wait"));
    progress.setCancelButton(nullptr);
    progress.setMinimumDuration(0);
    connect(scan, &QThread::finished, &progress, &QWidget::close);
    connect(scan, &myComThread::rangeChange, &progress, &QProgressDialog::setRange);
    connect(scan, &myComThread::valueChange, &progress, &QProgressDialog::setValue);
    connect(&progress, &QProgressDialog::canceled, scan, &QThread::requestInterruption);
    connect(&progress, &QProgressDialog::canceled, &progress, &QWidget::close);
    scan->start(QThread::InheritPriority);
    progress.exec();

    // However the progress dialog ended (Escape ends it without canceled()),
    // the scan stops after the probe under way.
    if (scan) {
        scan->requestInterruption();
    }
    if (detectedCount == 0) {
        ui->comboBox_port->setItemText(0, tr("None"));
    }
    addNetworkEntries(*ui->comboBox_port);
    preselectRememberedSource(*ui->comboBox_port, *ui->comboBox_baudRate);
}

setupDialog::~setupDialog() {
    delete ui;
}

void setupDialog::on_pushButton_dm_clicked() {
#ifdef Q_OS_WIN
    dmProcess = new QProcess(this);
    dmProcess->start(QStringLiteral("mmc"), {QStringLiteral("devmgmt.msc")}, QIODevice::ReadWrite);
#else
    // No device manager console here: list what the system knows about its ports.
    Q_UNUSED(dmProcess);
    deviceListDialog list(this);
    list.exec();
#endif
}

void setupDialog::on_pushButton_cancel_clicked() {
    close();
}

void setupDialog::on_pushButton_enter_clicked() {
    const QString chosen = ui->comboBox_port->currentText();
    if (chosen == QLatin1String("None")) {
        QMessageBox::warning(this, tr("Warning"), tr("Please Select a Port"), QMessageBox::Ok);
        return;
    }
    if (const QString problem = sourceProblem(chosen); !problem.isEmpty()) {
        QMessageBox::warning(this, tr("Warning"), problem, QMessageBox::Ok);
        return;
    }
    comName = canonicalPortName(chosen);
    portSettings = nmeaPortSettings(speedForEntry(ui->comboBox_baudRate->currentText()));
    sources::rememberStrictFraming(ui->checkBox_strict->isChecked());
    accept();
    close();
}

void setupDialog::setIndex(QString indexName) {
    const QString name = canonicalPortName(indexName);
    if (detectedCount == 0) {
        ui->comboBox_port->setItemText(0, name);
    } else {
        ui->comboBox_port->insertItem(detectedCount, name);
    }
    ++detectedCount;
}
