#include "direct_json.h"

#include <array>
#include <charconv>
#include <cstring>
#include <vector>

#include "ais/layout.h"
#include "nmea/sentence_fields.h"
#include "present/named_json.h"
#include "present/number_chars.h"
#include "present/record_member.h"
#include "present/result_list.h"
#include "present/result_text.h"

namespace decode {

namespace {

// A line is put together in a buffer of its own and handed to the output in one
// append: a dozen small appends to a std::string per line cost more than writing
// the values. Whatever does not fit (a long text) goes to the output directly.
class LineWriter {
public:
    explicit LineWriter(std::string& out) : out_(out) {}
    LineWriter(const LineWriter&) = delete;
    LineWriter& operator=(const LineWriter&) = delete;
    ~LineWriter() { flush(); }

    // Room for `size` more bytes at the returned position; advance() then says how
    // many were written. `size` is at most kRoom.
    char* reserve(std::size_t size) {
        if (static_cast<std::size_t>(buffer_ + sizeof buffer_ - at_) < size) {
            flush();
        }
        return at_;
    }
    void advance(char* to) { at_ = to; }

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
            flush();
            out_.append(text);
            return;
        }
        char* to = reserve(text.size());
        std::memcpy(to, text.data(), text.size());
        at_ = to + text.size();
    }
    // The body of a JSON string (no quotes) for Latin-1 bytes.
    void putEscaped(char c) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x80 && byte != '"' && byte != '\\') {
            put(c);
        } else {
            putEscaped(std::string_view(&c, 1));
        }
    }
    void putEscaped(std::string_view text) {
        // An escaped byte takes at most six bytes.
        if (text.size() > kRoom / 6) {
            flush();
            present::appendJsonLatin1Body(out_, text);
            return;
        }
        char* to = reserve(text.size() * 6);
        for (const char c : text) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte >= 0x20 && byte < 0x80 && byte != '"' && byte != '\\') {
                *to++ = c;
            } else {
                at_ = to;
                flush();
                present::appendJsonLatin1Body(out_, std::string_view(&c, 1));
                to = at_;
            }
        }
        at_ = to;
    }

    static constexpr std::size_t kRoom = 1024;

private:
    void flush() {
        out_.append(buffer_, static_cast<std::size_t>(at_ - buffer_));
        at_ = buffer_;
    }

    std::string& out_;
    char buffer_[kRoom];
    char* at_ = buffer_;
};

// The literals of a result text, escaped for JSON once per parse code.
const std::string* escapedLiterals(int code, const present::ResultTextPieces& pieces) {
    static std::array<std::vector<std::string>, 128> cache;
    if (code < 0 || code >= static_cast<int>(cache.size())) {
        return nullptr;
    }
    std::vector<std::string>& literals = cache[static_cast<std::size_t>(code)];
    if (literals.empty()) {
        for (int k = 0; k <= pieces.count; ++k) {
            std::string escaped;
            present::appendJsonLatin1Body(escaped, pieces.literals[k]);
            literals.push_back(std::move(escaped));
        }
    }
    return literals.data();
}

void putInteger(LineWriter& line, long long value) {
    char* at = line.reserve(24);
    // Most integers on a line are a digit or two: counts, codes, satellite numbers.
    if (value >= 0 && value < 100) {
        if (value >= 10) {
            *at++ = static_cast<char>('0' + value / 10);
        }
        *at++ = static_cast<char>('0' + value % 10);
        line.advance(at);
        return;
    }
    line.advance(std::to_chars(at, at + 24, value).ptr);
}

// One record field written as the result lists and texts write it (no quotes).
void putSentenceValue(LineWriter& line, const nmeaz::FieldLayout& field, const void* record) {
    switch (field.kind) {
        case nmeaz::FieldKind::Double:
            line.advance(present::writeGeneral6(line.reserve(present::kNumberCharsSize),
                                                present::readMember<double>(record, field.offset)));
            return;
        case nmeaz::FieldKind::Int:
            putInteger(line, present::readMember<int>(record, field.offset));
            return;
        case nmeaz::FieldKind::Char:
            line.putEscaped(present::readMember<char>(record, field.offset));
            return;
        case nmeaz::FieldKind::Text: {
            const char* text = present::readMember<const char*>(record, field.offset);
            if (text != nullptr) {
                line.putEscaped(text);
            }
            return;
        }
    }
}

