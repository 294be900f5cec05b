#ifndef TIDEWRIGHT_APP_SHOW_DIALOG_H
#define TIDEWRIGHT_APP_SHOW_DIALOG_H

#include <QDialog>
#include <QHash>
#include <QItemSelection>
#include <QStringList>
#include <array>

#include "present/field_catalogue.h"
#include "present/readable_values.h"

class QItemSelectionModel;
class QStandardItemModel;
class QStringListModel;

namespace Ui {
class showDialog;
}

// The catalogue entry whose table shows the sentences of `key` ("$GPGGA",
// "!AIVDM_MSG5"), as the inspector chooses it; -1 for none.
int catalogueEntryForKey(const QString& key);

// The "Parse Result" inspector: the keys received so far on the left and, for the
// selected key, a Name/Type/Value table with the values of the latest sentence of its
// type. A result list carries no type: showResult reads it from the current sentence
// name, which the parser of the same sentence has just written, so it must be called
// synchronously from the parse cycle.
class showDialog : public QDialog {
    Q_OBJECT

public:
    explicit showDialog(QWidget* parent = nullptr);
    ~showDialog() override;

    // For tests: the table model of catalogue entry i.
    QStandardItemModel* fieldModel(int i) const { return fieldModels[i]; }
    const QStringList& keys() const { return receivedKeys; }

    // Readable values: the Value column shows the named values with their units, the
    // Type column the unit. Off (the default), the tables are the specified ones.
    void setReadable(bool on);
    bool readable() const { return readableMode; }

    // "Plot" on row `row` of the selected key's table: emits plotRequested when the
    // row holds a number; false when it does not.
    bool plotRow(int row);
    bool rowIsNumber(int row) const;

signals:
    // "Plot" on a numeric row: the selected key, the row, its name and unit.
    void plotRequested(const QString& key, int row, const QString& label, const QString& unit);

public slots:
    void showParseText(QString text);
    void clearText();
    void showChange(QItemSelection selected, QItemSelection deselected);
    void showResult(QStringList result);

private:
    void writeValues(QStandardItemModel* model, const QStringList& result,
                     const QList<present::ReadableRow>& readableRows);
    void showRow(QStandardItemModel* model, int row);
    void nameMsg18CommState(const QStringList& result);
    const QList<int>& resultTables(const QString& key);

    Ui::showDialog* ui;
    QStringListModel* keysModel = nullptr;
    std::array<QStandardItemModel*, present::kCatalogueSize> fieldModels{};
    QItemSelectionModel* selection = nullptr;
    QStringList receivedKeys;
    // The catalogue entries whose tables a key's results go to, found once per key.
    QHash<QString, QList<int>> resultTablesByKey;
    bool readableMode = false;
};

#endif
