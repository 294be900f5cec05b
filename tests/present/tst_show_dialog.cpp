// The inspector: its catalogue tables, the keys list and the selection, fed by the
// real parse cycle as the main window feeds it.
#include <QListView>
#include <QStandardItemModel>
#include <QStringListModel>
#include <QTableView>
#include <QTest>
#include <cstring>

#include "ais/layout.h"
#include "ais/vdm.h"
#include "app/show_dialog.h"
#include "cycle_recorder.h"
#include "nmea/records.h"
#include "present/field_catalogue.h"

using namespace testing_present;

namespace {

// Delivers result lists to the inspector the way the main window does: directly,
// while the current sentence name still belongs to the list.
class InspectorSink : public CycleRecorder {
public:
    explicit InspectorSink(showDialog* dialog) : dialog_(dialog) {}
    void resultList(int code, const QStringList& list) override {
        CycleRecorder::resultList(code, list);
        dialog_->showResult(list);
    }

private:
    showDialog* dialog_;
};

QString cell(const QStandardItemModel* model, int row, int column) {
    return model->index(row, column).data().toString();
}

int entryOf(std::string_view search) {
    for (int i = 0; i < present::kCatalogueSize; ++i) {
        if (present::fieldCatalogue()[i].searchText == search) {
            return i;
        }
    }
    return -1;
}

}  // namespace

class ShowDialogTest : public QObject {
    Q_OBJECT

private:
    void feed(showDialog& dialog, const QByteArray& bytes) {
        QByteArray buffer = bytes;
        InspectorSink sink(&dialog);
        present::runParseCycle(buffer, sink);
    }
    void select(showDialog& dialog, const QString& key) {
        auto* list = dialog.findChild<QListView*>("listView");
        const int row = dialog.keys().indexOf(key);
        QVERIFY(row >= 0);
        list->selectionModel()->select(list->model()->index(row, 0),
                                       QItemSelectionModel::ClearAndSelect);
    }
    QAbstractItemModel* shown(showDialog& dialog) {
        return dialog.findChild<QTableView*>("tableView")->model();
    }

private slots:
    void init() { ais::aisResetFragmentTable(); }

    void catalogueAgreesWithTheAisLayout() {
        const auto& catalogue = present::fieldCatalogue();
        for (int i = 14; i < present::kCatalogueSize; ++i) {
            const int message = catalogue[i].parseCode - 50;
            const ais::AisMessageLayout* layout = ais::aisLayoutFor(message);
            QVERIFY(layout != nullptr);
            QCOMPARE(catalogue[i].rowCount, layout->maxListEntries);
            QCOMPARE(QByteArray(catalogue[i].searchText.data(), catalogue[i].searchText.size()),
                     "msg" + QByteArray::number(message));
        }
    }

