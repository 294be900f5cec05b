// The "AIS Targets" dock on an injected clock: targets appear, grey, and leave;
// distance waits for own position; numeric sorting; selection shared by table and
// plan view; the plan view's repaint limit.
#include <QComboBox>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <cstring>

#include "ais/records.h"
#include "app/ais_targets_dock.h"
#include "app/plan_view.h"
#include "nmea/records.h"
#include "nmea/sentence_parsers.h"

namespace {

constexpr qint64 kMinute = 60000;

ais::AisPositionReport vessel(quint32 mmsi, double lat, double lon, unsigned sogTenths,
                              unsigned cogTenths) {
    ais::AisPositionReport r{};
    r.message_type = 1;
    r.mmsi = mmsi;
    r.rate_of_turn = -128;
    r.speed_over_ground = sogTenths;
    r.latitude = static_cast<std::int32_t>(lat * 600000.0);
    r.longitude = static_cast<std::int32_t>(lon * 600000.0);
    r.course_over_ground = cogTenths;
    r.true_heading = 511;
    return r;
}

ais::AisMessage5 named(quint32 mmsi, const char* name) {
    ais::AisMessage5 r{};
    r.message_type = 5;
    r.mmsi = mmsi;
    std::memset(r.ship_name, '@', 20);
    std::memcpy(r.ship_name, name, std::strlen(name));
    return r;
}

}  // namespace

class TestAisTargetsDock : public QObject {
    Q_OBJECT

private:
    qint64 now_ = 0;
    AisTargetsDock* makeDock() {
        now_ = 0;
        return new AisTargetsDock(targets::TableSettings{}, [this] { return now_; });
    }
    static QString cell(AisTargetsDock* dock, quint32 mmsi, int column) {
        const int row = dock->model()->rowOf(mmsi);
        return dock->model()->index(row, column).data().toString();
    }
    static quint32 currentMmsi(AisTargetsDock* dock) {
        return dock->tableView()->currentIndex().data(AisTargetsModel::MmsiRole).toUInt();
    }

private slots:
    void targetsAppearAgeAndLeave() {
        std::unique_ptr<AisTargetsDock> dock(makeDock());
        const auto ship = vessel(211000001, 54.0, 10.0, 100, 900);
        const auto anchored = vessel(211000002, 54.01, 10.0, 0, 0);
        dock->addAisRecord(1, &ship, false);
        const auto name = named(211000001, "NORDLICHT");
        dock->addAisRecord(5, &name, false);
        dock->refresh();
        QCOMPARE(dock->model()->rowCount(), 1);
        QCOMPARE(cell(dock.get(), 211000001, AisTargetsModel::Name), QStringLiteral("NORDLICHT"));
        QCOMPARE(cell(dock.get(), 211000001, AisTargetsModel::Heading), QString());   // 511
        QCOMPARE(cell(dock.get(), 211000001, AisTargetsModel::Distance), QString());  // no own ship

        now_ = 2 * kMinute;
        dock->addAisRecord(1, &anchored, false);
        dock->refresh();
        QCOMPARE(dock->model()->rowCount(), 2);
        const QModelIndex first = dock->model()->index(dock->model()->rowOf(211000001), 0);
        QVERIFY(!first.data(Qt::ForegroundRole).isValid());

        now_ = 3 * kMinute + 1;  // three minutes without a position: grey
        dock->refresh();
        QVERIFY(dock->model()
                    ->index(dock->model()->rowOf(211000001), 0)
                    .data(Qt::ForegroundRole)
                    .isValid());
        QCOMPARE(cell(dock.get(), 211000001, AisTargetsModel::Age), QStringLiteral("3 min 00 s"));

        now_ = 10 * kMinute + 1;  // ten minutes silent: gone; the other stays
        dock->refresh();
        QCOMPARE(dock->model()->rowCount(), 1);
        QCOMPARE(dock->model()->rowOf(211000001), -1);
        QVERIFY(dock->model()->rowOf(211000002) >= 0);
    }

    void ownPositionBringsDistanceAndNumericSorting() {
        std::unique_ptr<AisTargetsDock> dock(makeDock());
        // 12, 3 and 0.6 NM north of own ship: text order would put 12 first.
        const double northNm[] = {12.0, 3.0, 0.6};
        for (int i = 0; i < 3; ++i) {
            const auto r = vessel(211000010 + i, northNm[i] / 60.0, 0.0, 0, 0);
            dock->addAisRecord(1, &r, false);
        }
        const auto far = vessel(211000020, 91.0, 181.0, 1023, 3600);  // no position
        dock->addAisRecord(1, &far, false);
        nmeaz::RmcRecord rmc{};
        rmc.status = 'A';
        rmc.ns = 'N';
        rmc.ew = 'E';
        dock->addSentenceRecord(nmeaz::kCodeRmc, &rmc);
        dock->refresh();
        QCOMPARE(cell(dock.get(), 211000011, AisTargetsModel::Distance), QStringLiteral("3.00"));
        QCOMPARE(cell(dock.get(), 211000011, AisTargetsModel::Bearing), QStringLiteral("0"));
        QCOMPARE(cell(dock.get(), 211000020, AisTargetsModel::Distance), QString());

        dock->tableView()->sortByColumn(AisTargetsModel::Distance, Qt::AscendingOrder);
        QAbstractItemModel* view = dock->tableView()->model();
        QList<quint32> order;
        for (int row = 0; row < view->rowCount(); ++row) {
            order << view->index(row, 0).data(AisTargetsModel::MmsiRole).toUInt();
        }
        QCOMPARE(order, (QList<quint32>{211000012, 211000011, 211000010, 211000020}));
    }

