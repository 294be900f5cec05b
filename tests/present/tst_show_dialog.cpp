// The inspector: its tables, the keys list and the selection. (That the real window
// feeds it is shown in tst_window_parse.)
#include <QListView>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <cstring>

#include "app/show_dialog.h"
#include "nmea/records.h"
#include "present/field_catalogue.h"
#include "present/parse_cycle.h"

namespace {

// Delivers a result list as the window does: the parser of the same sentence has just
// written its key as the current sentence name.
void show(showDialog& dialog, const char* key, const char* list) {
    std::strncpy(nmeaz::currentSentenceName, key, nmeaz::kSentenceNameSize - 1);
    dialog.showResult(QString(list).split(u'|'));
}

const QStandardItemModel* table(const showDialog& dialog, std::string_view search) {
    for (int i = 0; i < present::kCatalogueSize; ++i) {
        if (present::fieldCatalogue()[i].searchText == search) {
            return dialog.fieldModel(i);
        }
    }
    return nullptr;
}

QString cell(const QAbstractItemModel* model, int row, int column) {
    return model->index(row, column).data().toString();
}

// Selects the key in the list and returns the table shown for it.
const QAbstractItemModel* select(showDialog& dialog, const QString& key) {
    auto* list = dialog.findChild<QListView*>("listView");
    list->selectionModel()->select(list->model()->index(dialog.keys().indexOf(key), 0),
                                   QItemSelectionModel::ClearAndSelect);
    return dialog.findChild<QTableView*>("tableView")->model();
}

}  // namespace

// Feeds sentences through the parse cycle into the inspector, as the window does.
void feed(showDialog& dialog, QByteArray bytes) {
    struct Sink : present::CycleSink {
        showDialog* dialog;
        void resultList(int, const QStringList& list) override { dialog->showResult(list); }
        void resultText(int, const QString&) override {}
        void snapshot(int, void*) override {}
        void separator() override {}
    } sink;
    sink.dialog = &dialog;
    present::runParseCycle(bytes, sink);
}

class ShowDialogTest : public QObject {
    Q_OBJECT

private slots:
    // Readable values show units beside the values and redraw at once; off again, the
    // table is the specified one, Type column empty. New types get tables of their own.
    void readableValuesToggle() {
        showDialog dialog;
        feed(dialog,
             "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W,A*07\r\n"
             "!AIVDM,1,1,,A,16SteH0P00Jt63hHaa6SagvJ087r,0*42\r\n"
             "$GPWPL,4917.16,N,12310.64,W,003*65\r\n"
             // Message 5, and message 8 with the weather of DAC 1 FID 31 (real traffic).
             "!AIVDM,2,1,1,A,55?MbV02;H;s<HtKR20EHE:0@T4@Dn2222222216L961O5Gf0NSQEp6ClRp8,0*1C\r\n"
             "!AIVDM,2,2,1,A,88888888880,2*25\r\n"
             "!AIVDM,2,1,9,B,8>j`;MP0GhRHI1S`CrTW2?u2Ot1owwnews0F003wwwwwww0001wwwwwwwwh0,0*02\r\n"
             "!AIVDM,2,2,9,B,00,4*18\r\n");
        const QStandardItemModel* rmc = table(dialog, "rmc");
        const QStandardItemModel* msg1 = table(dialog, "msg1");
        const QStandardItemModel* msg5 = table(dialog, "msg5");
        const QStandardItemModel* msg8 = table(dialog, "msg8");
        QCOMPARE(cell(rmc, 2, 2), QString("4807.04"));
        dialog.setReadable(true);
        const struct {
            const QStandardItemModel* model;
            int row;
            const char* value;
            const char* unit;
        } rows[] = {
            {rmc, 0, "12:35:19", ""},
            {rmc, 2, "48°07.0380′ N", "°"},
            {rmc, 4, "011°31.0000′ E", "°"},
            {rmc, 6, "22.4 kn", "kn"},
            {rmc, 8, "1994-03-23", ""},
            {msg1, 4, "n/a", ""},
            {msg1, 7, "070°45.4920′ W", "°"},
            {msg1, 10, "n/a", "°"},
            {table(dialog, "wpl"), 0, "49°17.1600′ N", "°"},
            // Voyage values: the packed ETA as a date and time, the draught in metres.
            {msg5, 13, "05-15 14:00 UTC", "UTC"},
            {msg5, 14, "12.2 m", "m"},
            // Weather values scaled by their definitions; "not available" codes as n/a.
            {msg8, 14, "17 kn", "kn"},
            {msg8, 15, "n/a", "kn"},
            {msg8, 18, "1.4 °C", "°C"},
            {msg8, 19, "n/a", "%"},
            {msg8, 20, "-0.1 °C", "°C"},
            {msg8, 21, "1013 hPa", "hPa"},
            {msg8, 25, "5.38 m", "m"},
        };
        for (const auto& r : rows) {
            QCOMPARE(cell(r.model, r.row, 2), QString::fromUtf8(r.value));
            QCOMPARE(cell(r.model, r.row, 1), QString::fromUtf8(r.unit));
        }
        dialog.setReadable(false);
        QCOMPARE(cell(rmc, 2, 2), QString("4807.04"));
        QCOMPARE(cell(rmc, 6, 2), QString("22.4"));
        QVERIFY(!rmc->index(6, 1).data().isValid());
        QCOMPARE(cell(msg1, 10, 2), QString("511"));
        QVERIFY(select(dialog, "$GPWPL") == table(dialog, "wpl"));
    }

