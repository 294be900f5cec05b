// The pictures: the sky dock drawn offscreen with satellites where their elevation and
// azimuth put them, its values readable by a screen reader; plot windows with their
// controls, exports and feeds; and both fed by the real main window over a
// pseudo-terminal, with "Plot" chosen in the inspector.
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QListView>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "app/ais_targets_dock.h"
#include "app/ais_targets_model.h"
#include "app/main_window.h"
#include "app/picture_docks.h"
#include "app/plot/plot_hub.h"
#include "app/plot/plot_window.h"
#include "app/sentences_dock.h"
#include "app/sentences_model.h"
#include "app/show_dialog.h"
#include "app/sky/signal_bars.h"
#include "app/sky/sky_dock.h"
#include "app/sky/sky_painting.h"
#include "app/sky/sky_plot.h"
#include "app/start_options.h"
#include "plot/plot_csv.h"
#include "plot/plot_series.h"
#include "support/pty.h"

namespace {

using sky::Constellation;
using sky::SatelliteReport;

QByteArray withChecksum(const QByteArray& body) {
    unsigned char sum = 0;
    for (qsizetype i = 1; i < body.size(); ++i)
        sum ^= static_cast<unsigned char>(body[i]);
    return body + '*' + QByteArray::number(sum, 16).toUpper().rightJustified(2, '0') + "\r\n";
}

bool near(QRgb pixel, const QColor& colour) {
    return std::abs(qRed(pixel) - colour.red()) < 40 &&
           std::abs(qGreen(pixel) - colour.green()) < 40 &&
           std::abs(qBlue(pixel) - colour.blue()) < 40;
}

}  // namespace

class PicturesTest : public QObject {
    Q_OBJECT

    qint64 now = 1'800'000'000'000;

private slots:
    // Filled where tracked, hollow where not, nothing where a satellite has no
    // position (a bar only), and faded out once gone.
    void skyPlotDrawsSatellitesWhereTheyAre() {
        SkyDock dock([this] { return now; });
        const SatelliteReport list[] = {
            {Constellation::Gps, 5, 0, true, 0, 90, true, 45},        // east horizon
            {Constellation::Galileo, 7, 0, true, 90, 0, true, 38},    // zenith
            {Constellation::Glonass, 3, 0, true, 45, 180, false, 0},  // south, untracked
            {Constellation::BeiDou, 9, 0, false, 0, 0, true, 30},     // no position
        };
        dock.model().setSatellitesInView(list);
        dock.refresh();
        SkyPlot* plot = dock.plot();
        plot->resize(300, 300);
        const QImage image = plot->grab().toImage();
        const QRectF area = plot->rect();
        QCOMPARE(image.size(), plot->size());
        for (const SatelliteReport& s : list) {
            if (!s.hasPosition)
                continue;
            const QPointF at = skyview::skyPosition(area, s.elevation, s.azimuth);
            const QColor colour = skyview::constellationColour(s.system);
            const QRgb inside = image.pixel(QPoint(int(at.x() + 5), int(at.y() + 5)));
            QCOMPARE(near(inside, colour), s.tracked);
            QVERIFY(near(image.pixel(QPoint(int(at.x()), int(at.y() - 9))), colour));
        }
        const QPointF east = skyview::skyPosition(area, 0, 90);
        QCOMPARE(east.y(), skyview::plotCircle(area).center().y());
        QCOMPARE(east.x(), skyview::plotCircle(area).right());
        QCOMPARE(skyview::skyPosition(area, 90, 123), skyview::plotCircle(area).center());

        // The bars: as high as the strength, the untracked one a low frame.
        SignalBars* bars = dock.bars();
        bars->resize(200, 120);
        QVERIFY(bars->barRect(0).height() > bars->barRect(1).height());
        QVERIFY(bars->barRect(2).height() < bars->barRect(3).height());

        now += sky::SkyModel::kGoneAfterMs;
        dock.refresh();
        QCOMPARE(dock.model().count(), 0);
        const QImage empty = plot->grab().toImage();
        const QPointF zenith = skyview::skyPosition(area, 90, 0);
        QVERIFY(!near(empty.pixel(QPoint(int(zenith.x() + 5), int(zenith.y() + 5))),
                      skyview::constellationColour(Constellation::Galileo)));
    }

