// One value over time, kept within a fixed number of points.
//
// New points are kept as they come. When the series is full, the older part is
// thinned: it is cut into buckets of equal time and each bucket keeps only its lowest
// and highest point, so peaks and dips survive while the series stays within
// kCapacity points whatever the rate and however long it runs. Points older than
// kRetainMs (the longest time window plus room to scroll back) are dropped, a few minutes at a
// time.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace plot {

struct Point {
    std::int64_t timeMs = 0;
    double value = 0;
};

// What one column of pixels shows: the range of the points in it.
struct Span {
    std::int64_t timeMs = 0;  // the bucket's start
    double low = 0;
    double high = 0;
    double last = 0;  // the latest value in the bucket (the line runs through it)
};

class PlotSeries {
public:
    static constexpr std::size_t kCapacity = 8192;
    static constexpr std::int64_t kRetainMs = 2 * 60 * 60'000;

    PlotSeries(std::string name, std::string unit);

    const std::string& name() const { return name_; }
    const std::string& unit() const { return unit_; }
    // For a source whose unit shows only once its first value arrives.
    void setUnit(std::string unit) { unit_ = std::move(unit); }

    // Points older than the latest are taken as they come: a clock step backwards
    // must not lose data, and the views sort by time anyway.
    void add(std::int64_t timeMs, double value);
    void clear() { points_.clear(); }

    const std::vector<Point>& points() const { return points_; }
    std::size_t size() const { return points_.size(); }
    // The points from `fromMs` to `toMs` (both included), oldest first.
    std::vector<Point> between(std::int64_t fromMs, std::int64_t toMs) const;
    // The points from `fromMs` to `toMs` reduced to `buckets` spans of equal time;
    // empty buckets are left out.
    std::vector<Span> spans(std::int64_t fromMs, std::int64_t toMs, int buckets) const;
    // The last value received at or before `timeMs`; false when none.
    bool valueAt(std::int64_t timeMs, Point* found) const;

    // Thins `points` (oldest first) to at most two per bucket, `buckets` buckets of
    // equal time across them: the lowest and highest of each, in time order.
    static std::vector<Point> thin(const std::vector<Point>& points, std::size_t buckets);

private:
    void makeRoom();

    std::string name_;
    std::string unit_;
    std::vector<Point> points_;
};

}  // namespace plot