    // Keys in order of arrival; $GPGGA and $GNGGA share the GGA table, which holds
    // the latest values with an empty Type column.
    void keysInArrivalOrderShareTheirTypeTable() {
        showDialog dialog;
        show(dialog, "$GPGGA", "1|4807.04");
        show(dialog, "$GPRMC", "2");
        show(dialog, "$GNGGA", "3|4807.04");
        show(dialog, "$GPGGA", "4|4807.04");
        QCOMPARE(dialog.keys(), (QStringList{"$GPGGA", "$GPRMC", "$GNGGA"}));
        const QAbstractItemModel* gga = select(dialog, "$GNGGA");
        QVERIFY(gga == table(dialog, "gga"));
        QCOMPARE(cell(gga, 0, 2), QString("4"));
        QVERIFY(!gga->index(1, 1).data().isValid());
        QVERIFY(select(dialog, "$GPRMC") == table(dialog, "rmc"));
    }

    // "msg18" and "msg14" must not be taken for "msg1", neither for the values nor on
    // selection.
    void aisKeysFindTheirOwnTables() {
        showDialog dialog;
        show(dialog, "!AIVDM_MSG18", "18|0|338087471");
        show(dialog, "!AIVDM_MSG14", "14");
        show(dialog, "!AIVDM_MSG1", "1|0|366053209");
        QCOMPARE(dialog.keys(), (QStringList{"!AIVDM_MSG18", "!AIVDM_MSG14", "!AIVDM_MSG1"}));
        QCOMPARE(cell(table(dialog, "msg18"), 2, 2), QString("338087471"));
        QCOMPARE(cell(table(dialog, "msg1"), 2, 2), QString("366053209"));
        QCOMPARE(cell(table(dialog, "msg14"), 0, 2), QString("14"));
        for (const char* message : {"msg14", "msg18", "msg1"}) {
            const QString key = "!AIVDM_" + QString(message).toUpper();
            QVERIFY(select(dialog, key) == table(dialog, message));
        }
    }

