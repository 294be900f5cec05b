#include "present/named_json.h"

#include "ais/layout.h"
#include "nmea/parser_context.h"
#include "nmea/sentence_fields.h"
#include "present/named_values.h"

namespace present {

namespace {

void appendName(std::string& out, const char* name, bool& first) {
    out += first ? "\"" : ", \"";
    first = false;
    out += name;
    out += "\": ";
}

template <typename T>
void appendOr(std::string& out, const std::optional<T>& value, std::string_view text) {
    if (value) {
        if constexpr (std::is_same_v<T, double>) {
            out += shortestNumber(*value);
        } else {
            out += '"';
            out += *value;
            out += '"';
        }
    } else {
        // Text that is not what the field should hold is kept as it came.
        appendJsonLatin1(out, text);
    }
}

void appendSentenceField(std::string& out, const nmeaz::ParserContext& context,
                         const nmeaz::SentenceLayout& layout, std::size_t index) {
    const nmeaz::FieldLayout& field = layout.fields[index];
    const std::string_view text = wireField(context, layout, field);
    if (text.empty()) {
        out += "null";
        return;
    }
    switch (field.show) {
        case nmeaz::Show::Latitude:
        case nmeaz::Show::Longitude: {
            const bool hasHemisphere = index + 1 < layout.fields.size();
            const std::string_view hemisphere =
                hasHemisphere ? wireField(context, layout, layout.fields[index + 1])
                              : std::string_view();
            appendOr(out, wireDegrees(text, hemisphere.empty() ? '\0' : hemisphere[0]), text);
            return;
        }
        case nmeaz::Show::Time:
            appendOr(out, wireTime(text), text);
            return;
        case nmeaz::Show::Date:
            appendOr(out, wireDate(text), text);
            return;
        case nmeaz::Show::Plain:
        case nmeaz::Show::Hemisphere:
            break;
    }
    if (field.kind == nmeaz::FieldKind::Double || field.kind == nmeaz::FieldKind::Int) {
        if (const auto number = jsonNumber(text)) {
            out += *number;
            return;
        }
    }
    appendJsonLatin1(out, text);
}

void appendAisField(std::string& out, const ais::AisMessageLayout& layout,
                    const ais::AisField& field, const void* record) {
    // A field beyond the end of a short payload was not sent.
    if (!ais::aisFieldPresent(layout, field, record)) {
        out += "null";
        return;
    }
    if (aisIsText(field)) {
        appendJsonLatin1(out, aisText(field, record));
        return;
    }
    const auto number = aisNumber(field, record);
    out += number ? shortestNumber(*number) : std::string("null");
}

}  // namespace

void appendJsonLatin1Body(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    const char* run = text.data();
    const char* const end = text.data() + text.size();
    for (const char* p = run; p != end; ++p) {
        const auto byte = static_cast<unsigned char>(*p);
        if (byte >= 0x20 && byte < 0x80 && byte != '"' && byte != '\\') {
            continue;  // printable ASCII goes out as it is, a run at a time
        }
        out.append(run, p);
        run = p + 1;
        if (byte == '"' || byte == '\\') {
            out += '\\';
            out += static_cast<char>(byte);
        } else if (byte >= 0x80) {
            out += static_cast<char>(0xC0 | (byte >> 6));
            out += static_cast<char>(0x80 | (byte & 0x3F));
        } else {
            switch (byte) {
                case '\b':
                    out += "\\b";
                    break;
                case '\f':
                    out += "\\f";
                    break;
                case '\n':
                    out += "\\n";
                    break;
                case '\r':
                    out += "\\r";
                    break;
                case '\t':
                    out += "\\t";
                    break;
                default:
                    out += "\\u00";
                    out += kHex[byte >> 4];
                    out += kHex[byte & 0xF];
            }
        }
    }
    out.append(run, end);
}

void appendJsonLatin1(std::string& out, std::string_view text) {
    out += '"';
    appendJsonLatin1Body(out, text);
    out += '"';
}

void appendNamedJson(std::string& out, const DecodedSentence& decoded, std::string_view key) {
    if (decoded.record == nullptr || (decoded.sentence == nullptr && decoded.ais == nullptr) ||
        key.size() < 6) {
        return;
    }
    out += "{\"key\": ";
    appendJsonLatin1(out, key);
    out += ", \"talker\": ";
    appendJsonLatin1(out, key.substr(1, 2));
    out += ", \"type\": ";
    bool first = true;
    if (decoded.ais != nullptr) {
        const ais::AisMessageLayout& layout = *decoded.ais;
        out += std::to_string(layout.messageType);
        out += ", \"fields\": {";
        for (const ais::AisField& field : layout.fields) {
            if (aisFieldShown(layout, field, decoded.record)) {
                appendName(out, field.named != nullptr ? field.named : field.name, first);
                appendAisField(out, layout, field, decoded.record);
            }
        }
    } else {
        const nmeaz::SentenceLayout& layout = *decoded.sentence;
        appendJsonLatin1(out, layout.formatter);
        out += ", \"fields\": {";
        for (std::size_t i = 0; i < layout.fields.size(); ++i) {
            if (layout.fields[i].show != nmeaz::Show::Hemisphere) {
                appendName(out, nmeaz::namedOf(layout.fields[i]), first);
                appendSentenceField(out, *decoded.context, layout, i);
            }
        }
    }
    out += "}}\n";
}

}  // namespace present
