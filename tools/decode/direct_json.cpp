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

// The body of a JSON string (no quotes) for Latin-1 bytes, escaped as appendJsonString
// escapes the same characters.
void appendEscaped(std::string& out, std::string_view text) {
    present::appendJsonLatin1Body(out, text);
}

void appendAscii(std::string& out, const char* begin, const char* end) {
    out.append(begin, end);
}

// One character: most are plain ASCII that needs no escape.
void appendEscapedChar(std::string& out, char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x80 && byte != '"' && byte != '\\') {
        out.push_back(c);
    } else {
        appendEscaped(out, std::string_view(&c, 1));
    }
}

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
            appendEscaped(escaped, pieces.literals[k]);
            literals.push_back(std::move(escaped));
        }
    }
    return literals.data();
}

// One record field written as the result lists and texts write it (no quotes).
void appendSentenceValue(std::string& out, const nmeaz::FieldLayout& field, const void* record) {
    char buffer[present::kNumberCharsSize];
    switch (field.kind) {
        case nmeaz::FieldKind::Double: {
            appendAscii(
                out, buffer,
                present::writeGeneral6(buffer, present::readMember<double>(record, field.offset)));
            return;
        }
        case nmeaz::FieldKind::Int: {
            const auto end = std::to_chars(buffer, buffer + sizeof buffer,
                                           present::readMember<int>(record, field.offset));
            appendAscii(out, buffer, end.ptr);
            return;
        }
        case nmeaz::FieldKind::Char:
            appendEscapedChar(out, present::readMember<char>(record, field.offset));
            return;
        case nmeaz::FieldKind::Text: {
            const char* text = present::readMember<const char*>(record, field.offset);
            if (text != nullptr) {
                appendEscaped(out, text);
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

void appendAisValue(std::string& out, const ais::AisField& field, const void* record) {
    char buffer[present::kNumberCharsSize];
    switch (field.way) {
        case ais::AisListWay::Integer:
        case ais::AisListWay::Tenths: {
            long long value = aisInteger(field, record);
            if (field.way == ais::AisListWay::Tenths) {
                value /= 10;
            }
            const auto end = std::to_chars(buffer, buffer + sizeof buffer, value);
            appendAscii(out, buffer, end.ptr);
            return;
        }
        case ais::AisListWay::Character:
            appendEscapedChar(out, present::readMember<char>(record, field.offset));
            return;
        case ais::AisListWay::Text: {
            const char* text = static_cast<const char*>(record) + field.offset;
            appendEscaped(out, std::string_view(text, strnlen(text, field.size)));
            return;
        }
        case ais::AisListWay::Degrees:
        case ais::AisListWay::Degrees10:
        case ais::AisListWay::Degrees1000: {
            // Every position is written from 1/10,000 minute, whatever its resolution.
            const long long scale = field.way == ais::AisListWay::Degrees10     ? 1000
                                    : field.way == ais::AisListWay::Degrees1000 ? 10
                                                                                : 1;
            appendAscii(out, buffer,
                        present::writeDegrees5(buffer, aisInteger(field, record) * scale));
            return;
        }
    }
}

void appendList(std::string& out, const present::DecodedSentence& decoded) {
    out += ", \"list\": [";
    bool first = true;
    auto separate = [&] {
        out += first ? "\"" : ", \"";
        first = false;
    };
    if (decoded.ais != nullptr) {
        for (const ais::AisField& field : decoded.ais->fields) {
            if (ais::aisFieldListed(*decoded.ais, field, decoded.record)) {
                separate();
                // A field the message did not carry is listed empty.
                if (ais::aisFieldPresent(*decoded.ais, field, decoded.record)) {
                    appendAisValue(out, field, decoded.record);
                }
                out += '"';
            }
        }
    } else {
        const nmeaz::SentenceLayout& layout = *decoded.sentence;
        const int leading = layout.leadingField;
        if (leading >= 0) {
            separate();
            appendSentenceValue(out, layout.fields[leading], decoded.record);
            out += '"';
        }
        for (std::size_t i = 0; i < layout.fields.size(); ++i) {
            if (static_cast<int>(i) != leading) {
                separate();
                appendSentenceValue(out, layout.fields[i], decoded.record);
                out += '"';
            }
        }
    }
    out += ']';
}

void appendText(std::string& out, int code, const present::ResultTextPieces& pieces,
                const void* record) {
    out += ", \"text\": \"";
    const std::string* literals = escapedLiterals(code, pieces);
    for (int k = 0; k < pieces.count; ++k) {
        out += literals[k];
        appendSentenceValue(out, *pieces.fields[k], record);
    }
    out += literals[pieces.count];
    out += '"';
}

}  // namespace

void appendDirectJsonLine(std::string& out, const present::DecodedSentence& decoded,
                          std::string_view key) {
    char number[16];
    const auto end = std::to_chars(number, number + sizeof number, decoded.code).ptr;
    out += "{\"code\": ";
    out.append(number, end);
    out += ", \"key\": \"";
    appendEscaped(out, key);
    out += '"';
    if (decoded.record != nullptr) {
        const bool list = decoded.ais != nullptr || present::hasSentenceList(decoded.code);
        present::ResultTextPieces pieces;
        const bool text = decoded.ais == nullptr && present::resultTextPieces(decoded.code, pieces);
        if (list) {
            appendList(out, decoded);
        }
        if (text) {
            appendText(out, decoded.code, pieces, decoded.record);
        }
    }
    out += "}\n";
}

}  // namespace decode
