// Plot series: thinning keeps every bucket's extremes, the bound holds at any rate
// and for any length of time, the visible spans, and the CSV export round-trips.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "plot/plot_csv.h"
#include "plot/plot_series.h"

namespace plot {
namespace {

// A spike in every stretch of the data must survive thinning, however many points
// fall into one bucket, and the points stay in time order.
TEST(PlotSeries, ThinningKeepsMinimumAndMaximumPerBucket) {
    std::vector<Point> points;
    for (int i = 0; i < 10'000; ++i) {
        double v = std::sin(i / 100.0);
        if (i % 1000 == 500)
            v = 50;  // a spike
        if (i % 1000 == 700)
            v = -50;  // a dip
        points.push_back({i * 100LL, v});
    }
    const std::vector<Point> thinned = PlotSeries::thin(points, 100);
    EXPECT_LE(thinned.size(), 200u);
    EXPECT_TRUE(std::is_sorted(thinned.begin(), thinned.end(),
                               [](const Point& a, const Point& b) { return a.timeMs < b.timeMs; }));
    EXPECT_EQ(
        std::count_if(thinned.begin(), thinned.end(), [](const Point& p) { return p.value == 50; }),
        10);
    EXPECT_EQ(std::count_if(thinned.begin(), thinned.end(),
                            [](const Point& p) { return p.value == -50; }),
              10);
    // Every bucket of the original still has its extremes in the thinned data.
    for (int bucket = 0; bucket < 100; ++bucket) {
        const auto first = points.begin() + bucket * 100, last = first + 100;
        const auto [low, high] = std::minmax_element(
            first, last, [](const Point& a, const Point& b) { return a.value < b.value; });
        for (const Point* p : {&*low, &*high}) {
            EXPECT_TRUE(std::any_of(
                thinned.begin(), thinned.end(),
                [&](const Point& t) { return t.timeMs == p->timeMs && t.value == p->value; }))
                << "bucket " << bucket;
        }
    }
    EXPECT_EQ(
        PlotSeries::thin(std::vector<Point>(points.begin(), points.begin() + 150), 100).size(),
        150u)
        << "few enough points stay as they are";
}

// A day at 10 updates per second stays within the capacity, keeps the last two hours
// (the newest points as they came) and the day's extremes inside them.
TEST(PlotSeries, MemoryStaysBoundedForADay) {
    PlotSeries series("$SDDPT Water Depth", "m");
    std::int64_t t = 0;
    std::size_t largest = 0;
    for (int i = 0; i < 24 * 60 * 60 * 10; ++i, t += 100) {
        const double v = i == 830'000 ? 99.0 : 5.0 + std::sin(i / 600.0);
        series.add(t, v);
        largest = std::max(largest, series.size());
    }
    EXPECT_LT(largest, PlotSeries::kCapacity);
    EXPECT_GE(series.points().front().timeMs,
              t - PlotSeries::kRetainMs - PlotSeries::kRetainMs / 16);
    EXPECT_EQ(series.points().back().timeMs, t - 100);
    const std::vector<Point> lastSecond = series.between(t - 1000, t);
    EXPECT_EQ(lastSecond.size(), 10u) << "the newest points are kept as they came";
    EXPECT_TRUE(std::any_of(series.points().begin(), series.points().end(),
                            [](const Point& p) { return p.value == 99.0; }));
    EXPECT_LE(series.points().capacity() * sizeof(Point), 256u * 1024u);
}

TEST(PlotSeries, SpansPerPixelAndValueAt) {
    PlotSeries series("x", "");
    const Point points[] = {{0, 1}, {10, 5}, {20, 3}, {60, 7}, {95, 2}, {30, 4}};
    for (const Point& p : points)
        series.add(p.timeMs, p.value);  // the last one arrives late and is put in its place
    series.add(40, NAN);
    series.add(41, INFINITY);
    ASSERT_EQ(series.size(), 6u);
    const std::vector<Span> spans = series.spans(0, 100, 2);
    ASSERT_EQ(spans.size(), 2u);
    EXPECT_EQ(spans[0].timeMs, 0);
    EXPECT_EQ(spans[0].low, 1);
    EXPECT_EQ(spans[0].high, 5);
    EXPECT_EQ(spans[0].last, 4);
    EXPECT_EQ(spans[1].low, 2);
    EXPECT_EQ(spans[1].high, 7);
    Point at;
    ASSERT_TRUE(series.valueAt(59, &at));
    EXPECT_EQ(at.timeMs, 30);
    EXPECT_FALSE(series.valueAt(-1, &at));
    EXPECT_TRUE(series.spans(0, 0, 10).empty());
}

TEST(PlotCsv, RoundTripsNamesUnitsTimesAndValues) {
    PlotSeries depth("$SDDPT Water Depth", "m");
    PlotSeries awkward("AIS 244660000 \"Speed\", over ground", "kn");
    const std::int64_t base = 1'796'614'811'123;  // 2026-12-07T03:40:11.123Z
    const double values[] = {0.1, 1e-7, 12345.678901234, -3.25, 0};
    for (int i = 0; i < 5; ++i) {
        depth.add(base + i * 100, values[i]);
        awkward.add(base + i * 250, -values[i]);
    }
    const std::string csv = toCsv({&depth, &awkward}, base, base + 500);
    EXPECT_EQ(csv.substr(0, csv.find('\n', csv.find('\n') + 1) + 1),
              "time_utc,series,unit,value\n2026-12-07T03:40:11.123Z,$SDDPT Water Depth,m,0.1\n");
    int bad = 0;
    const auto rows = fromCsv(csv, &bad);
    ASSERT_TRUE(rows) << "line " << bad;
    ASSERT_EQ(rows->size(), 5u + 3u) << "only the points from base to base + 500";
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ((*rows)[i].timeMs, base + i * 100);
        EXPECT_EQ((*rows)[i].value, values[i]);
        EXPECT_EQ((*rows)[i].unit, "m");
    }
    EXPECT_EQ((*rows)[5].series, awkward.name());
    EXPECT_EQ((*rows)[7].value, -values[2]);

    const struct {
        const char* text;
        int line;
    } broken[] = {
        {"time_utc,series,unit,value\n2026-12-07T03:40:11.123Z,a,m\n", 2},
        {"time_utc,series,unit,value\n2026-13-07T03:40:11.123Z,a,m,1\n", 2},
        {"time_utc,series,unit,value\n2026-12-07T03:40:11.123Z,a,m,1x\n", 2},
        {"time_utc,series,unit,value\n2026-12-07T03:40:11.123Z,\"a,m,1\n", 2},
    };
    for (const auto& b : broken) {
        EXPECT_FALSE(fromCsv(b.text, &bad)) << b.text;
        EXPECT_EQ(bad, b.line) << b.text;
    }
    EXPECT_EQ(isoTime(0), "1970-01-01T00:00:00.000Z");
    EXPECT_EQ(isoTime(-1), "1969-12-31T23:59:59.999Z");
    EXPECT_EQ(parseIsoTime("2000-02-29T12:00:00.000Z"), 951'825'600'000);
}

}  // namespace
}  // namespace plot
