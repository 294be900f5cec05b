// The target table at national-network scale: 20,000 targets, reports arriving in
// random MMSI order. The monitor's budget is 5% of one core at 500 messages/s, so a
// merge may cost up to 100 microseconds (its share of a core is CPU time x 500 / 1 s).
// Also the refresh-time work (ageing sweep, the
// relation of every target to own ship) and the sorted listing of --targets.
#include <benchmark/benchmark.h>

#include <vector>

#include "ais/records.h"
#include "synthetic_fleet.h"
#include "targets/ais_reports.h"
#include "targets/target_table.h"

namespace {

constexpr int kTargets = 20000;

targets::TargetTable& fullTable() {
    static targets::TargetTable table = [] {
        targets::TargetTable t;
        targets::OwnShip own;
        own.hasPosition = own.hasMotion = true;
        own.kinematics = {54.0, 8.0, 10.0, 45.0};
        t.fixOwnShip(own);
        targets::Report report;
        for (const auto& r : bench::syntheticFleet(kTargets, 11)) {
            targets::reportFromAis(1, &r, false, report);
            t.merge(report, 0);
        }
        return t;
    }();
    return table;
}

// Decoded record -> report -> merge into a table of 20,000 targets.
void BM_MergeIntoFullTable(benchmark::State& state) {
    targets::TargetTable& table = fullTable();
    const std::vector<ais::AisPositionReport> reports = bench::syntheticFleet(kTargets, 11);
    std::size_t next = 0;
    std::int64_t now = 0;
    targets::Report report;
    for (auto _ : state) {
        const ais::AisPositionReport& r = reports[next];
        next = next + 1 == reports.size() ? 0 : next + 1;
        targets::reportFromAis(1, &r, false, report);
        benchmark::DoNotOptimize(&table.merge(report, ++now));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MergeIntoFullTable);

// A spoofing flood: every report a new MMSI, so every merge pushes the oldest out.
void BM_MergeNewMmsiAtCapacity(benchmark::State& state) {
    targets::TargetTable& table = fullTable();
    auto r = bench::syntheticFleet(1, 11).front();
    std::uint32_t mmsi = 900000000;
    targets::Report report;
    for (auto _ : state) {
        r.mmsi = ++mmsi;
        targets::reportFromAis(1, &r, false, report);
        benchmark::DoNotOptimize(&table.merge(report, mmsi));
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["size"] = table.size();
}
BENCHMARK(BM_MergeNewMmsiAtCapacity);

// What the dock does for every target once a second: stale check and relation.
void BM_RelateAllTargets(benchmark::State& state) {
    targets::TargetTable& table = fullTable();
    for (auto _ : state) {
        int dangerous = 0;
        table.forEach([&](const targets::Target& t) {
            dangerous += table.relate(t).dangerous + table.isStale(t, 0);
        });
        benchmark::DoNotOptimize(dangerous);
    }
    state.SetItemsProcessed(state.iterations() * table.size());
}
BENCHMARK(BM_RelateAllTargets)->Unit(benchmark::kMillisecond);

void BM_SortedListing(benchmark::State& state) {
    targets::TargetTable& table = fullTable();
    for (auto _ : state) {
        benchmark::DoNotOptimize(table.sortedByMmsi());
    }
}
BENCHMARK(BM_SortedListing)->Unit(benchmark::kMillisecond);

}  // namespace
