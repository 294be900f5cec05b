// The About box: logo, program name, version, rights notice and project link.
#pragma once

#include <QDialog>

class QGraphicsScene;

namespace Ui {
class aboutDialog;
}

class aboutDialog : public QDialog {
    Q_OBJECT

public:
    explicit aboutDialog(QWidget* parent = nullptr);
    ~aboutDialog() override;

private slots:
    void on_pushButton_clicked();

private:
    Ui::aboutDialog* ui;
    QGraphicsScene* scene;
};
