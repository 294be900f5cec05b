#include "present/number_chars.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace present {

namespace {

constexpr double kPowersOfTen[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
// Where a value's first significant digit moves: 1e-4 .. 1e5.
constexpr double kFirstDigitAt[] = {1e-4, 1e-3, 1e-2, 1e-1, 1, 1e1, 1e2, 1e3, 1e4, 1e5};

// The exact conversion, for the values the quick ways below leave to it.
char* writeExactGeneral6(char* out, double value) {
    return std::to_chars(out, out + kNumberCharsSize, value, std::chars_format::general, 6).ptr;
}

constexpr std::array<char, 200> makeDigitPairs() {
    std::array<char, 200> pairs{};
    for (int i = 0; i < 100; ++i) {
        pairs[2 * i] = static_cast<char>('0' + i / 10);
        pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}
constexpr std::array<char, 200> kDigitPairs = makeDigitPairs();

// The six digits of `digits` (100000..999999), most significant first.
void writeSixDigits(char* out, std::uint32_t digits) {
    const std::uint32_t high = digits / 10000;
    const std::uint32_t middle = digits / 100 % 100;
    const std::uint32_t low = digits % 100;
    std::memcpy(out, &kDigitPairs[2 * high], 2);
    std::memcpy(out + 2, &kDigitPairs[2 * middle], 2);
    std::memcpy(out + 4, &kDigitPairs[2 * low], 2);
}

}  // namespace

char* writeGeneral6(char* out, double value) {
    const double magnitude = std::fabs(value);
    if (magnitude == 0.0 && !std::signbit(value)) {
        *out = '0';
        return out + 1;
    }
    // Fixed notation covers 1e-4 up to just below 999999.5; the quick way takes it up
    // to 999999 and leaves the rounding into exponent notation to the exact one. The
    // exponent is the position of the first significant digit.
    if (!(magnitude >= 1e-4 && magnitude < 999999.0)) {
        return writeExactGeneral6(out, value);
    }
    int exponent = 5;
    while (exponent > -4 && magnitude < kFirstDigitAt[exponent + 4]) {
        --exponent;
    }
    // Both factors are exact and the product below a million, so `scaled` is within
    // 2^-33 of the true value. The result is rounded as the exact value would be,
    // unless that value may lie on a half: those few go the exact way.
    const double scaled = magnitude * kPowersOfTen[5 - exponent];
    const auto whole = static_cast<std::uint32_t>(scaled);
    const double fraction = scaled - whole;
    if (std::fabs(fraction - 0.5) < 1e-6) {
        return writeExactGeneral6(out, value);
    }
    auto digits = whole + (fraction > 0.5 ? 1 : 0);
    if (digits == 1000000) {
        digits = 100000;
        ++exponent;
    }
    if (digits < 100000 || digits > 999999 || exponent > 5) {
        return writeExactGeneral6(out, value);
    }

    // The copies below move eight bytes whatever the count; the output has room for
    // them and the digits are followed by zeros.
    char six[16] = {};
    writeSixDigits(six, digits);
    int significant = 6;
    while (significant > 1 && six[significant - 1] == '0') {
        --significant;
    }
    char* at = out;
    if (value < 0) {
        *at++ = '-';
    }
    if (exponent >= 0) {
        const int integerDigits = exponent + 1;
        std::memcpy(at, six, 8);
        if (significant <= integerDigits) {
            return at + integerDigits;
        }
        at[integerDigits] = '.';
        std::memcpy(at + integerDigits + 1, six + integerDigits, 8);
        return at + significant + 1;
    }
    // "0." and the zeros before the first significant digit.
    const int leading = 1 - exponent;
    std::memcpy(at, "0.000000", 8);
    std::memcpy(at + leading, six, 8);
    return at + leading + significant;
}

char* writeDegrees5(char* out, long long tenThousandthsOfMinute) {
    // In hundred-thousandths of a degree the value is n / 6. Away from a half (n = 3
    // modulo 6) the double's small error cannot change the rounding, and the digits
    // come from integers; on a half it decides, so the exact conversion writes it.
    const long long n = tenThousandthsOfMinute;
    const unsigned long long magnitude =
        n < 0 ? 0ULL - static_cast<unsigned long long>(n) : static_cast<unsigned long long>(n);
    if (magnitude % 6 == 3 || magnitude > (1ULL << 50)) {
        const double degrees = static_cast<double>(n) / 10000.0 / 60.0;
        return std::to_chars(out, out + kNumberCharsSize, degrees, std::chars_format::fixed, 5).ptr;
    }
    const unsigned long long rounded = magnitude / 6 + (magnitude % 6 > 3 ? 1 : 0);
    char* at = out;
    if (n < 0) {
        *at++ = '-';
    }
    at = std::to_chars(at, out + kNumberCharsSize, rounded / 100000).ptr;
    *at++ = '.';
    unsigned long long fraction = rounded % 100000;
    for (int i = 4; i >= 0; --i) {
        at[i] = static_cast<char>('0' + fraction % 10);
        fraction /= 10;
    }
    return at + 5;
}

char* writeShortest(char* out, double value) {
    if (value == 0.0 && !std::signbit(value)) {
        *out = '0';
        return out + 1;
    }
    // A whole number below 2^53 needs all its digits to read back; written plainly it
    // is shorter than in exponent notation unless it ends in zeros, where from 10,000
    // on the exponent notation can win: those go the general way.
    const double magnitude = std::fabs(value);
    if (magnitude < 1e15 && magnitude == std::trunc(magnitude) && magnitude != 0.0) {
        const auto whole = static_cast<unsigned long long>(magnitude);
        if (whole % 10 != 0 || whole < 10000) {
            char* at = out;
            if (value < 0) {
                *at++ = '-';
            }
            return std::to_chars(at, out + kNumberCharsSize, whole).ptr;
        }
    }
    return std::to_chars(out, out + kNumberCharsSize, value).ptr;
}

}  // namespace present
