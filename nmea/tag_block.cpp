#include "nmea/tag_block.h"

#include <charconv>
#include <cstring>

namespace nmeaz {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// "1418169601", "1418169601.25" or "1418169601250": the time in milliseconds.
bool readTime(const char* begin, const char* end, std::int64_t& ms) {
    const char* dot = begin;
    while (dot != end && isDigit(*dot))
        ++dot;
    const std::size_t digits = static_cast<std::size_t>(dot - begin);
    if (digits == 0 || digits > 15)
        return false;
    std::int64_t whole = 0;
    std::from_chars(begin, dot, whole);
    if (digits >= 12) {
        ms = whole;
        return dot == end;
    }
    std::int64_t fraction = 0;
    if (dot != end) {
        if (*dot != '.')
            return false;
        int scale = 100;
        for (const char* p = dot + 1; p != end; ++p) {
            if (!isDigit(*p))
                return false;
            fraction += (*p - '0') * scale;
            scale /= 10;
        }
    }
    ms = whole * 1000 + fraction;
    return true;
}

void readField(const char* begin, const char* end, TagBlock& out) {
    if (end - begin < 2 || begin[1] != ':')
        return;
    const char* value = begin + 2;
    switch (begin[0]) {
        case 'c':
            out.hasTime = readTime(value, end, out.timeMs);
            break;
        case 's': {
            const std::size_t n = static_cast<std::size_t>(end - value);
            const std::size_t kept = n < kTagSourceSize - 1 ? n : kTagSourceSize - 1;
            std::memcpy(out.source, value, kept);
            out.source[kept] = '\0';
            out.hasSource = true;
            break;
        }
        default:
            break;  // group, line count, destination, text: not needed for replay
    }
}

}  // namespace

std::size_t parseTagBlock(const char* text, std::size_t length, TagBlock& out) {
    out = TagBlock{};
    if (length < 5 || text[0] != '\\')
        return 0;
    // A block is short; one that runs past a sentence's length is not a block.
    const std::size_t limit = length < 256 ? length : 256;
    std::uint8_t checksum = 0;
    std::size_t star = 1;
    for (; star < limit && text[star] != '*'; ++star) {
        if (text[star] == '\\' || text[star] == '\r' || text[star] == '\n')
            return 0;
        checksum ^= static_cast<std::uint8_t>(text[star]);
    }
    if (star + 3 >= limit || text[star + 3] != '\\')
        return 0;
    const int high = hexValue(text[star + 1]);
    const int low = hexValue(text[star + 2]);
    if (high < 0 || low < 0 || checksum != ((high << 4) | low))
        return 0;
    const char* field = text + 1;
    const char* fieldsEnd = text + star;
    while (field < fieldsEnd) {
        const char* comma = static_cast<const char*>(
            std::memchr(field, ',', static_cast<std::size_t>(fieldsEnd - field)));
        const char* end = comma ? comma : fieldsEnd;
        readField(field, end, out);
        field = end + 1;
    }
    return star + 4;
}

std::size_t formatTimeTag(std::int64_t unixMs, char* out, std::size_t size) {
    char body[24] = {'c', ':'};
    const std::int64_t seconds = unixMs >= 0 ? unixMs / 1000 : 0;
    const auto [end, ec] = std::to_chars(body + 2, body + sizeof body, seconds);
    if (ec != std::errc())
        return 0;
    const std::size_t bodyLength = static_cast<std::size_t>(end - body);
    const std::size_t total = bodyLength + 5;  // backslash, '*', two digits, backslash
    if (size < total)
        return 0;
    std::uint8_t checksum = 0;
    for (std::size_t i = 0; i < bodyLength; ++i)
        checksum ^= static_cast<std::uint8_t>(body[i]);
    static constexpr char kHex[] = "0123456789ABCDEF";
    out[0] = '\\';
    std::memcpy(out + 1, body, bodyLength);
    out[bodyLength + 1] = '*';
    out[bodyLength + 2] = kHex[checksum >> 4];
    out[bodyLength + 3] = kHex[checksum & 0xF];
    out[bodyLength + 4] = '\\';
    return total;
}

}  // namespace nmeaz
