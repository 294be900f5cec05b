#include "plot/plot_csv.h"

#include <charconv>
#include <cstdio>

namespace plot {

namespace {

// Days since 1970-01-01 of a civil date, and back (proleptic Gregorian).
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void civilFromDays(std::int64_t z, std::int64_t* y, unsigned* m, unsigned* d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    *d = doy - (153 * mp + 2) / 5 + 1;
    *m = mp < 10 ? mp + 3 : mp - 9;
    *y = static_cast<std::int64_t>(yoe) + era * 400 + (*m <= 2);
}

void appendField(std::string& out, std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out.append(text);
        return;
    }
    out.push_back('"');
    for (char c : text) {
        if (c == '"')
            out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
}

// Splits one CSV record starting at `at`; advances `at` past its line end.
std::optional<std::vector<std::string>> readRecord(std::string_view text, std::size_t& at) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    while (at < text.size()) {
        const char c = text[at++];
        if (quoted) {
            if (c == '"') {
                if (at < text.size() && text[at] == '"') {
                    fields.back().push_back('"');
                    ++at;
                } else {
                    quoted = false;
                }
            } else {
                fields.back().push_back(c);
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c == '\n') {
            return fields;
        } else if (c != '\r') {
            fields.back().push_back(c);
        }
    }
    if (quoted)
        return std::nullopt;
    return fields;
}

std::optional<unsigned> digits(std::string_view text, std::size_t from, std::size_t count) {
    unsigned value = 0;
    if (from + count > text.size())
        return std::nullopt;
    for (std::size_t i = from; i < from + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = value * 10 + static_cast<unsigned>(text[i] - '0');
    }
    return value;
}

}  // namespace

std::string isoTime(std::int64_t timeMs) {
    std::int64_t days = timeMs / 86'400'000;
    std::int64_t rest = timeMs % 86'400'000;
    if (rest < 0) {
        rest += 86'400'000;
        --days;
    }
    std::int64_t year = 0;
    unsigned month = 0, day = 0;
    civilFromDays(days, &year, &month, &day);
    char text[40];
    std::snprintf(text, sizeof text, "%04lld-%02u-%02uT%02lld:%02lld:%02lld.%03lldZ",
                  static_cast<long long>(year), month, day,
                  static_cast<long long>(rest / 3'600'000),
                  static_cast<long long>(rest / 60'000 % 60),
                  static_cast<long long>(rest / 1000 % 60), static_cast<long long>(rest % 1000));
    return text;
}

std::optional<std::int64_t> parseIsoTime(std::string_view t) {
    // YYYY-MM-DDThh:mm:ss.sssZ
    if (t.size() != 24 || t[4] != '-' || t[7] != '-' || t[10] != 'T' || t[13] != ':' ||
        t[16] != ':' || t[19] != '.' || t[23] != 'Z')
        return std::nullopt;
    const auto year = digits(t, 0, 4), month = digits(t, 5, 2), day = digits(t, 8, 2),
               hour = digits(t, 11, 2), minute = digits(t, 14, 2), second = digits(t, 17, 2),
               milli = digits(t, 20, 3);
    if (!year || !month || !day || !hour || !minute || !second || !milli || *month < 1 ||
        *month > 12 || *day < 1 || *day > 31 || *hour > 23 || *minute > 59 || *second > 60)
        return std::nullopt;
    return daysFromCivil(*year, *month, *day) * 86'400'000 +
           static_cast<std::int64_t>(*hour * 3'600'000U + *minute * 60'000U + *second * 1000U +
                                     *milli);
}

std::string toCsv(const std::vector<const PlotSeries*>& series, std::int64_t fromMs,
                  std::int64_t toMs) {
    std::string out = "time_utc,series,unit,value\n";
    char number[32];
    for (const PlotSeries* s : series) {
        for (const Point& p : s->between(fromMs, toMs)) {
            out.append(isoTime(p.timeMs)).push_back(',');
            appendField(out, s->name());
            out.push_back(',');
            appendField(out, s->unit());
            out.push_back(',');
            const auto written = std::to_chars(number, number + sizeof number, p.value);
            out.append(number, written.ptr);
            out.push_back('\n');
        }
    }
    return out;
}

std::optional<std::vector<CsvRow>> fromCsv(std::string_view text, int* badLine) {
    std::vector<CsvRow> rows;
    std::size_t at = 0;
    int line = 0;
    auto bad = [&]() -> std::optional<std::vector<CsvRow>> {
        if (badLine != nullptr)
            *badLine = line;
        return std::nullopt;
    };
    while (at < text.size()) {
        ++line;
        const auto fields = readRecord(text, at);
        if (!fields || fields->size() != 4)
            return bad();
        if (line == 1)
            continue;  // the header
        CsvRow row;
        const auto time = parseIsoTime((*fields)[0]);
        const std::string& value = (*fields)[3];
        const auto read = std::from_chars(value.data(), value.data() + value.size(), row.value);
        if (!time || read.ec != std::errc() || read.ptr != value.data() + value.size())
            return bad();
        row.timeMs = *time;
        row.series = (*fields)[1];
        row.unit = (*fields)[2];
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace plot