    void tablesBeforeAnyValue() {
        showDialog dialog;
        QCOMPARE(dialog.size(), QSize(790, 510));
        QCOMPARE(dialog.windowTitle(), QString("Dialog"));
        QVERIFY(shown(dialog) == nullptr);
        QVERIFY(dialog.findChild<QListView*>("listView")->editTriggers() ==
                QAbstractItemView::NoEditTriggers);
        for (int i = 0; i < present::kCatalogueSize; ++i) {
            const QStandardItemModel* model = dialog.fieldModel(i);
            QCOMPARE(model->columnCount(), 3);
            QCOMPARE(model->rowCount(), present::fieldCatalogue()[i].rowCount);
            QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QString("Name"));
            QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QString("Type"));
            QCOMPARE(model->headerData(2, Qt::Horizontal).toString(), QString("Value"));
        }
        const QStandardItemModel* gga = dialog.fieldModel(0);
        QCOMPARE(gga->rowCount(), 14);
        QCOMPARE(cell(gga, 0, 0), QString("UTC"));
        QCOMPARE(cell(gga, 13, 0), QString("Differential reference station ID"));
        // Names exactly as users have always seen them, typos included.
        QCOMPARE(cell(dialog.fieldModel(entryOf("mwd")), 0, 0), QString("Wind driection"));
        QCOMPARE(cell(dialog.fieldModel(entryOf("msg21")), 9, 0),
                 QString("GPS Ant.Diatance from stern"));
        QCOMPARE(cell(dialog.fieldModel(entryOf("msg3")), 18, 0), QString("ITDMA Keep Flag"));
        QCOMPARE(cell(dialog.fieldModel(entryOf("msg2")), 17, 0), QString("SOTDMA Sub-Message"));
    }

    void firstGgaFillsItsTable() {
        showDialog dialog;
        feed(dialog, sentence("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"));
        QCOMPARE(dialog.keys(), QStringList{"$GPGGA"});
        select(dialog, "$GPGGA");
        const QAbstractItemModel* table = shown(dialog);
        QVERIFY(table == dialog.fieldModel(0));
        QCOMPARE(table->index(1, 2).data().toString(), QString("4807.04"));
        QCOMPARE(table->index(13, 2).data().toString(), QString("0"));
        for (int row = 0; row < 14; ++row) {
            QVERIFY(!table->index(row, 1).data().isValid());
        }
    }

    void keysInArrivalOrderShareTheirTypeTable() {
        showDialog dialog;
        feed(dialog, sentence("GPGGA,1,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,") +
                         sentence("GPRMC,2,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W,A") +
                         sentence("GNGGA,3,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,") +
                         sentence("GPGGA,4,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"));
        QCOMPARE(dialog.keys(), (QStringList{"$GPGGA", "$GPRMC", "$GNGGA"}));
        select(dialog, "$GNGGA");
        QVERIFY(shown(dialog) == dialog.fieldModel(0));
        QCOMPARE(shown(dialog)->index(0, 2).data().toString(), QString("4"));
        select(dialog, "$GPRMC");
        QVERIFY(shown(dialog) == dialog.fieldModel(1));
    }

    // "msg18" and "msg14" must not be taken for "msg1", nor "msg21" for "msg2".
    void aisKeysFindTheirOwnTables() {
        showDialog dialog;
        feed(dialog, aivdm("1,1,,A,B52K>;h00Fc>jpUlNV@ikwpUoP06,0") +
                         aivdm("1,1,,A,>5?Per18=HB1U:1@E=B0m<L,2") +
                         aivdm("1,1,,B,15M67FC000G?ufbE`FepT@3n00Sa,0"));
        QCOMPARE(dialog.keys(), (QStringList{"!AIVDM_MSG18", "!AIVDM_MSG14", "!AIVDM_MSG1"}));
        QCOMPARE(cell(dialog.fieldModel(entryOf("msg18")), 2, 2), QString("338087471"));
        QCOMPARE(cell(dialog.fieldModel(entryOf("msg1")), 2, 2), QString("366053209"));
        QCOMPARE(cell(dialog.fieldModel(entryOf("msg14")), 0, 2), QString("14"));
        select(dialog, "!AIVDM_MSG14");
        QVERIFY(shown(dialog) == dialog.fieldModel(entryOf("msg14")));
        select(dialog, "!AIVDM_MSG18");
        QVERIFY(shown(dialog) == dialog.fieldModel(entryOf("msg18")));
        select(dialog, "!AIVDM_MSG1");
        QVERIFY(shown(dialog) == dialog.fieldModel(entryOf("msg1")));
    }

    // The communication state rows are named after the selector of the latest
    // message 18; a SOTDMA state leaves row 18 as the ITDMA message left it.
    void message18RowNamesFollowTheSelector() {
        showDialog dialog;
        const QStandardItemModel* table = dialog.fieldModel(entryOf("msg18"));
        QCOMPARE(cell(table, 15, 0), QString());
        feed(dialog, aivdm("1,1,,A,B52K>;h00Fc>jpUlNV@ikwpUoP06,0"));
        QCOMPARE(cell(table, 15, 0), QString("ITDMA Sync State"));
        QCOMPARE(cell(table, 18, 0), QString("ITDMA Keep Flag"));
        QCOMPARE(cell(table, 18, 2), QString("0"));
        QCOMPARE(cell(table, 17, 2), QString("3"));

        feed(dialog, aivdm("1,1,,A,B52K>;h00Fc>jpUlNV@ikwpUmP06,0"));
        QCOMPARE(cell(table, 15, 0), QString("SOTDMA Sync State"));
        QCOMPARE(cell(table, 16, 0), QString("SOTDMA Slot Timeout"));
        QCOMPARE(cell(table, 17, 0), QString("SOTDMA Sub-Message"));
        QCOMPARE(cell(table, 17, 2), QString("6"));
        QCOMPARE(cell(table, 18, 0), QString("ITDMA Keep Flag"));
        QCOMPARE(cell(table, 18, 2), QString("0"));
    }

    void keyWithoutSearchTextLeavesTheTable() {
        showDialog dialog;
        feed(dialog, sentence("GPGGA,1,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"));
        select(dialog, "$GPGGA");
        // A key that no search text matches.
        std::memcpy(nmeaz::currentSentenceName, "$XXABC", 7);
        dialog.showResult(QStringList{"1", "2"});
        QCOMPARE(dialog.keys(), (QStringList{"$GPGGA", "$XXABC"}));
        select(dialog, "$XXABC");
        QVERIFY(shown(dialog) == dialog.fieldModel(0));
    }

    void surplusEntriesAreDropped() {
        showDialog dialog;
        std::memcpy(nmeaz::currentSentenceName, "$IIMTW", 7);
        dialog.showResult(QStringList{"17.5", "C", "extra", "more"});
        const QStandardItemModel* mtw = dialog.fieldModel(entryOf("mtw"));
        QCOMPARE(mtw->rowCount(), 2);
        QCOMPARE(cell(mtw, 1, 2), QString("C"));
    }
};

QTEST_MAIN(ShowDialogTest)
#include "tst_show_dialog.moc"
