// Lets the user pick the port (from those the detection found, or typed) and
// the link speed. Construction runs the port detection behind a progress dialog.
#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "serial/port_naming.h"

class QProcess;

namespace Ui {
class setupDialog;
}

class setupDialog : public QDialog {
    Q_OBJECT

public:
    // Scans what this machine offers (see probeList).
    explicit setupDialog(QWidget* parent = nullptr);
    // Scans exactly the given candidates.
    explicit setupDialog(std::vector<PortProbe> probes, QWidget* parent = nullptr);
    ~setupDialog() override;

public slots:
    void on_pushButton_dm_clicked();
    void on_pushButton_cancel_clicked();
    void on_pushButton_enter_clicked();
    void setIndex(QString indexName);

private:
    Ui::setupDialog* ui;
    QProcess* dmProcess = nullptr;
    int detectedCount = 0;
};
