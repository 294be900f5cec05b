// JSON text put together in a buffer of its own and handed to a std::string in whole
// pieces: the decoder writes a few hundred thousand lines a second, and a dozen small
// appends to a std::string per line cost more than writing the values. Plain C++.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

#include "present/number_chars.h"

namespace present {

class JsonWriter {
public:
    explicit JsonWriter(std::string& out) : out_(out) {}
    JsonWriter(const JsonWriter&) = delete;
    JsonWriter& operator=(const JsonWriter&) = delete;
    ~JsonWriter() { flush(); }

    // A literal: its size is known here, so the copy is a few moves.
    template <std::size_t N>
    void put(const char (&text)[N]) {
        char* to = reserve(N - 1);
        std::memcpy(to, text, N - 1);
        at_ = to + N - 1;
    }
    void put(char c) {
        char* to = reserve(1);
        *to = c;
        at_ = to + 1;
    }
    void put(std::string_view text) {
        if (text.size() > kRoom) {
            putLong(text);
            return;
        }
        char* to = reserve(text.size());
        std::memcpy(to, text.data(), text.size());
        at_ = to + text.size();
    }

    // Bytes read as Latin-1, escaped as the body of a JSON string (no quotes).
    void putLatin1Body(std::string_view text);
    void putLatin1Body(char c) {
        if (plain(static_cast<unsigned char>(c))) {
            put(c);
        } else {
            putLatin1Body(std::string_view(&c, 1));
        }
    }
    // The same as a JSON string, quotes included.
    void putLatin1String(std::string_view text) {
        put('"');
        putLatin1Body(text);
        put('"');
    }

    void putInteger(long long value);
    // The forms of number_chars.h.
    void putGeneral6(double value) { at_ = writeGeneral6(reserve(kNumberCharsSize), value); }
    void putShortest(double value) { at_ = writeShortest(reserve(kNumberCharsSize), value); }
    void putDegrees5(long long tenThousandthsOfMinute) {
        at_ = writeDegrees5(reserve(kNumberCharsSize), tenThousandthsOfMinute);
    }

private:
    // The most reserve() may ask for at once.
    static constexpr std::size_t kRoom = 1024;

    // Room for `size` (at most kRoom) more bytes at the returned position.
    char* reserve(std::size_t size) {
        if (static_cast<std::size_t>(buffer_ + kRoom - at_) < size) {
            flush();
        }
        return at_;
    }
    // Printable ASCII other than the quote and the backslash goes out unescaped.
    static bool plain(unsigned char byte) {
        return byte >= 0x20 && byte < 0x80 && byte != '"' && byte != '\\';
    }
    void putLong(std::string_view text);
    void putEscaped(std::string_view text);
    void flush() {
        out_.append(buffer_, static_cast<std::size_t>(at_ - buffer_));
        at_ = buffer_;
    }

    std::string& out_;
    char buffer_[kRoom];
    char* at_ = buffer_;
};

}  // namespace present
