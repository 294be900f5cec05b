#include "plot/plot_series.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace plot {

namespace {

// The bucket of a point `offset` after the start of `width` cut into `buckets`. The
// series keeps hours, not years, so offset times buckets stays far inside 64 bits;
// computed in floating point all the same, so a wild clock cannot overflow it.
std::size_t bucketOf(std::int64_t offset, std::int64_t width, std::size_t buckets) {
    const double at =
        static_cast<double>(offset) / static_cast<double>(width) * static_cast<double>(buckets);
    if (!(at > 0))
        return 0;
    return std::min(buckets - 1, static_cast<std::size_t>(at));
}

}  // namespace

PlotSeries::PlotSeries(std::string name, std::string unit)
    : name_(std::move(name)), unit_(std::move(unit)) {
    points_.reserve(kCapacity);
}

void PlotSeries::add(std::int64_t timeMs, double value) {
    if (!std::isfinite(value))
        return;  // nothing to draw, and no axis could hold it
    if (!points_.empty() && timeMs < points_.back().timeMs) {
        const auto at =
            std::upper_bound(points_.begin(), points_.end(), timeMs,
                             [](std::int64_t t, const Point& p) { return t < p.timeMs; });
        points_.insert(at, Point{timeMs, value});
    } else {
        points_.push_back(Point{timeMs, value});
    }
    // Old points go in batches, not one at a time: each removal moves the rest.
    const std::int64_t oldest = points_.back().timeMs - kRetainMs;
    if (points_.front().timeMs < oldest - kRetainMs / 16) {
        const auto keep =
            std::lower_bound(points_.begin(), points_.end(), oldest,
                             [](const Point& p, std::int64_t t) { return p.timeMs < t; });
        points_.erase(points_.begin(), keep);
    }
    if (points_.size() >= kCapacity)
        makeRoom();
}

// The newest quarter stays as it came; the rest is thinned to a quarter of the
// capacity, so the series drops to about half full and thinning stays rare.
void PlotSeries::makeRoom() {
    const std::size_t keep = kCapacity / 4;
    const auto split = points_.end() - static_cast<std::ptrdiff_t>(keep);
    std::vector<Point> older(points_.begin(), split);
    std::vector<Point> thinned = thin(older, kCapacity / 8);
    thinned.insert(thinned.end(), split, points_.end());
    points_ = std::move(thinned);
    points_.reserve(kCapacity);
}

std::vector<Point> PlotSeries::thin(const std::vector<Point>& points, std::size_t buckets) {
    if (points.size() <= 2 * buckets || buckets == 0)
        return points;
    const std::int64_t first = points.front().timeMs;
    const std::int64_t width = points.back().timeMs - first + 1;
    std::vector<Point> out;
    out.reserve(2 * buckets);
    std::size_t i = 0;
    while (i < points.size()) {
        const std::size_t bucket = bucketOf(points[i].timeMs - first, width, buckets);
        std::size_t low = i, high = i, j = i;
        for (; j < points.size(); ++j) {
            if (bucketOf(points[j].timeMs - first, width, buckets) != bucket)
                break;
            if (points[j].value < points[low].value)
                low = j;
            if (points[j].value > points[high].value)
                high = j;
        }
        out.push_back(points[std::min(low, high)]);
        if (low != high)
            out.push_back(points[std::max(low, high)]);
        i = j;
    }
    return out;
}

std::vector<Point> PlotSeries::between(std::int64_t fromMs, std::int64_t toMs) const {
    const auto begin =
        std::lower_bound(points_.begin(), points_.end(), fromMs,
                         [](const Point& p, std::int64_t t) { return p.timeMs < t; });
    const auto end = std::upper_bound(begin, points_.end(), toMs,
                                      [](std::int64_t t, const Point& p) { return t < p.timeMs; });
    return {begin, end};
}

std::vector<Span> PlotSeries::spans(std::int64_t fromMs, std::int64_t toMs, int buckets) const {
    std::vector<Span> out;
    if (buckets <= 0 || toMs <= fromMs)
        return out;
    const auto begin =
        std::lower_bound(points_.begin(), points_.end(), fromMs,
                         [](const Point& p, std::int64_t t) { return p.timeMs < t; });
    const std::int64_t width = toMs - fromMs;
    int current = -1;
    for (auto it = begin; it != points_.end() && it->timeMs <= toMs; ++it) {
        const int b = static_cast<int>(
            bucketOf(it->timeMs - fromMs, width, static_cast<std::size_t>(buckets)));
        if (b != current) {
            current = b;
            out.push_back(Span{fromMs + width * b / buckets, it->value, it->value, it->value});
        } else {
            Span& s = out.back();
            s.low = std::min(s.low, it->value);
            s.high = std::max(s.high, it->value);
            s.last = it->value;
        }
    }
    return out;
}

bool PlotSeries::valueAt(std::int64_t timeMs, Point* found) const {
    const auto after =
        std::upper_bound(points_.begin(), points_.end(), timeMs,
                         [](std::int64_t t, const Point& p) { return t < p.timeMs; });
    if (after == points_.begin())
        return false;
    *found = *(after - 1);
    return true;
}

}  // namespace plot
