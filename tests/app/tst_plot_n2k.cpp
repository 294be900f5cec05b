// Plots of NMEA 2000 fields: fields named as --plot takes them, and the real window
// over a pseudo-terminal with "Plot" chosen on PGN rows of the inspector and of the
// Sentences dock, one series per field of each sending device, in the unit the rows
// show.
#include <QAbstractItemModel>
#include <QFile>
#include <QListView>
#include <QStandardItemModel>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/main_window.h"
#include "app/picture_docks.h"
#include "app/plot/plot_hub.h"
#include "app/plot/plot_window.h"
#include "app/sentences_dock.h"
#include "app/sentences_model.h"
#include "app/show_dialog.h"
#include "app/start_options.h"
#include "n2k_db/database_loader.h"
#include "plot/plot_series.h"
#include "support/pty.h"

namespace {

// Wind data, 130306: SID, speed in 0.01 m/s, angle in 0.0001 rad, reference.
constexpr char kWindFrom35[] = "01 02 02 5C 3D FA FF FF";    // 5.14 m/s (9.99 kn), 90°, apparent
constexpr char kFasterFrom36[] = "01 00 04 5C 3D FA FF FF";  // 10.24 m/s (19.90 kn)
constexpr char kNoSpeed[] = "01 FF FF 5C 3D FA FF FF";       // speed not available

QByteArray ydwgLine(quint8 source, const char* bytes) {
    // Priority 2, PGN 130306 (0x1FD02).
    return QByteArray("12:00:00.000 R 09FD02") +
           QByteArray::number(source, 16).rightJustified(2, '0').toUpper() + ' ' + bytes + "\r\n";
}

QByteArray satellitesLine() {
    QFile file(QStringLiteral(TIDEWRIGHT_N2K_TEST_DATA "/129540.raw"));
    return file.open(QIODevice::ReadOnly) ? file.readLine().trimmed() + "\r\n" : QByteArray();
}

int rowNamed(const QAbstractItemModel* model, const QString& name) {
    for (int r = 0; r < model->rowCount(); ++r) {
        if (model->index(r, 0).data().toString() == name) {
            return r;
        }
    }
    return -1;
}

}  // namespace

class PlotN2kTest : public QObject {
    Q_OBJECT

    qint64 now = 1'800'000'000'000;
    const n2k::PgnDatabase* database = nullptr;

private slots:
    void initTestCase() {
        qputenv("TIDEWRIGHT_PGN_DATABASE", TIDEWRIGHT_PGN_DATABASE_FILE);
        QString error;
        database = n2kdb::programPgnDatabase(error);
        QVERIFY2(database != nullptr, qPrintable(error));
    }

    // What --plot takes after a PGN key, and what it refuses.
    void namedPgnFields() {
        const struct {
            const char* key;
            const char* field;
            const char* series;  // nullptr: refused, with `error` in the message
            const char* error;
        } cases[] = {
            {"129025:3", "latitude", "129025 Position, Rapid Update · src 3 Latitude", nullptr},
            {" 129025 : 3 ", "Longitude", "129025 Position, Rapid Update · src 3 Longitude",
             nullptr},
            {"129540:26", "snr", "129540 GNSS Sats in View · src 26 SNR (1)", nullptr},
            {"129540:26", "SNR (3)", "129540 GNSS Sats in View · src 26 SNR (3)", nullptr},
            {"130312:1", "Temperature", nullptr, "no numeric field 'Temperature'"},
            {"130306:35", "Reference", nullptr, "no numeric field"},  // a lookup
            {"126992:1", "Date", nullptr, "no numeric field"},
            {"126992:1", "time", nullptr, "no numeric field"},
            {"130306:35", "Wind Speed (2)", nullptr, "no numeric field"},  // not in a set
            {"129540:26", "SNR (0)", nullptr, "no numeric field"},
            {"130306:256", "Wind Speed", nullptr, "from 0 to 255"},
            {"999999:3", "x", nullptr, "no PGN 999999"},
        };
        PlotHub hub([this] { return now; });
        for (const auto& c : cases) {
            QString error;
            const bool plotted = hub.plotNamed(c.key, c.field, &error);
            QVERIFY2(plotted == (c.series != nullptr), c.key);
            if (plotted) {
                QVERIFY2(hub.windows().constFirst()->findSeries(c.series), c.series);
            } else {
                QVERIFY2(error.contains(c.error), qPrintable(error));
            }
        }
        qDeleteAll(hub.windows());
    }

    void plotOptionTakesPgnKeys() {
        StartOptions options;
        QString text;
        QCOMPARE(
            parseStartOptions({"tidewright", "--plot", "129025:3", "latitude"}, options, &text),
            StartOutcome::Run);
        QCOMPARE(options.plots.value(0), (QPair<QString, QString>("129025:3", "latitude")));
        QCOMPARE(parseStartOptions({"tidewright", "--help"}, options, &text), StartOutcome::Help);
        QVERIFY(text.contains("PGN:ADDRESS"));
    }

