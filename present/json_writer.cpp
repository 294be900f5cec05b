#include "present/json_writer.h"

#include <algorithm>
#include <charconv>

namespace present {

void JsonWriter::putLong(std::string_view text) {
    while (!text.empty()) {
        const std::size_t size = std::min(text.size(), kRoom);
        char* to = reserve(size);
        std::memcpy(to, text.data(), size);
        at_ = to + size;
        text.remove_prefix(size);
    }
}

void JsonWriter::putLatin1Body(std::string_view text) {
    // Nearly every text is printable ASCII and goes out as it is.
    for (const char c : text) {
        if (!plain(static_cast<unsigned char>(c))) {
            putEscaped(text);
            return;
        }
    }
    put(text);
}

void JsonWriter::putEscaped(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    // An escaped byte takes at most six bytes; a long text goes in pieces.
    constexpr std::size_t kPiece = kRoom / 6;
    while (!text.empty()) {
        const std::size_t size = std::min(text.size(), kPiece);
        char* to = reserve(size * 6);
        for (const char c : text.substr(0, size)) {
            const auto byte = static_cast<unsigned char>(c);
            if (plain(byte)) {
                *to++ = c;
            } else if (byte == '"' || byte == '\\') {
                *to++ = '\\';
                *to++ = c;
            } else if (byte >= 0x80) {
                *to++ = static_cast<char>(0xC0 | (byte >> 6));
                *to++ = static_cast<char>(0x80 | (byte & 0x3F));
            } else {
                *to++ = '\\';
                switch (byte) {
                    case '\b':
                        *to++ = 'b';
                        break;
                    case '\f':
                        *to++ = 'f';
                        break;
                    case '\n':
                        *to++ = 'n';
                        break;
                    case '\r':
                        *to++ = 'r';
                        break;
                    case '\t':
                        *to++ = 't';
                        break;
                    default:
                        std::memcpy(to, "u00", 3);
                        to[3] = kHex[byte >> 4];
                        to[4] = kHex[byte & 0xF];
                        to += 5;
                }
            }
        }
        at_ = to;
        text.remove_prefix(size);
    }
}

void JsonWriter::putInteger(long long value) {
    char* at = reserve(24);
    // Most integers on a line are a digit or two: counts, codes, satellite numbers.
    if (value >= 0 && value < 100) {
        if (value >= 10) {
            *at++ = static_cast<char>('0' + value / 10);
        }
        *at++ = static_cast<char>('0' + value % 10);
        at_ = at;
        return;
    }
    at_ = std::to_chars(at, at + 24, value).ptr;
}

}  // namespace present
