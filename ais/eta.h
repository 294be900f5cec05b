// Message 5's estimated time of arrival: month (4 bits), day (5), hour (5) and minute
// (6) packed in 20 bits. Month 0, day 0, hour 24 and minute 60 say that part is not
// available.
#pragma once

#include <cstdint>

namespace ais {

struct AisEtaParts {
    // -1 for a part that is not available.
    int month;
    int day;
    int hour;
    int minute;
};

constexpr AisEtaParts aisEtaParts(std::uint32_t eta) {
    const int month = static_cast<int>((eta >> 16) & 0xF);
    const int day = static_cast<int>((eta >> 11) & 0x1F);
    const int hour = static_cast<int>((eta >> 6) & 0x1F);
    const int minute = static_cast<int>(eta & 0x3F);
    return {month >= 1 && month <= 12 ? month : -1, day >= 1 ? day : -1, hour < 24 ? hour : -1,
            minute < 60 ? minute : -1};
}

// "MM-DD hh:mm", "--" for a part that is not available; `out` holds 12 characters.
inline void aisEtaText(std::uint32_t eta, char (&out)[12]) {
    const AisEtaParts parts = aisEtaParts(eta);
    char* p = out;
    auto two = [&p](int value) {
        *p++ = value < 0 ? '-' : static_cast<char>('0' + value / 10);
        *p++ = value < 0 ? '-' : static_cast<char>('0' + value % 10);
    };
    two(parts.month);
    *p++ = '-';
    two(parts.day);
    *p++ = ' ';
    two(parts.hour);
    *p++ = ':';
    two(parts.minute);
    *p = '\0';
}

}  // namespace ais
