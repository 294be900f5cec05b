// One second of the monitor at national-network load: 500 position reports merged into
// a dock holding 20,000 targets, then the dock's once-a-second refresh (ageing, rows,
// re-sorting by range, details) and two plan-view paints. The time per iteration is
// the CPU the targets cost per second of traffic; "core_share" prints it as a
// fraction of one core (the budget is 0.05). Runs offscreen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QTableView>
#include <vector>

#include "ais/records.h"
#include "app/ais_targets_dock.h"
#include "app/plan_view.h"
#include "nmea/records.h"
#include "nmea/sentence_parsers.h"
#include "synthetic_fleet.h"

namespace {

constexpr int kTargets = 20000;
constexpr int kMessagesPerSecond = 500;

void BM_OneSecondAtFiveHundredMessages(benchmark::State& state) {
    qint64 now = 0;
    AisTargetsDock dock(targets::TableSettings{}, [&now] { return now; });
    dock.resize(1000, 700);
    dock.show();
    const std::vector<ais::AisPositionReport> list = bench::syntheticFleet(kTargets, 5);
    nmeaz::RmcRecord rmc{};
    rmc.status = 'A';
    rmc.latitude = 5400.0;
    rmc.ns = 'N';
    rmc.longitude = 800.0;
    rmc.ew = 'E';
    rmc.sog = 10.0;
    rmc.cog = 45.0;
    dock.addSentenceRecord(nmeaz::kCodeRmc, &rmc);
    for (const auto& r : list) {
        dock.addAisRecord(1, &r, false);
    }
    dock.refresh();
    dock.tableView()->sortByColumn(AisTargetsModel::Distance, Qt::AscendingOrder);
    dock.selectMmsi(list.front().mmsi);
    QImage canvas(dock.planView()->size(), QImage::Format_ARGB32_Premultiplied);
    std::size_t next = 0;
    for (auto _ : state) {
        now += 1000;
        for (int i = 0; i < kMessagesPerSecond; ++i) {
            dock.addAisRecord(1, &list[next], false);
            next = (next + 1) % list.size();
        }
        dock.refresh();
        for (int paint = 0; paint < 2; ++paint) {
            dock.planView()->render(&canvas);
        }
        QCoreApplication::processEvents();
    }
    state.counters["targets"] = dock.model()->rowCount();
    state.counters["core_share"] = benchmark::Counter(
        1.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_OneSecondAtFiveHundredMessages)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