    void skyValuesAreReadable() {
        SkyDock dock([this] { return now; });
        QCOMPARE(dock.accessibleName(), QString("Sky View"));
        QCOMPARE(dock.windowTitle(), QString("Sky View"));
        const SatelliteReport list[] = {{Constellation::Gps, 5, 0, true, 10, 90, true, 45},
                                        {Constellation::Gps, 6, 0, true, 20, 90, true, 40}};
        const bool used[] = {true, false};
        dock.model().setSatellitesInView(list, used, true);
        dock.model().setDops({1.7, 0.8, 1.6});
        dock.model().setFixMode(3);
        dock.refresh();
        QStringList names;
        for (QLabel* label : dock.findChildren<QLabel*>())
            names << label->accessibleName();
        QVERIFY2(names.contains("PDOP / HDOP / VDOP: 1.7 / 0.8 / 1.6"),
                 qPrintable(names.join('|')));
        QVERIFY(names.contains("Fix: 3D"));
        QVERIFY(names.contains("Satellites in view / in use: 2 / 1"));
        for (QWidget* w : dock.findChildren<QWidget*>()) {
            if (qobject_cast<QLabel*>(w) || w->inherits("QComboBoxPrivateContainer") ||
                w->parent() != dock.widget())
                continue;
            QVERIFY2(!w->accessibleName().isEmpty(), w->metaObject()->className());
        }
        QCOMPARE(dock.satelliteChooser()->count(), 3);
        dock.selectSatellite(1);
        QCOMPARE(dock.satelliteChooser()->currentText(), QString("GPS 6"));
    }

