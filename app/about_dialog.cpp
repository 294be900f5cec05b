#include "app/about_dialog.h"

#include <QGraphicsScene>
#include <QPixmap>

#include "tidewright/version.h"
#include "ui_about_dialog.h"

aboutDialog::aboutDialog(QWidget* parent)
    : QDialog(parent), ui(new Ui::aboutDialog), scene(new QGraphicsScene(this)) {
    ui->setupUi(this);
    scene->addPixmap(QPixmap(QStringLiteral(":icon/logo.png")));
    ui->graphicsView->setScene(scene);
    ui->graphicsView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui->graphicsView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui->label_4->setOpenExternalLinks(true);
    // The form's version text is a stand-in; the dialog shows the version of this build.
    ui->label_5->setText(
        QStringLiteral("<html><head/><body><p><span style=\"font-family:'Times New "
                       "Roman'; font-size:9pt;\">Ver %1</span></p></body></html>")
            .arg(QLatin1String(tidewright::kVersion)));
}

aboutDialog::~aboutDialog() {
    delete ui;
}

void aboutDialog::on_pushButton_clicked() {
    close();
}
