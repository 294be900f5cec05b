// The per-value and per-frame work of the pictures: what ten plotted series at ten
// values a second and a sky view cost, apart from drawing.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>

#include "nmea/records.h"
#include "plot/plot_series.h"
#include "sky/sky_model.h"

namespace {

// One value into a series that runs for hours: thinning included, amortised.
void BM_PlotSeriesAdd(benchmark::State& state) {
    plot::PlotSeries series("bench", "m");
    std::int64_t t = 0;
    for (auto _ : state) {
        t += 100;
        series.add(t, std::sin(static_cast<double>(t) / 1e4));
    }
    benchmark::DoNotOptimize(series.size());
}
BENCHMARK(BM_PlotSeriesAdd);

// One frame of one series: the visible hour reduced to 800 pixels, the series full.
void BM_PlotSeriesSpans(benchmark::State& state) {
    plot::PlotSeries series("bench", "m");
    std::int64_t t = 0;
    for (int i = 0; i < 100'000; ++i)
        series.add(t += 100, std::sin(i / 100.0));
    const std::int64_t window = state.range(0) * 60'000;
    for (auto _ : state) {
        benchmark::DoNotOptimize(series.spans(t - window, t, 800));
    }
}
BENCHMARK(BM_PlotSeriesSpans)->Arg(1)->Arg(60);

// A group of three GSV sentences (twelve satellites) committed to a full sky.
void BM_SkyGsvGroup(benchmark::State& state) {
    std::int64_t now = 0;
    sky::SkyModel model([&now] { return now; });
    nmeaz::GsvRecord parts[3] = {};
    for (int p = 0; p < 3; ++p) {
        parts[p].pack_count = 3;
        parts[p].pack_index = p + 1;
        parts[p].sat_count = 12;
        parts[p].sat_fields = 16;
        for (int s = 0; s < 4; ++s) {
            parts[p].sat_data[s * 4] = p * 4 + s + 1;
            parts[p].sat_data[s * 4 + 1] = 10 + s * 20;
            parts[p].sat_data[s * 4 + 2] = p * 90 + s * 20;
            parts[p].sat_data[s * 4 + 3] = 30 + s;
        }
    }
    const char talkers[][2] = {{'G', 'P'}, {'G', 'L'}, {'G', 'A'}, {'G', 'B'}};
    int which = 0;
    for (auto _ : state) {
        now += 250;
        const char* talker = talkers[which++ % 4];
        for (const nmeaz::GsvRecord& part : parts)
            model.addGsv(talker[0], talker[1], part);
    }
    benchmark::DoNotOptimize(model.count());
}
BENCHMARK(BM_SkyGsvGroup);

}  // namespace
