// Locale-free conversion of wire text to numbers.
//
// Numbers on an NMEA line are always written with a '.' decimal point, whatever the
// locale of the machine that reads them. The C library's strtod/atof/atoi follow the
// process locale, which a GUI application sets to the user's: under a comma-decimal
// locale they would read "4807.038" as 4807. These conversions accept decimal text
// only and never consult the locale.
//
// Both read the leading number of a text and ignore what follows it (a '*' checksum
// delimiter, a line end, a comma, letters):
//   double: optional white space, optional '+' or '-', digits with an optional '.' and
//           fraction, optional exponent ('e' or 'E', optional sign, at least one
//           digit). No hexadecimal, no "inf"/"nan" words. The result is correctly
//           rounded (round-to-nearest-even); it overflows to an infinity and
//           underflows to a subnormal or zero, as IEEE arithmetic does.
//   int:    optional white space, optional sign, decimal digits; anything after the
//           digits (a fraction included) is ignored; values beyond the 32-bit range
//           saturate at INT_MIN / INT_MAX.
// Text without a leading number gives 0.
//
// The text ends at its first NUL, or at `end` when one is given (whichever comes
// first), so a field cut in place inside a larger buffer can be read without copying.
#pragma once

#include <charconv>
#include <climits>
#include <cstdint>
#include <limits>
#include <system_error>

namespace nmeaz {

namespace decimal_detail {

// Reads *p only when p has not reached end (a null end means "NUL-terminated").
inline unsigned char peek(const char* p, const char* end) {
    return p != end ? static_cast<unsigned char>(*p) : 0;
}

inline bool isDigit(unsigned char c) {
    return static_cast<unsigned>(c - '0') < 10u;
}

// White space within a field: space and tab only. A sentence ends at CR LF, so the
// other C white-space characters (\v, \f) can only be corruption, and a number
// preceded by one is not a number.
inline bool isSpace(unsigned char c) {
    return c == ' ' || c == '\t';
}

inline const char* skipSpace(const char* p, const char* end) {
    while (isSpace(peek(p, end)))
        ++p;
    return p;
}

// Skips leading white space and an optional sign; returns where the digits start.
inline const char* skipSpaceAndSign(const char* text, const char* end, bool& negative) {
    const char* p = skipSpace(text, end);
    negative = peek(p, end) == '-';
    if (negative || peek(p, end) == '+') {
        ++p;
    }
    return p;
}

// Powers of ten that a double holds exactly.
inline constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                          1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                          1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The slow path for the rare number that the exact fast path cannot take: `first`
// starts at a digit or '.', [first, last) is exactly the number's syntax.
double slowDecimalToDouble(const char* first, const char* last, int decimalExponentOfLead);

}  // namespace decimal_detail

inline double decimalToDouble(const char* text, const char* end = nullptr) {
    using namespace decimal_detail;
    bool negative = false;
    const char* p = skipSpaceAndSign(text, end, negative);
    const char* first = p;

    // Up to 19 significant digits fit a 64-bit mantissa; later digits only matter to
    // the slow path, which rereads the text.
    std::uint64_t mantissa = 0;
    int significant = 0;
    int exponent = 0;          // power of ten applied to the mantissa
    int leadExponent = -1000;  // power of ten of the first non-zero digit
    int integerDigits = 0;
    bool anyDigit = false;
    bool truncated = false;

    unsigned char c = peek(p, end);
    while (isDigit(c)) {
        anyDigit = true;
        const unsigned d = c - '0';
        if (significant < 19) {
            mantissa = mantissa * 10 + d;
            if (mantissa != 0)
                ++significant;
        } else {
            ++exponent;
            truncated |= d != 0;
        }
        if (mantissa != 0 && leadExponent == -1000)
            leadExponent = 0;
        if (leadExponent != -1000)
            ++integerDigits;
        c = peek(++p, end);
    }
    if (integerDigits > 0)
        leadExponent = integerDigits - 1;
    if (c == '.') {
        c = peek(++p, end);
        int position = 0;
        while (isDigit(c)) {
            anyDigit = true;
            const unsigned d = c - '0';
            --position;
            if (significant < 19) {
                mantissa = mantissa * 10 + d;
                --exponent;
                if (mantissa != 0) {
                    if (leadExponent == -1000)
                        leadExponent = position;
                    ++significant;
                }
            } else {
                truncated |= d != 0;
            }
            c = peek(++p, end);
        }
    }
    if (!anyDigit)
        return 0.0;

    if (c == 'e' || c == 'E') {
        const char* q = p + 1;
        bool negativeExponent = false;
        unsigned char e = peek(q, end);
        if (e == '+' || e == '-') {
            negativeExponent = e == '-';
            e = peek(++q, end);
        }
        if (isDigit(e)) {
            int value = 0;
            while (isDigit(e)) {
                if (value < 100000)
                    value = value * 10 + (e - '0');
                e = peek(++q, end);
            }
            exponent += negativeExponent ? -value : value;
            if (leadExponent != -1000)
                leadExponent += negativeExponent ? -value : value;
            p = q;
        }
    }

    double value;
    if (mantissa == 0 && !truncated) {
        value = 0.0;
    } else if (!truncated && mantissa <= (std::uint64_t{1} << 53) && exponent >= -22 &&
               exponent <= 22) {
        // Both operands are exact, and IEEE multiplication and division round
        // correctly: the result is the correctly rounded value of the text.
        const double m = static_cast<double>(mantissa);
        value = exponent >= 0 ? m * kExactPowers[exponent] : m / kExactPowers[-exponent];
    } else {
        value = slowDecimalToDouble(first, p, leadExponent);
    }
    return negative ? -value : value;
}

inline int decimalToInt(const char* text, const char* end = nullptr) {
    using namespace decimal_detail;
    bool negative = false;
    const char* p = skipSpaceAndSign(text, end, negative);
    // Accumulate the magnitude up to just past the 32-bit range, then only consume.
    constexpr std::int64_t kCap = std::int64_t{INT_MAX} + 2;
    std::int64_t magnitude = 0;
    unsigned char c = peek(p, end);
    while (isDigit(c)) {
        if (magnitude < kCap)
            magnitude = magnitude * 10 + (c - '0');
        c = peek(++p, end);
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

}  // namespace nmeaz
