// Numbers written for people, as printf writes them in the C locale, without the
// cost of a general conversion for every value: a log of a million sentences holds
// several million of them. Plain C++, so every writer (Qt or not) can share it.
#pragma once

namespace present {

// Room enough for any output of the functions below.
constexpr int kNumberCharsSize = 32;

// General notation with six significant digits, exactly as "%g" writes it:
// 4807.038 -> "4807.04", 1234567 -> "1.23457e+06", -0.0 -> "-0", inf -> "inf".
// Writes at `out` (kNumberCharsSize bytes) and returns the end; no NUL is added.
char* writeGeneral6(char* out, double value);

// An AIS position in 1/10,000 minute as degrees with exactly five decimals, as "%.5f"
// writes the value divided by 10,000 and then by 60. Dividing once by 600,000 rounds
// some values differently (3 must give 0.00000, 99 must give 0.00017).
char* writeDegrees5(char* out, long long tenThousandthsOfMinute);

// The shortest text that reads back as the same double, as std::to_chars writes it
// without a format ("48.1173", "1e+06", "-0"). Whole numbers, the most common values
// of AIS messages, are written without the general search.
char* writeShortest(char* out, double value);

}  // namespace present
