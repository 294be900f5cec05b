#include "n2k/time_text.h"

#include "n2k/text_scan.h"

namespace n2k {

namespace {

bool twoDigits(std::string_view text, std::size_t at, int& value) {
    if (at + 2 > text.size() || !isDecimalDigit(text[at]) || !isDecimalDigit(text[at + 1]))
        return false;
    value = (text[at] - '0') * 10 + (text[at + 1] - '0');
    return true;
}

// ".fff..." (possibly empty) as milliseconds; at most six digits are accepted.
bool fractionMs(std::string_view text, int& ms) {
    ms = 0;
    if (text.empty())
        return true;
    if (text[0] != '.' || text.size() < 2 || text.size() > 7)
        return false;
    int scale = 100;
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (!isDecimalDigit(text[i]))
            return false;
        ms += (text[i] - '0') * scale;
        scale /= 10;
    }
    return true;
}

}  // namespace

std::int64_t parseTimeOfDay(std::string_view text, bool withColons) {
    const std::size_t step = withColons ? 3 : 2;
    int h = 0, m = 0, s = 0;
    if (!twoDigits(text, 0, h) || !twoDigits(text, step, m) || !twoDigits(text, 2 * step, s))
        return -1;
    if (withColons && (text[2] != ':' || text[5] != ':'))
        return -1;
    if (h > 23 || m > 59 || s > 60)
        return -1;
    int ms = 0;
    if (!fractionMs(text.substr(2 * step + 2), ms))
        return -1;
    return ((std::int64_t{h} * 60 + m) * 60 + s) * 1000 + ms;
}

std::int64_t parseEpochSeconds(std::string_view text) {
    const std::size_t dot = text.find('.');
    const std::string_view whole = text.substr(0, dot);
    if (whole.empty() || whole.size() > 12)
        return -1;
    std::int64_t seconds = 0;
    for (char c : whole) {
        if (!isDecimalDigit(c))
            return -1;
        seconds = seconds * 10 + (c - '0');
    }
    int ms = 0;
    if (dot != std::string_view::npos && !fractionMs(text.substr(dot), ms))
        return -1;
    return seconds * 1000 + ms;
}

std::int64_t daysFromCivil(int year, int month, int day) {
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int mp = (month + 9) % 12;
    const int doy = (153 * mp + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return std::int64_t{era} * 146097 + doe - 719468;
}

std::int64_t parseDateTime(std::string_view text) {
    if (text.size() < 19 || text[4] != '-' || text[7] != '-')
        return -1;
    int c = 0, yy = 0, mo = 0, d = 0;
    if (!twoDigits(text, 0, c) || !twoDigits(text, 2, yy) || !twoDigits(text, 5, mo) ||
        !twoDigits(text, 8, d))
        return -1;
    if (mo < 1 || mo > 12 || d < 1 || d > 31)
        return -1;
    if (text[10] != 'T' && text[10] != '-' && text[10] != ' ')
        return -1;
    std::string_view time = text.substr(11);
    if (!time.empty() && time.back() == 'Z')
        time.remove_suffix(1);
    const std::int64_t ms = parseTimeOfDay(time);
    if (ms < 0)
        return -1;
    return daysFromCivil(c * 100 + yy, mo, d) * 86400000 + ms;
}

}  // namespace n2k