long long aisInteger(const ais::AisField& field, const void* record) {
    if (field.store == ais::AisStore::Signed) {
        return present::readMember<std::int32_t>(record, field.offset);
    }
    return present::readMember<std::uint32_t>(record, field.offset);
}

void putAisValue(LineWriter& line, const ais::AisField& field, const void* record) {
    switch (field.way) {
        case ais::AisListWay::Integer:
            putInteger(line, aisInteger(field, record));
            return;
        case ais::AisListWay::Tenths:
            putInteger(line, aisInteger(field, record) / 10);
            return;
        case ais::AisListWay::Character:
            line.putEscaped(present::readMember<char>(record, field.offset));
            return;
        case ais::AisListWay::Text: {
            const char* text = static_cast<const char*>(record) + field.offset;
            line.putEscaped(std::string_view(text, strnlen(text, field.size)));
            return;
        }
        case ais::AisListWay::Degrees:
        case ais::AisListWay::Degrees10:
        case ais::AisListWay::Degrees1000: {
            // Every position is written from 1/10,000 minute, whatever its resolution.
            const long long scale = field.way == ais::AisListWay::Degrees10     ? 1000
                                    : field.way == ais::AisListWay::Degrees1000 ? 10
                                                                                : 1;
            line.advance(present::writeDegrees5(line.reserve(present::kNumberCharsSize),
                                                aisInteger(field, record) * scale));
            return;
        }
    }
}

void putList(LineWriter& line, const present::DecodedSentence& decoded) {
    line.put(", \"list\": [");
    bool first = true;
    auto separate = [&] {
        if (first) {
            line.put('"');
            first = false;
        } else {
            line.put(", \"");
        }
    };
    if (decoded.ais != nullptr) {
        for (const ais::AisField& field : decoded.ais->fields) {
            if (ais::aisFieldListed(*decoded.ais, field, decoded.record)) {
                separate();
                // A field the message did not carry is listed empty.
                if (ais::aisFieldPresent(*decoded.ais, field, decoded.record)) {
                    putAisValue(line, field, decoded.record);
                }
                line.put('"');
            }
        }
    } else {
        const nmeaz::SentenceLayout& layout = *decoded.sentence;
        const int leading = layout.leadingField;
        if (leading >= 0) {
            separate();
            putSentenceValue(line, layout.fields[leading], decoded.record);
            line.put('"');
        }
        for (std::size_t i = 0; i < layout.fields.size(); ++i) {
            if (static_cast<int>(i) != leading) {
                separate();
                putSentenceValue(line, layout.fields[i], decoded.record);
                line.put('"');
            }
        }
    }
    line.put(']');
}

void putText(LineWriter& line, int code, const present::ResultTextPieces& pieces,
             const void* record) {
    line.put(", \"text\": \"");
    const std::string* literals = escapedLiterals(code, pieces);
    for (int k = 0; k < pieces.count; ++k) {
        line.put(literals[k]);
        putSentenceValue(line, *pieces.fields[k], record);
    }
    line.put(literals[pieces.count]);
    line.put('"');
}

}  // namespace

void appendDirectJsonLine(std::string& out, const present::DecodedSentence& decoded,
                          std::string_view key) {
    LineWriter line(out);
    line.put("{\"code\": ");
    putInteger(line, decoded.code);
    line.put(", \"key\": \"");
    line.putEscaped(key);
    line.put('"');
    if (decoded.record != nullptr) {
        const bool list = decoded.ais != nullptr || present::hasSentenceList(decoded.code);
        present::ResultTextPieces pieces;
        const bool text = decoded.ais == nullptr && present::resultTextPieces(decoded.code, pieces);
        if (list) {
            putList(line, decoded);
        }
        if (text) {
            putText(line, decoded.code, pieces, decoded.record);
        }
    }
    line.put("}\n");
}

}  // namespace decode
