#include "app/about_dialog.h"

#include <QGraphicsScene>
#include <QPixmap>

#include "ui_about_dialog.h"

aboutDialog::aboutDialog(QWidget* parent)
    : QDialog(parent), ui(new Ui::aboutDialog), scene(new QGraphicsScene(this)) {
    ui->setupUi(this);
    scene->addPixmap(QPixmap(QStringLiteral(":icon/logo.png")));
    ui->graphicsView->setScene(scene);
    ui->graphicsView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui->graphicsView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui->label_4->setOpenExternalLinks(true);
}

aboutDialog::~aboutDialog() {
    delete ui;
}

void aboutDialog::on_pushButton_clicked() {
    close();
}
