// Helpers shared by the NMEA core tests: sentence building and feeding.
#pragma once

#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "nmea/parser_context.h"

namespace nmeaz::test {

// "$GPGGA,..." -> "$GPGGA,...*hh\r\n" with the checksum computed here, independently
// of the framing code: the exclusive-or of every byte after the start character.
inline std::string withChecksum(std::string_view body, const char* ending = "\r\n") {
    unsigned value = 0;
    for (char c : body.substr(1))
        value ^= static_cast<unsigned char>(c);
    char digits[4];
    std::snprintf(digits, sizeof digits, "%02X", value);
    return std::string(body) + "*" + digits + ending;
}

// Joins texts (GCC 12 warns falsely about `"literal" + std::string` at -O3).
inline std::string concat(std::initializer_list<std::string_view> parts) {
    std::string out;
    for (std::string_view part : parts)
        out.append(part);
    return out;
}

// Feeds all of `bytes` through feedBuffer, as the parse cycle does, and returns the
// codes in stream order.
inline std::vector<int> feedAll(ParserContext& context, std::string_view bytes) {
    std::vector<int> codes;
    const char* data = bytes.data();
    int remaining = static_cast<int>(bytes.size());
    while (remaining > 0) {
        int length = remaining;
        const int code = feedBuffer(&context, data, &length);
        data += remaining - length;
        remaining = length;
        if (code != 0)
            codes.push_back(code);
    }
    return codes;
}

}  // namespace nmeaz::test