    // Every later message, own vessel's or not, has a table of its own, named by the
    // named output's names: "msg10" to "msg17" are not "msg1", "msg20" on not "msg2".
    void laterMessagesFindTheirOwnTables() {
        showDialog dialog;
        for (int type : {6, 7, 8, 10, 11, 12, 13, 15, 16, 17, 20, 22, 23, 25, 26, 27}) {
            const QString search = QString("msg%1").arg(type);
            const QString key = (type % 2 ? "!AIVDO_" : "!AIVDM_") + search.toUpper();
            show(dialog, key.toLatin1().constData(),
                 QString("%1|0|%2").arg(type).arg(type * 11).toLatin1().constData());
            const QStandardItemModel* own = table(dialog, search.toStdString());
            QVERIFY2(own != nullptr, qPrintable(key));
            QCOMPARE(cell(own, 2, 2), QString::number(type * 11));
            QCOMPARE(cell(own, 2, 0), QString("mmsi"));
            QVERIFY(select(dialog, key) == own);
        }
        QCOMPARE(cell(table(dialog, "msg1"), 2, 2), QString());
        QCOMPARE(cell(table(dialog, "msg2"), 2, 2), QString());
        QCOMPARE(cell(table(dialog, "msg27"), 6, 0), QString("lon"));
        QCOMPARE(cell(table(dialog, "msg8"), 8, 0), QString("lon"));  // after the data
        QCOMPARE(table(dialog, "msg8")->rowCount(), 47);
    }

    // Row names are kept exactly as users have always seen them, typos included.
    // Message 18 names its communication state rows after the selector of the latest
    // message; a SOTDMA state leaves row 18 as the ITDMA message left it.
    void rowNames() {
        showDialog dialog;
        QCOMPARE(cell(table(dialog, "mwd"), 0, 0), QString("Wind driection"));
        QCOMPARE(cell(table(dialog, "msg21"), 9, 0), QString("GPS Ant.Diatance from stern"));
        QCOMPARE(cell(table(dialog, "msg3"), 18, 0), QString("ITDMA Keep Flag"));
        const QStandardItemModel* msg18 = table(dialog, "msg18");
        QCOMPARE(cell(msg18, 15, 0), QString());
        show(dialog, "!AIVDM_MSG18", "18|0|3|0|0|0|-74|40|79|511|49|2|1|1|1|3|0|3|0");
        QCOMPARE(cell(msg18, 15, 0), QString("ITDMA Sync State"));
        QCOMPARE(cell(msg18, 17, 2), QString("3"));
        QCOMPARE(cell(msg18, 18, 0), QString("ITDMA Keep Flag"));
        show(dialog, "!AIVDM_MSG18", "18|0|3|0|0|0|-74|40|79|511|49|2|1|1|0|3|0|6");
        QCOMPARE(cell(msg18, 15, 0), QString("SOTDMA Sync State"));
        QCOMPARE(cell(msg18, 16, 0), QString("SOTDMA Slot Timeout"));
        QCOMPARE(cell(msg18, 17, 0), QString("SOTDMA Sub-Message"));
        QCOMPARE(cell(msg18, 17, 2), QString("6"));
        QCOMPARE(cell(msg18, 18, 0), QString("ITDMA Keep Flag"));
        QCOMPARE(cell(msg18, 18, 2), QString("0"));
    }

    // A key that no search text matches is listed but leaves the table shown; entries
    // beyond a table's rows are dropped.
    void unknownKeysAndSurplusEntries() {
        showDialog dialog;
        show(dialog, "$IIMTW", "17.5|C|extra|more");
        QCOMPARE(table(dialog, "mtw")->rowCount(), 2);
        QCOMPARE(cell(table(dialog, "mtw"), 1, 2), QString("C"));
        show(dialog, "$XXABC", "1|2");
        QCOMPARE(dialog.keys(), (QStringList{"$IIMTW", "$XXABC"}));
        QVERIFY(select(dialog, "$IIMTW") == table(dialog, "mtw"));
        QVERIFY(select(dialog, "$XXABC") == table(dialog, "mtw"));
    }
};

QTEST_MAIN(ShowDialogTest)
#include "tst_show_dialog.moc"