    // The real window: "Plot" on the inspector's PGN rows and on the Sentences dock's
    // PGN field view; numeric rows only; the same field from both is one series.
    void windowPlotsPgnRows() {
        QTemporaryDir dir;
        QVERIFY(QDir::setCurrent(dir.path()));
        qputenv("XDG_CONFIG_HOME", dir.filePath("config").toLocal8Bit());
        TestPty pty;
        QVERIFY(pty.isValid());
        MainWindow window(pty.slavePath(), 4800);
        PlotHub* plots = window.pictureDocks()->plots();
        const QString key35 = "130306 Wind Data · src 35";
        const QString key36 = "130306 Wind Data · src 36";
        const QString key26 = "129540 GNSS Sats in View · src 26";
        QVERIFY(
            pty.send(ydwgLine(35, kWindFrom35) + ydwgLine(36, kFasterFrom36) + satellitesLine()));

        auto* inspector = window.findChild<showDialog*>();
        QTRY_VERIFY_WITH_TIMEOUT(inspector->keys().contains(key26), 10000);
        QVERIFY(inspector->keys().contains(key35));
        auto* keys = inspector->findChild<QListView*>("listView");
        keys->setCurrentIndex(keys->model()->index(int(inspector->keys().indexOf(key35)), 0));
        const QAbstractItemModel* rows = inspector->pgnModel(key35);
        const int speedRow = rowNamed(rows, "Wind Speed");
        QVERIFY(speedRow >= 0);
        QCOMPARE(rows->index(speedRow, 2).data().toString(), QString("9.99 kn"));
        QVERIFY(!inspector->plotRow(rowNamed(rows, "Reference")));  // a lookup
        QVERIFY(inspector->plotRow(speedRow));
        QCOMPARE(plots->windows().size(), 1);
        PlotWindow* plot = plots->windows().constFirst();
        QCOMPARE(plot->accessibleName(), "Plot: " + key35 + " Wind Speed");
        plot::PlotSeries* speed35 = plot->findSeries(key35 + " Wind Speed");
        QCOMPARE(QString::fromStdString(speed35->unit()), QString("kn"));

        // A satellite's SNR, the third of the set.
        keys->setCurrentIndex(keys->model()->index(int(inspector->keys().indexOf(key26)), 0));
        const QAbstractItemModel* sats = inspector->pgnModel(key26);
        QVERIFY(!inspector->plotRow(rowNamed(sats, "Status (3)")));
        QVERIFY(inspector->plotRow(rowNamed(sats, "SNR (3)")));
        const QString snrShown = sats->index(rowNamed(sats, "SNR (3)"), 2).data().toString();

        // The Sentences dock: the other device's wind speed, and the same field again.
        auto* sentences = window.findChild<SentencesDock*>();
        sentences->refresh();
        QTableView* keyView = sentences->keyView();
        QTableWidget* fields = sentences->fieldView();
        const auto select = [&](const QString& key) {
            for (int r = 0; r < keyView->model()->rowCount(); ++r) {
                if (keyView->model()->index(r, SentencesModel::Key).data().toString() == key)
                    keyView->selectRow(r);
            }
        };
        const auto fieldRow = [&](const QString& name) {
            for (int r = 0; r < fields->rowCount(); ++r) {
                if (fields->item(r, 0)->text() == name)
                    return r;
            }
            return -1;
        };
        select(key36);
        QVERIFY(!sentences->plotField(fieldRow("Priority")));  // the header is no field
        QVERIFY(!sentences->plotField(fieldRow("Reference")));
        QVERIFY(sentences->plotField(fieldRow("Wind Speed")));
        select(key35);
        QVERIFY(sentences->plotField(fieldRow("Wind Speed")));
        QCOMPARE(plot->seriesCount(), 3);
        plot::PlotSeries* speed36 = plot->findSeries(key36 + " Wind Speed");

        QVERIFY(
            pty.send(ydwgLine(35, kWindFrom35) + ydwgLine(36, kFasterFrom36) + satellitesLine()));
        plot::PlotSeries* snr = plot->findSeries(key26 + " SNR (3)");
        QTRY_COMPARE_WITH_TIMEOUT(snr->size(), std::size_t{1}, 10000);
        QCOMPARE(speed35->size(), std::size_t{1});
        // The plotted values read as the rows show them.
        QCOMPARE(QString::number(speed35->points().back().value, 'f', 2), QString("9.99"));
        QCOMPARE(QString::number(speed36->points().back().value, 'f', 2), QString("19.90"));
        QCOMPARE(QString::number(snr->points().back().value, 'f', 2) + " " +
                     QString::fromStdString(snr->unit()),
                 snrShown);
    }
};

QTEST_MAIN(PlotN2kTest)
#include "tst_plot_n2k.moc"
