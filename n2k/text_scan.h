// Small, allocation-free helpers the gateway line readers share: hexadecimal and
// decimal digits, and a cursor that walks the separated fields of one line.
#pragma once

#include <cstdint>
#include <string_view>

namespace n2k {

// The value of one hexadecimal digit, or -1.
constexpr int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

constexpr bool isDecimalDigit(char c) {
    return c >= '0' && c <= '9';
}

// An unsigned hexadecimal number of 1..8 digits making up the whole of `text`.
constexpr bool parseHex(std::string_view text, std::uint32_t& value) {
    if (text.empty() || text.size() > 8)
        return false;
    std::uint32_t v = 0;
    for (char c : text) {
        const int d = hexDigit(c);
        if (d < 0)
            return false;
        v = (v << 4) | static_cast<std::uint32_t>(d);
    }
    value = v;
    return true;
}

// An unsigned decimal number of 1..9 digits making up the whole of `text`.
constexpr bool parseDecimal(std::string_view text, std::uint32_t& value) {
    if (text.empty() || text.size() > 9)
        return false;
    std::uint32_t v = 0;
    for (char c : text) {
        if (!isDecimalDigit(c))
            return false;
        v = v * 10 + static_cast<std::uint32_t>(c - '0');
    }
    value = v;
    return true;
}

// Packed hexadecimal bytes ("FF72A0"): an even number of digits, at most `capacity`
// bytes. Returns the byte count, or -1.
constexpr int parseHexBytes(std::string_view text, std::uint8_t* out, int capacity) {
    if (text.size() % 2 != 0 || static_cast<int>(text.size() / 2) > capacity)
        return -1;
    const int count = static_cast<int>(text.size() / 2);
    for (int i = 0; i < count; ++i) {
        const int hi = hexDigit(text[static_cast<std::size_t>(2 * i)]);
        const int lo = hexDigit(text[static_cast<std::size_t>(2 * i + 1)]);
        if (hi < 0 || lo < 0)
            return -1;
        out[i] = static_cast<std::uint8_t>(hi << 4 | lo);
    }
    return count;
}

// Walks the fields of a line separated by one character. `next` fails once the
// line is used up; `rest` is what has not been taken yet.
class FieldCursor {
public:
    constexpr FieldCursor(std::string_view line, char separator)
        : rest_(line), separator_(separator), done_(false) {}

    constexpr bool next(std::string_view& field) {
        if (done_)
            return false;
        // Fields are a few characters long: a plain scan beats a library search here.
        std::size_t at = 0;
        while (at < rest_.size() && rest_[at] != separator_)
            ++at;
        if (at == rest_.size()) {
            field = rest_;
            rest_ = {};
            done_ = true;
        } else {
            field = rest_.substr(0, at);
            rest_.remove_prefix(at + 1);
        }
        return true;
    }

    constexpr bool atEnd() const { return done_; }
    constexpr std::string_view rest() const { return rest_; }

private:
    std::string_view rest_;
    char separator_;
    bool done_;
};

// Walks the words of a line separated by runs of spaces or tabs.
class WordCursor {
public:
    constexpr explicit WordCursor(std::string_view line) : rest_(line) {}

    constexpr bool next(std::string_view& word) {
        skipBlanks();
        if (rest_.empty())
            return false;
        std::size_t end = 0;
        while (end < rest_.size() && rest_[end] != ' ' && rest_[end] != '\t')
            ++end;
        word = rest_.substr(0, end);
        rest_.remove_prefix(end);
        return true;
    }

    constexpr bool atEnd() {
        skipBlanks();
        return rest_.empty();
    }

private:
    constexpr void skipBlanks() {
        while (!rest_.empty() && (rest_.front() == ' ' || rest_.front() == '\t'))
            rest_.remove_prefix(1);
    }

    std::string_view rest_;
};

}  // namespace n2k
