// The visible data of a plot as CSV: one row per point, oldest first per series,
//
//     time_utc,series,unit,value
//     2026-12-07T03:40:11.123Z,$GPGGA HDOP,,0.9
//
// Times in UTC to the millisecond, values with as many digits as round-trip exactly,
// text fields quoted where they hold a comma, quote or line break. Numbers are
// written and read without the C library's locale.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "plot/plot_series.h"

namespace plot {

struct CsvRow {
    std::int64_t timeMs = 0;
    std::string series;
    std::string unit;
    double value = 0;
};

// The points of every series from `fromMs` to `toMs`.
std::string toCsv(const std::vector<const PlotSeries*>& series, std::int64_t fromMs,
                  std::int64_t toMs);
// Reads what toCsv wrote; nullopt (and the line number in *badLine) on a malformed row.
std::optional<std::vector<CsvRow>> fromCsv(std::string_view text, int* badLine = nullptr);

// "2026-12-07T03:40:11.123Z" for milliseconds since 1970; and back.
std::string isoTime(std::int64_t timeMs);
std::optional<std::int64_t> parseIsoTime(std::string_view text);

}  // namespace plot
