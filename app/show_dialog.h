#ifndef TIDEWRIGHT_APP_SHOW_DIALOG_H
#define TIDEWRIGHT_APP_SHOW_DIALOG_H

#include <QDialog>
#include <QItemSelection>
#include <QStringList>

namespace Ui {
class showDialog;
}

// The "Parse Result" inspector: a list of received keys and a Name/Type/Value table
// showing the fields of the selected key.
class showDialog : public QDialog {
    Q_OBJECT

public:
    explicit showDialog(QWidget* parent = nullptr);
    ~showDialog() override;

public slots:
    void showParseText(QString text);
    void clearText();
    void showChange(QItemSelection selected, QItemSelection deselected);
    void showResult(QStringList result);

private:
    Ui::showDialog* ui;
};

#endif
