// Locale-free number writing: the monitor runs under the user's locale, the JSON
// output and the tests must not.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>

namespace targets {

// Appends `value` with `decimals` digits after the point; returns the end written.
inline char* writeFixed(char* out, char* end, double value, int decimals) {
    const auto result = std::to_chars(out, end, value, std::chars_format::fixed, decimals);
    return result.ec == std::errc{} ? result.ptr : out;
}

inline char* writeInteger(char* out, char* end, std::int64_t value) {
    const auto result = std::to_chars(out, end, value);
    return result.ec == std::errc{} ? result.ptr : out;
}

}  // namespace targets
