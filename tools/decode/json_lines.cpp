#include "json_lines.h"

#include <charconv>

namespace decode {

namespace {

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

void appendControlEscape(std::string& out, char16_t c) {
    static constexpr char kHex[] = "0123456789abcdef";
    switch (c) {
        case u'\b':
            out += "\\b";
            return;
        case u'\f':
            out += "\\f";
            return;
        case u'\n':
            out += "\\n";
            return;
        case u'\r':
            out += "\\r";
            return;
        case u'\t':
            out += "\\t";
            return;
        default:
            out += "\\u00";
            out.push_back(kHex[(c >> 4) & 0xF]);
            out.push_back(kHex[c & 0xF]);
    }
}

}  // namespace

void appendJsonString(std::string& out, QStringView text) {
    out.push_back('"');
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'"' || c == u'\\') {
            out.push_back('\\');
            out.push_back(static_cast<char>(c));
        } else if (c < 0x20) {
            appendControlEscape(out, c);
        } else if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && text[i + 1].isLowSurrogate()) {
            appendUtf8(out, QChar::surrogateToUcs4(c, text[i + 1].unicode()));
            ++i;
        } else {
            appendUtf8(out, c);
        }
    }
    out.push_back('"');
}

void appendJsonLine(std::string& out, int code, QStringView key, const QStringList* list,
                    const QString* text) {
    char number[16];
    const auto end = std::to_chars(number, number + sizeof number, code).ptr;
    out += "{\"code\": ";
    out.append(number, end);
    out += ", \"key\": ";
    appendJsonString(out, key);
    if (list != nullptr) {
        out += ", \"list\": [";
        for (qsizetype i = 0; i < list->size(); ++i) {
            if (i > 0) {
                out += ", ";
            }
            appendJsonString(out, list->at(i));
        }
        out += "]";
    }
    if (text != nullptr) {
        out += ", \"text\": ";
        appendJsonString(out, *text);
    }
    out += "}\n";
}

}  // namespace decode
