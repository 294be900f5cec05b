#include "show_dialog.h"

#include <QStandardItemModel>
#include <QStringListModel>
#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>

#include "app/line_health.h"
#include "app/plot/plot_menu.h"
#include "n2k/pgn_decoder.h"
#include "nmea/records.h"
#include "nmea/sentence_parsers.h"
#include "present/n2k_named.h"
#include "present/parse_cycle.h"
#include "ui_show_dialog.h"

namespace {

QString fromView(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// Index in the catalogue of the entry with this search text.
int entryIndex(std::string_view searchText) {
    const auto& catalogue = present::fieldCatalogue();
    for (int i = 0; i < present::kCatalogueSize; ++i) {
        if (catalogue[i].searchText == searchText) {
            return i;
        }
    }
    return -1;
}

// NMEA types: every catalogue entry of a sentence type is tried on its own, in
// catalogue order.
bool isSentenceEntry(const present::CatalogueEntry& entry) {
    return entry.parseCode < nmeaz::kCodeAisBase;
}
// AIS messages: the first match wins, so longer numbers come before their prefixes.
constexpr std::string_view kAisResultSearch[] = {
    "msg10", "msg11", "msg12", "msg13", "msg15", "msg16", "msg17", "msg20", "msg22",
    "msg23", "msg25", "msg26", "msg27", "msg21", "msg24", "msg14", "msg18", "msg19",
    "msg1",  "msg2",  "msg3",  "msg4",  "msg5",  "msg9",  "msg6",  "msg7",  "msg8"};
// A selected key: the sentence types first, then the AIS messages, longer numbers
// before their prefixes.
constexpr std::string_view kAisSelectionSearch[] = {
    "msg10", "msg11", "msg12", "msg13", "msg15", "msg16", "msg17", "msg20", "msg22",
    "msg23", "msg25", "msg26", "msg27", "msg24", "msg21", "msg19", "msg18", "msg14",
    "msg9",  "msg5",  "msg4",  "msg3",  "msg2",  "msg1",  "msg6",  "msg7",  "msg8"};
static_assert(std::size(kAisSelectionSearch) == std::size(kAisResultSearch));

bool contains(const QString& lowerKey, std::string_view searchText) {
    return lowerKey.contains(
        QLatin1StringView(searchText.data(), static_cast<qsizetype>(searchText.size())));
}

}  // namespace

showDialog::showDialog(QWidget* parent) : QDialog(parent), ui(new Ui::showDialog) {
    ui->setupUi(this);

    keysModel = new QStringListModel(receivedKeys);
    ui->listView->setModel(keysModel);
    ui->listView->setEditTriggers(QAbstractItemView::NoEditTriggers);

    selection = ui->listView->selectionModel();
    connect(selection, &QItemSelectionModel::selectionChanged, this, &showDialog::showChange);

    // "Plot" on a row with a number in it.
    addPlotMenu(
        ui->tableView, [this](int row) { return rowIsNumber(row); },
        [this](int row) { plotRow(row); });

    const auto& catalogue = present::fieldCatalogue();
    for (int i = 0; i < present::kCatalogueSize; ++i) {
        const present::CatalogueEntry& entry = catalogue[i];
        auto* model = new QStandardItemModel(entry.rowCount, 3);
        model->setHeaderData(0, Qt::Horizontal, QStringLiteral("Name"));
        model->setHeaderData(1, Qt::Horizontal, QStringLiteral("Type"));
        model->setHeaderData(2, Qt::Horizontal, QStringLiteral("Value"));
        for (int row = 0; row < static_cast<int>(entry.rowNames.size()); ++row) {
            model->setData(model->index(row, 0), fromView(entry.rowNames[row]));
        }
        fieldModels[i] = model;
    }
}

showDialog::~showDialog() {
    delete ui;
    for (QStandardItemModel* model : fieldModels) {
        delete model;
    }
    qDeleteAll(pgnModels);
    delete keysModel;
}

// Result texts are published for any receiver; the inspector shows only the tables.
void showDialog::showParseText(QString) {}

void showDialog::clearText() {}

int catalogueEntryForKey(const QString& key) {
    const QString text = key.toLower();
    for (const present::CatalogueEntry& entry : present::fieldCatalogue()) {
        if (isSentenceEntry(entry) && contains(text, entry.searchText)) {
            return entryIndex(entry.searchText);
        }
    }
    for (std::string_view search : kAisSelectionSearch) {
        if (contains(text, search)) {
            return entryIndex(search);
        }
    }
    return -1;
}

void showDialog::showChange(QItemSelection selected, QItemSelection) {
    if (selected.indexes().size() != 1 || keysModel == nullptr) {
        return;
    }
    const QString key = selected.indexes().first().data(Qt::DisplayRole).toString();
    // NMEA 2000 keys have tables of their own; their descriptions must not be taken
    // for a sentence type's search text.
    if (QStandardItemModel* model = pgnModels.value(key)) {
        shownPgnKey = key;
        fillPgnTable(key);
        ui->tableView->setModel(model);
        return;
    }
    shownPgnKey.clear();
    shownPgnRows.clear();
    const int entry = catalogueEntryForKey(key);
    if (entry >= 0) {
        ui->tableView->setModel(fieldModels[entry]);
    }
}

void showDialog::showResult(QStringList result) {
    const QString key = QString::fromLatin1(
        nmeaz::currentSentenceName,
        static_cast<qsizetype>(strnlen(nmeaz::currentSentenceName, nmeaz::kSentenceNameSize)));
    if (!receivedKeys.contains(key)) {
        receivedKeys.append(key);
        keysModel->setStringList(receivedKeys);
    }

    const QList<int>& tables = resultTables(key);
    if (tables.isEmpty()) {
        return;
    }
    const QList<present::ReadableRow> readableRows =
        present::readableRows(present::currentDecoded());
    static const int msg18 = entryIndex("msg18");
    for (int entry : tables) {
        writeValues(fieldModels[entry], result, readableRows);
        if (entry == msg18) {
            nameMsg18CommState(result);
        }
    }
}

// Every sentence entry whose search text the key contains, then the first AIS message
// entry it contains: searched once per key, since a line repeats a few dozen keys.
const QList<int>& showDialog::resultTables(const QString& key) {
    const auto known = resultTablesByKey.constFind(key);
    if (known != resultTablesByKey.cend()) {
        return *known;
    }
    const QString lowerKey = key.toLower();
    QList<int> tables;
    for (const present::CatalogueEntry& entry : present::fieldCatalogue()) {
        if (isSentenceEntry(entry) && contains(lowerKey, entry.searchText)) {
            tables.append(entryIndex(entry.searchText));
        }
    }
    for (std::string_view search : kAisResultSearch) {
        if (contains(lowerKey, search)) {
            tables.append(entryIndex(search));
            break;
        }
    }
    return *resultTablesByKey.insert(key, tables);
}

// Both forms of a value are kept with it, so the readable toggle redraws at once.
constexpr int kSpecifiedRole = Qt::UserRole;
constexpr int kReadableRole = Qt::UserRole + 1;
constexpr int kUnitRole = Qt::UserRole + 2;

void showDialog::writeValues(QStandardItemModel* model, const QStringList& result,
                             const QList<present::ReadableRow>& readableRows) {
    // Rows the table does not have are left out: surplus entries are dropped.
    const int rows = std::min(static_cast<int>(result.size()), model->rowCount());
    for (int row = 0; row < rows; ++row) {
        const QModelIndex index = model->index(row, 2);
        if (!readableMode) {
            model->setData(index, result[row]);
        }
        model->setData(index, result[row], kSpecifiedRole);
        const bool known = row < readableRows.size();
        model->setData(index, known ? readableRows[row].value : result[row], kReadableRole);
        model->setData(index, known ? readableRows[row].unit : QString(), kUnitRole);
        if (readableMode) {
            showRow(model, row);
        }
    }
}

void showDialog::showRow(QStandardItemModel* model, int row) {
    const QModelIndex value = model->index(row, 2);
    if (!value.data(kSpecifiedRole).isValid()) {
        return;  // nothing received for this row yet
    }
    if (readableMode) {
        model->setData(value, value.data(kReadableRole));
        model->setData(model->index(row, 1), value.data(kUnitRole));
    } else {
        model->setData(value, value.data(kSpecifiedRole));
        delete model->takeItem(row, 1);  // the specified Type column is never written
    }
}

void showDialog::setReadable(bool on) {
    if (on == readableMode) {
        return;
    }
    readableMode = on;
    for (QStandardItemModel* model : fieldModels) {
        for (int row = 0; row < model->rowCount(); ++row) {
            showRow(model, row);
        }
    }
}

// Rows 15 on of message 18 hold the communication state that its selector flag (row
// 14) chose; their names follow the flag. A SOTDMA state leaves row 18 as it was.
void showDialog::nameMsg18CommState(const QStringList& result) {
    if (result.size() <= present::kMsg18SelectorRow) {
        return;
    }
    bool ok = false;
    const int selector = result[present::kMsg18SelectorRow].toInt(&ok);
    if (!ok) {
        return;
    }
    QStandardItemModel* model = fieldModels[entryIndex("msg18")];
    auto setNames = [&](const auto& names) {
        int row = present::kMsg18SelectorRow + 1;
        for (std::string_view name : names) {
            model->setData(model->index(row++, 0), fromView(name));
        }
    };
    if (selector == 1) {
        setNames(present::kMsg18ItdmaNames);
    } else if (selector == 0) {
        setNames(present::kMsg18SotdmaNames);
    }
}

void showDialog::showPgn(const n2k::Message& message, const n2k::DecodedPgn& decoded,
                         const n2k::PgnDatabase* database) {
    const quint32 id = message.pgn << 8 | message.source;
    auto known = pgnKeyTexts.constFind(id);
    if (known == pgnKeyTexts.cend()) {
        if (pgnKeyTexts.size() >= kMaxPgnKeys) {
            return;
        }
        QString description;
        if (decoded.definition != nullptr && database != nullptr) {
            const std::string_view text = database->text(decoded.definition->description);
            description = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
        }
        const QString key =
            QString::fromUtf8(LineHealth::pgnKeyText(message.pgn, description, message.source));
        known = pgnKeyTexts.insert(id, key);
        auto* model = new QStandardItemModel(0, 3);
        model->setHeaderData(0, Qt::Horizontal, tr("Name"));
        model->setHeaderData(1, Qt::Horizontal, tr("Unit"));
        model->setHeaderData(2, Qt::Horizontal, tr("Value"));
        pgnModels.insert(key, model);
        receivedKeys.append(key);
        keysModel->setStringList(receivedKeys);
    }
    pgnDatabase = database;
    const QString& key = known.value();
    LastPgn& last = lastPgns[key];
    last.pgn = message.pgn;
    last.priority = message.priority;
    last.source = message.source;
    last.destination = message.destination;
    const int length = std::clamp(message.length, 0, n2k::kMaxPayload);
    last.payload.resize(length);
    if (length > 0) {
        std::memcpy(last.payload.data(), message.data, static_cast<std::size_t>(length));
    }
    // Only the table on show is written: a busy bus sends far more than anyone reads.
    if (key == shownPgnKey) {
        fillPgnTable(key);
    }
}

void showDialog::fillPgnTable(const QString& key) {
    QStandardItemModel* model = pgnModels.value(key);
    const auto last = lastPgns.constFind(key);
    if (model == nullptr || last == lastPgns.cend()) {
        return;
    }
    QList<present::PgnRow> rows;
    if (pgnDatabase != nullptr) {
        auto message = std::make_unique<n2k::Message>();
        message->pgn = last->pgn;
        message->priority = last->priority;
        message->source = last->source;
        message->destination = last->destination;
        message->length = static_cast<int>(last->payload.size());
        std::memcpy(message->data, last->payload.constData(),
                    static_cast<std::size_t>(last->payload.size()));
        auto decoded = std::make_unique<n2k::DecodedPgn>();
        n2k::PgnDecoder decoder(*pgnDatabase);
        decoder.decode(*message, *decoded);
        rows = present::pgnRows(*pgnDatabase, *message, *decoded);
    }
    rows.append({tr("Bytes"), QString::fromLatin1(last->payload.toHex(' ').toUpper()), QString()});
    model->setRowCount(static_cast<int>(rows.size()));
    for (int row = 0; row < rows.size(); ++row) {
        model->setData(model->index(row, 0), rows[row].name);
        model->setData(model->index(row, 1), rows[row].unit);
        model->setData(model->index(row, 2), rows[row].value);
    }
    if (key == shownPgnKey) {
        shownPgnRows = std::move(rows);
    }
}

bool showDialog::rowIsNumber(int row) const {
    if (!shownPgnKey.isEmpty()) {
        return row >= 0 && row < shownPgnRows.size() && shownPgnRows[row].number;
    }
    const QAbstractItemModel* model = ui->tableView->model();
    bool number = false;
    if (model != nullptr && ui->listView->currentIndex().isValid()) {
        model->index(row, 2).data(kSpecifiedRole).toString().trimmed().toDouble(&number);
    }
    return number;
}

bool showDialog::plotRow(int row) {
    if (!rowIsNumber(row)) {
        return false;
    }
    if (!shownPgnKey.isEmpty()) {
        const LastPgn last = lastPgns.value(shownPgnKey);
        emit pgnPlotRequested(shownPgnKey, last.pgn, last.source, shownPgnRows[row]);
        return true;
    }
    const QAbstractItemModel* model = ui->tableView->model();
    emit plotRequested(ui->listView->currentIndex().data().toString(), row,
                       model->index(row, 0).data().toString(),
                       model->index(row, 2).data(kUnitRole).toString());
    return true;
}
