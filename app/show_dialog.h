#ifndef TIDEWRIGHT_APP_SHOW_DIALOG_H
#define TIDEWRIGHT_APP_SHOW_DIALOG_H

#include <QDialog>
#include <QHash>
#include <QItemSelection>
#include <QStringList>
#include <array>

#include "present/field_catalogue.h"
#include "present/n2k_named.h"
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

    // "Plot" on row `row` of the selected key's table: emits plotRequested (or
    // pgnPlotRequested for an NMEA 2000 key) when the row holds a number; false when
    // it does not.
    bool plotRow(int row);
    bool rowIsNumber(int row) const;

signals:
    // "Plot" on a numeric row: the selected key, the row, its name and unit.
    void plotRequested(const QString& key, int row, const QString& label, const QString& unit);
    // "Plot" on a numeric field of an NMEA 2000 key: the key, its PGN and source, the row.
    void pgnPlotRequested(const QString& key, quint32 pgn, quint8 address,
                          const present::PgnRow& row);

public slots:
    void showParseText(QString text);
    void clearText();
    void showChange(QItemSelection selected, QItemSelection deselected);
    void showResult(QStringList result);
    // One whole NMEA 2000 PGN: its key ("129025 Position, Rapid Update · src 3") joins
    // the list after whatever arrived before it; its table (every field with name, unit
    // and value, then the bytes) is filled only while the key is selected.
    void showPgn(const n2k::Message& message, const n2k::DecodedPgn& decoded,
                 const n2k::PgnDatabase* database);

public:
    // For tests: the table of an NMEA 2000 key, nullptr before it arrived.
    QStandardItemModel* pgnModel(const QString& key) const { return pgnModels.value(key); }

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
    // NMEA 2000 keys: past the bound, new PGN and source pairs are not listed.
    static constexpr int kMaxPgnKeys = 1000;
    QHash<quint32, QString> pgnKeyTexts;  // (PGN << 8 | source) -> key
    QHash<QString, QStandardItemModel*> pgnModels;
    // The last message of each NMEA 2000 key, decoded again when its table is shown.
    struct LastPgn {
        quint32 pgn = 0;
        quint8 priority = 0, source = 0, destination = 0;
        QByteArray payload;
    };
    QHash<QString, LastPgn> lastPgns;
    const n2k::PgnDatabase* pgnDatabase = nullptr;
    QString shownPgnKey;
    QList<present::PgnRow> shownPgnRows;  // the rows of shownPgnKey's table
    void fillPgnTable(const QString& key);
    // The catalogue entries whose tables a key's results go to, found once per key.
    QHash<QString, QList<int>> resultTablesByKey;
    bool readableMode = false;
};

#endif