    void selectionIsSharedByTableAndPlanView() {
        std::unique_ptr<AisTargetsDock> dock(makeDock());
        nmeaz::RmcRecord rmc{};
        rmc.status = 'A';
        rmc.latitude = 5400.0;
        rmc.ns = 'N';
        rmc.longitude = 1000.0;
        rmc.ew = 'E';
        dock->addSentenceRecord(nmeaz::kCodeRmc, &rmc);
        const auto east = vessel(211000030, 54.0, 10.0 + 2.0 / 60.0, 50, 0);
        const auto south = vessel(211000031, 54.0 - 2.0 / 60.0, 10.0, 50, 0);
        dock->addAisRecord(1, &east, false);
        dock->addAisRecord(1, &south, false);
        dock->resize(900, 500);
        dock->show();
        QVERIFY(QTest::qWaitForWindowExposed(dock.get()));
        dock->refresh();
        dock->planView()->repaint();

        QPointF eastPoint;
        QPointF southPoint;
        QVERIFY(dock->planView()->targetPoint(211000030, eastPoint));
        QVERIFY(dock->planView()->targetPoint(211000031, southPoint));
        QVERIFY(eastPoint.x() > southPoint.x());
        QVERIFY(southPoint.y() > eastPoint.y());

        QTest::mouseClick(dock->planView(), Qt::LeftButton, {}, eastPoint.toPoint());
        QCOMPARE(currentMmsi(dock.get()), 211000030u);
        QCOMPARE(dock->selectedMmsi(), 211000030u);
        QVERIFY(dock->detailsView()->rowCount() > 3);

        const int row =
            dock->tableView()->model()->index(0, 0).data(AisTargetsModel::MmsiRole).toUInt() ==
                    211000031u
                ? 0
                : 1;
        dock->tableView()->selectRow(row);
        QCOMPARE(dock->planView()->selectedMmsi(), 211000031u);

        // The range combo and the wheel move together.
        QComboBox* range = dock->findChild<QComboBox*>();
        QVERIFY(range != nullptr);
        const double before = dock->planView()->range();
        QWheelEvent wheel(QPointF(50, 50), dock->planView()->mapToGlobal(QPointF(50, 50)), QPoint(),
                          QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(dock->planView(), &wheel);
        QVERIFY(dock->planView()->range() < before);
        QCOMPARE(range->currentData().toDouble(), dock->planView()->range());
    }

    // A weather station's report (message 8, DAC 1 FID 31) makes a target at the
    // station, and its details carry the values scaled, those not available left out.
    void weatherStationShowsItsValues() {
        std::unique_ptr<AisTargetsDock> dock(makeDock());
        ais::AisMessage8 met{};
        met.message_type = 8;
        met.mmsi = 2655619;
        met.dac = 1;
        met.fid = 31;
        met.met_hydro = '1';
        met.latitude = 55 * 60000 + 30000;  // 55 deg 30 min, in 1/1,000 minute
        met.longitude = 12 * 60000;
        met.air_temperature = 14;     // 1.4 degrees Celsius
        met.air_pressure = 214;       // 1013 hPa
        met.relative_humidity = 127;  // not available
        met.water_level = 1538;       // 5.38 m
        met.payload_bits = 360;
        dock->addAisRecord(8, &met, false);
        dock->refresh();
        QCOMPARE(dock->model()->rowCount(), 1);
        dock->selectMmsi(2655619);
        QMap<QString, QString> details;
        QTableWidget* view = dock->detailsView();
        for (int r = 0; r < view->rowCount(); ++r) {
            details.insert(view->item(r, 0)->text(), view->item(r, 1)->text());
        }
        QCOMPARE(details.value("Latitude"), QString("55.500000° N"));
        QCOMPARE(details.value("Air temperature"), QString("1.4 °C"));
        QCOMPARE(details.value("Air pressure"), QString("1013 hPa"));
        QCOMPARE(details.value("Water level"), QString("5.38 m"));
        QVERIFY(!details.contains("Relative humidity"));
        // A message 8 of another application is no station report.
        ais::AisMessage8 binary{};
        binary.message_type = 8;
        binary.mmsi = 2655620;
        binary.met_hydro = '0';
        dock->addAisRecord(8, &binary, false);
        dock->refresh();
        QCOMPARE(dock->model()->rowCount(), 1);
    }

    void planViewRepaintsAtMostTwiceASecond() {
        std::unique_ptr<AisTargetsDock> dock(makeDock());
        dock->resize(600, 400);
        dock->show();
        QVERIFY(QTest::qWaitForWindowExposed(dock.get()));
        PlanView* plan = dock->planView();
        plan->requestRepaint();
        QCoreApplication::processEvents();
        const int before = plan->paintCount();
        for (int i = 0; i < 50; ++i) {
            plan->requestRepaint();
            QCoreApplication::processEvents();
        }
        QVERIFY(plan->paintCount() - before <= 1);
    }

    void everyWidgetIsNamed() {
        std::unique_ptr<AisTargetsDock> dock(makeDock());
        QVERIFY(!dock->accessibleName().isEmpty());
        for (QWidget* w : dock->findChildren<QWidget*>()) {
            if (qobject_cast<QTableView*>(w) || qobject_cast<QComboBox*>(w) ||
                qobject_cast<QSplitter*>(w) || qobject_cast<PlanView*>(w)) {
                QVERIFY2(!w->accessibleName().isEmpty(), w->metaObject()->className());
            }
        }
    }
};

QTEST_MAIN(TestAisTargetsDock)
#include "tst_ais_targets_dock.moc"
