#include "show_dialog.h"

#include "ui_show_dialog.h"

showDialog::showDialog(QWidget* parent) : QDialog(parent), ui(new Ui::showDialog) {
    ui->setupUi(this);
}

showDialog::~showDialog() {
    delete ui;
}

void showDialog::showParseText(QString) {}

void showDialog::clearText() {}

void showDialog::showChange(QItemSelection, QItemSelection) {}

void showDialog::showResult(QStringList) {}
