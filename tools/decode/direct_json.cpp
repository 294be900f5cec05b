#include "direct_json.h"

#include <array>
#include <vector>

#include "ais/layout.h"
#include "nmea/sentence_fields.h"
#include "present/json_writer.h"
#include "present/named_json.h"
#include "present/record_member.h"
#include "present/result_list.h"
#include "present/result_text.h"

namespace decode {

namespace {

using present::JsonWriter;

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

// One record field written as the result lists and texts write it (no quotes).
void putSentenceValue(JsonWriter& line, const nmeaz::FieldLayout& field, const void* record) {
    switch (field.kind) {
        case nmeaz::FieldKind::Double:
            line.putGeneral6(present::readMember<double>(record, field.offset));
            return;
        case nmeaz::FieldKind::Int:
            line.putInteger(present::readMember<int>(record, field.offset));
            return;
        case nmeaz::FieldKind::Char:
            line.putLatin1Body(present::readMember<char>(record, field.offset));
            return;
        case nmeaz::FieldKind::Text: {
            const char* text = present::readMember<const char*>(record, field.offset);
            if (text != nullptr) {
                line.putLatin1Body(text);
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

void putAisValue(JsonWriter& line, const ais::AisField& field, const void* record) {
    switch (field.way) {
        case ais::AisListWay::Integer:
            line.putInteger(aisInteger(field, record));
            return;
        case ais::AisListWay::Tenths:
            line.putInteger(aisInteger(field, record) / 10);
            return;
        case ais::AisListWay::Character:
            line.putLatin1Body(present::readMember<char>(record, field.offset));
            return;
        case ais::AisListWay::Text: {
            const char* text = static_cast<const char*>(record) + field.offset;
            line.putLatin1Body(std::string_view(text, strnlen(text, field.size)));
            return;
        }
        case ais::AisListWay::Degrees:
        case ais::AisListWay::Degrees10:
        case ais::AisListWay::Degrees1000: {
            // Every position is written from 1/10,000 minute, whatever its resolution.
            const long long scale = field.way == ais::AisListWay::Degrees10     ? 1000
                                    : field.way == ais::AisListWay::Degrees1000 ? 10
                                                                                : 1;
            line.putDegrees5(aisInteger(field, record) * scale);
            return;
        }
    }
}

void putList(JsonWriter& line, const present::DecodedSentence& decoded) {
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

void putText(JsonWriter& line, int code, const present::ResultTextPieces& pieces,
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
    JsonWriter line(out);
    line.put("{\"code\": ");
    line.putInteger(decoded.code);
    line.put(", \"key\": \"");
    line.putLatin1Body(key);
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