    // The window's controls are named, the window names its series, the window length
    // follows the chooser, pause stops it moving, and both exports write what is visible.
    void plotWindowControlsAndExports() {
        PlotWindow window([this] { return now; });
        plot::PlotSeries* depth = window.addSeries("$SDDPT field 1", "m");
        plot::PlotSeries* speed = window.addSeries("$GPRMC Sog", "kn");
        QCOMPARE(window.addSeries("$SDDPT field 1", "m"), depth);
        QCOMPARE(window.accessibleName(), QString("Plot: $SDDPT field 1, $GPRMC Sog"));
        for (QWidget* control : std::initializer_list<QWidget*>{
                 window.windowChooser(), window.pauseBox(), window.scrollBar(), window.readout(),
                 window.plotWidget()})
            QVERIFY(!control->accessibleName().isEmpty());
        for (int i = 0; i < 1200; ++i) {
            depth->add(now - 120'000 + i * 100, 5 + (i % 10) * 0.1);
            speed->add(now - 120'000 + i * 100, 6.5);
        }
        window.windowChooser()->setCurrentIndex(1);
        QCOMPARE(window.plotWidget()->windowMs(), 600'000);
        window.windowChooser()->setCurrentIndex(0);
        window.pauseBox()->setChecked(true);
        const qint64 frozen = window.plotWidget()->endMs();
        now += 5'000;
        QCOMPARE(window.plotWidget()->endMs(), frozen);
        QVERIFY(window.scrollBar()->isEnabled());
        window.scrollBar()->setValue(window.scrollBar()->value() - 30);
        QCOMPARE(window.plotWidget()->endMs(), (frozen / 1000 - 30) * 1000);

        const QString readout = window.plotWidget()->readoutAt(400);
        QVERIFY2(readout.contains(QRegularExpression("\\$SDDPT field 1 = 5(\\.\\d)? m")) &&
                     readout.contains("$GPRMC Sog = 6.5 kn"),
                 qPrintable(readout));

        QTemporaryDir dir;
        QString error;
        QVERIFY(window.exportCsv(dir.filePath("plot.csv"), &error));
        QFile file(dir.filePath("plot.csv"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray csv = file.readAll();
        const auto rows = plot::fromCsv(csv.toStdString());
        QVERIFY(rows.has_value());
        const qint64 end = window.plotWidget()->endMs();
        QCOMPARE(static_cast<qsizetype>(rows->size()),
                 static_cast<qsizetype>(depth->between(end - 60'000, end).size() * 2));
        QVERIFY(window.exportPng(dir.filePath("plot.png"), &error));
        QVERIFY(!QImage(dir.filePath("plot.png")).isNull());
        QVERIFY(!window.exportCsv(dir.filePath("missing/plot.csv"), &error));
        QVERIFY(error.contains("missing/plot.csv"));
        window.pauseBox()->setChecked(false);
        QCOMPARE(window.plotWidget()->endMs(), now);
    }

    void hubFeedsAndForgets() {
        PlotHub hub([this] { return now; });
        QString error;
        QVERIFY(hub.plotNamed("$SDDPT", "field 1", &error));
        QVERIFY(hub.plotNamed("$SDDPT", "2", &error));
        QCOMPARE(hub.windows().size(), 1);
        QVERIFY(!hub.plotNamed("$SDDPT", "0", &error));
        QVERIFY(!hub.plotNamed("244660000", "Name", &error));  // text is not plotted
        QVERIFY(hub.plotNamed("244660000", "Speed over ground", &error));
        QVERIFY(!hub.plotNamed("$GPGGA", "No such row", &error));
        QVERIFY(!hub.plotNamed("$GPGGA", "L", &error));  // Latitude or Longitude?
        QVERIFY(error.contains("'L'"));
        PlotWindow* window = hub.windows().constFirst();
        QCOMPARE(window->seriesCount(), 3);

        const struct {
            QByteArray sentence;
            bool good;
            int depthPoints;
        } feeds[] = {
            {withChecksum("$SDDPT,5.2,0.3,"), true, 1},
            {withChecksum("$SDDPT,,0.3,"), true, 1},      // empty: no point
            {withChecksum("$SDDPT,5.4,0.3,"), false, 1},  // bad checksum
            {"$SDDPT,5.6,0.3\r\n", true, 2},              // no checksum at all
            {withChecksum("$SDDPTX,5.8"), true, 2},       // another key
            {withChecksum("$SDDPT,abc,0.3"), true, 2},    // not a number
        };
        for (const auto& f : feeds) {
            hub.framed(f.sentence, f.good);
            QCOMPARE(static_cast<int>(window->findSeries("$SDDPT field 1")->size()), f.depthPoints);
        }
        QCOMPARE(window->findSeries("$SDDPT field 1")->points().back().value, 5.6);
        QCOMPARE(window->findSeries("$SDDPT field 2")->size(), std::size_t{4});

        delete window;
        QVERIFY(hub.windows().isEmpty());
        hub.framed(withChecksum("$SDDPT,5.2,0.3,"), true);  // forgotten: nothing to feed
        QVERIFY(hub.plotNamed("$SDDPT", "1", &error));
        QCOMPARE(hub.windows().constFirst()->findSeries("$SDDPT field 1")->size(), std::size_t{0});
        qDeleteAll(hub.windows());
    }

    // --plot takes two values, repeatable, among the other options in any order.
    void plotOptions() {
        StartOptions options;
        QString text;
        QCOMPARE(parseStartOptions({"tidewright", "--plot", "$GPGGA", "Horizontal dil", "--baud",
                                    "9600", "--plot", "244660000", "Speed over ground"},
                                   options, &text),
                 StartOutcome::Run);
        QCOMPARE(options.baud, 9600);
        const QList<QPair<QString, QString>> expected = {{"$GPGGA", "Horizontal dil"},
                                                         {"244660000", "Speed over ground"}};
        QCOMPARE(options.plots, expected);
        StartOptions short_;
        QCOMPARE(parseStartOptions({"tidewright", "--plot", "$GPGGA"}, short_, &text),
                 StartOutcome::Error);
        QVERIFY(text.contains("--plot needs a key and a field"));
        QCOMPARE(parseStartOptions({"tidewright", "--help"}, short_, &text), StartOutcome::Help);
        QVERIFY(text.contains("--plot KEY FIELD"));
    }

    // The real window over a pseudo-terminal: a GSV group and a GSA reach the sky
    // dock; "Plot" on the inspector's HDOP row plots every later GGA's HDOP.
    void mainWindowFeedsBoth() {
        QTemporaryDir dir;
        QVERIFY(QDir::setCurrent(dir.path()));
        TestPty pty;
        QVERIFY(pty.isValid());
        MainWindow window(pty.slavePath(), 4800);
        PictureDocks* pictures = window.pictureDocks();
        QVERIFY(pictures);
        const QByteArray gga =
            withChecksum("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
        QVERIFY(pty.send(withChecksum("$GPGSV,2,1,05,03,41,050,46,07,60,317,49,08,34,315,45,11,"
                                      "35,148,45") +
                         withChecksum("$GPGSV,2,2,05,13,38,213,") +
                         withChecksum("$GPGSA,A,3,03,07,,,,,,,,,,,1.7,0.9,1.4") + gga));
        sky::SkyModel& model = pictures->skyDock()->model();
        QTRY_COMPARE_WITH_TIMEOUT(model.count(), 5, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(model.inUse(), 2, 10000);

        auto* inspector = window.findChild<showDialog*>();
        QTRY_VERIFY_WITH_TIMEOUT(inspector->keys().contains("$GPGGA"), 10000);
        auto* keys = inspector->findChild<QListView*>("listView");
        keys->setCurrentIndex(
            keys->model()->index(static_cast<int>(inspector->keys().indexOf("$GPGGA")), 0));
        int hdopRow = -1;
        const QAbstractItemModel* rows = inspector->fieldModel(catalogueEntryForKey("$GPGGA"));
        for (int r = 0; r < rows->rowCount(); ++r) {
            if (rows->index(r, 0).data().toString() == "Horizontal dilution of precision")
                hdopRow = r;
        }
        QVERIFY(hdopRow >= 0);
        QVERIFY(inspector->plotRow(hdopRow));
        QCOMPARE(pictures->plots()->windows().size(), 1);
        PlotWindow* plot = pictures->plots()->windows().constFirst();
        QCOMPARE(plot->accessibleName(), QString("Plot: $GPGGA Horizontal dilution of precision"));
        QVERIFY(pty.send(gga));
        plot::PlotSeries* series = plot->findSeries("$GPGGA Horizontal dilution of precision");
        QTRY_COMPARE_WITH_TIMEOUT(series->size(), std::size_t{1}, 10000);
        QCOMPARE(series->points().back().value, 0.9);

        // The Sentences dock's field view: field 7 of GGA (satellites) as sent.
        auto* sentences = window.findChild<SentencesDock*>();
        sentences->refresh();
        QTableView* keyView = sentences->keyView();
        for (int r = 0; r < keyView->model()->rowCount(); ++r) {
            if (keyView->model()->index(r, SentencesModel::Key).data().toString() == "$GPGGA")
                keyView->selectRow(r);
        }
        QVERIFY(!sentences->plotField(3));  // "N"
        QVERIFY(!sentences->plotField(0));  // the address
        QVERIFY(sentences->plotField(7));
        QVERIFY(plot->findSeries("$GPGGA field 7"));

        // An AIS target's speed, sampled at every refresh of the targets dock.
        QVERIFY(pty.send("!AIVDM,1,1,,B,13aDp<PP000IwSlN?Wm@0?wN2<1T,0*29\r\n" + gga));
        QTRY_COMPARE_WITH_TIMEOUT(plot->findSeries("$GPGGA field 7")->size(), std::size_t{1},
                                  10000);
        QCOMPARE(plot->findSeries("$GPGGA field 7")->points().back().value, 8.0);
        AisTargetsDock* targets = window.aisTargetsDock();
        targets->refresh();
        QCOMPARE(targets->model()->table().size(), 1);
        targets->selectMmsi(targets->model()->table().sortedByMmsi().front()->mmsi);
        QTableWidget* details = targets->detailsView();
        int speedRow = -1;
        for (int r = 0; r < details->rowCount(); ++r) {
            if (details->item(r, 0)->text() == "Speed over ground (kn)")
                speedRow = r;
        }
        QVERIFY(speedRow >= 3);
        QVERIFY(!targets->plotDetail(0));  // the MMSI
        QVERIFY(targets->plotDetail(speedRow));
        const QString speedName =
            QString("AIS %1 Speed over ground (kn)").arg(targets->selectedMmsi());
        QVERIFY(plot->findSeries(speedName));
        targets->refresh();
        QCOMPARE(plot->findSeries(speedName)->size(), std::size_t{1});
        QCOMPARE(plot->findSeries(speedName)->points().back().value, 0.0);
    }
};

QTEST_MAIN(PicturesTest)
#include "tst_pictures.moc"
