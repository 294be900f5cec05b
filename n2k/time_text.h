// The receive times gateways write, turned into milliseconds (see kNoTime in
// message.h for what the milliseconds count from).
#pragma once

#include <cstdint>
#include <string_view>

namespace n2k {

// "hh:mm:ss", "hh:mm:ss.f" .. "hh:mm:ss.ffffff" (or without the colons when
// `withColons` is false: "hhmmss.fff"): milliseconds since midnight, or -1.
std::int64_t parseTimeOfDay(std::string_view text, bool withColons = true);

// "1502984866.421964" (seconds since the Unix epoch with an optional fraction):
// milliseconds since the epoch, or -1.
std::int64_t parseEpochSeconds(std::string_view text);

// "2016-02-28T19:57:02.364Z", also with '-' or ' ' between date and time and without
// the 'Z' (always UTC): milliseconds since the epoch, or -1.
std::int64_t parseDateTime(std::string_view text);

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
std::int64_t daysFromCivil(int year, int month, int day);

}  // namespace n2k
