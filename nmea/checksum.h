// The checksum of an NMEA 0183 sentence: the exclusive-or of every byte between the
// start character ('$' or '!') and the '*' that introduces the two hexadecimal digits.
// The framer folds the same sum while the bytes arrive; everything that writes or
// checks whole sentences (simulator, tests, fuzzers, benchmarks) uses these helpers.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace nmeaz {

// The checksum of a sentence body: the text after the start character, up to its end
// or its first '*'. A leading '$' or '!' is skipped, so a whole sentence may be given.
constexpr std::uint8_t checksumOf(std::string_view body) {
    std::size_t i = 0;
    if (!body.empty() && (body[0] == '$' || body[0] == '!')) {
        i = 1;
    }
    std::uint8_t sum = 0;
    for (; i < body.size() && body[i] != '*'; ++i) {
        sum ^= static_cast<std::uint8_t>(body[i]);
    }
    return sum;
}

// The two upper-case hexadecimal digits a sentence carries after its '*'.
constexpr std::array<char, 2> checksumDigits(std::uint8_t sum) {
    constexpr char kHex[] = "0123456789ABCDEF";
    return {kHex[sum >> 4], kHex[sum & 0x0F]};
}

// start + body + "*hh" + ending, with the checksum of body. `body` is the text after
// the start character ("GPGGA,123519,...").
inline std::string framedSentence(char start, std::string_view body,
                                  std::string_view ending = "\r\n") {
    const auto digits = checksumDigits(checksumOf(body));
    std::string out;
    out.reserve(body.size() + ending.size() + 4);
    out += start;
    out += body;
    out += '*';
    out.append(digits.data(), digits.size());
    out += ending;
    return out;
}

static_assert(checksumOf("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,") == 0x47);
static_assert(checksumOf("$IIMTW,17.8,C*1D") == checksumOf("IIMTW,17.8,C"));

}  // namespace nmeaz
