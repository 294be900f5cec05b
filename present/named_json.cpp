#include "present/named_json.h"

#include <array>
#include <vector>

#include "ais/eta.h"
#include "ais/layout.h"
#include "nmea/parser_context.h"
#include "nmea/records.h"
#include "nmea/sentence_fields.h"
#include "nmea/sentence_parsers.h"
#include "present/json_writer.h"
#include "present/named_values.h"

namespace present {

namespace {

// `, "name": ` for every field of a layout, made once: the names are constant, and
// a line of a dozen fields would otherwise measure and copy each name in pieces.
template <typename Layout, typename NameOf>
const std::string* nameFragments(const Layout& layout, std::vector<std::string>& fragments,
                                 NameOf nameOf) {
    if (fragments.size() != layout.fields.size()) {
        fragments.clear();
        for (const auto& field : layout.fields) {
            fragments.push_back(std::string(", \"") + nameOf(field) + "\": ");
        }
    }
    return fragments.data();
}

const std::string* sentenceNames(const nmeaz::SentenceLayout& layout) {
    static std::array<std::vector<std::string>, nmeaz::kSentenceTypeCount> cache;
    return nameFragments(layout, cache[static_cast<std::size_t>(&layout - nmeaz::kSentenceLayouts)],
                         [](const nmeaz::FieldLayout& field) { return nmeaz::namedOf(field); });
}

const std::string* aisNames(const ais::AisMessageLayout& layout) {
    static std::array<std::vector<std::string>, ais::kAisLayoutCount> cache;
    return nameFragments(layout, cache[static_cast<std::size_t>(&layout - ais::kAisLayouts)],
                         [](const ais::AisField& field) {
                             return field.named != nullptr ? field.named : field.name;
                         });
}

// The first name goes without the separating comma.
void putName(JsonWriter& out, const std::string& fragment, bool& first) {
    out.put(first ? std::string_view(fragment).substr(2) : std::string_view(fragment));
    first = false;
}

template <typename T>
void putOr(JsonWriter& out, const std::optional<T>& value, std::string_view text) {
    if (value) {
        if constexpr (std::is_same_v<T, double>) {
            out.putShortest(*value);
        } else {
            out.put('"');
            out.put(*value);
            out.put('"');
        }
    } else {
        // Text that is not what the field should hold is kept as it came.
        out.putLatin1String(text);
    }
}

void putSentenceField(JsonWriter& out, const nmeaz::ParserContext& context,
                      const nmeaz::SentenceLayout& layout, std::size_t index) {
    const nmeaz::FieldLayout& field = layout.fields[index];
    const std::string_view text = wireField(context, layout, field);
    if (text.empty()) {
        out.put("null");
        return;
    }
    switch (field.show) {
        case nmeaz::Show::Latitude:
        case nmeaz::Show::Longitude: {
            const bool hasHemisphere = index + 1 < layout.fields.size();
            const std::string_view hemisphere =
                hasHemisphere ? wireField(context, layout, layout.fields[index + 1])
                              : std::string_view();
            putOr(out, wireDegrees(text, hemisphere.empty() ? '\0' : hemisphere[0]), text);
            return;
        }
        case nmeaz::Show::Time:
            putOr(out, wireTime(text), text);
            return;
        case nmeaz::Show::Date:
            putOr(out, wireDate(text), text);
            return;
        case nmeaz::Show::Plain:
        case nmeaz::Show::Hemisphere:
            break;
    }
    if (field.kind == nmeaz::FieldKind::Double || field.kind == nmeaz::FieldKind::Int) {
        if (const auto number = jsonNumberParts(text)) {
            if (number->negative) {
                out.put('-');
            }
            out.put(number->integer);
            if (!number->fraction.empty()) {
                out.put('.');
                out.put(number->fraction);
            }
            return;
        }
    }
    out.putLatin1String(text);
}

void putAisField(JsonWriter& out, const ais::AisMessageLayout& layout, const ais::AisField& field,
                 const void* record) {
    // A field beyond the end of a short payload was not sent.
    if (!ais::aisFieldPresent(layout, field, record)) {
        out.put("null");
        return;
    }
    if (aisIsText(field)) {
        out.putLatin1String(aisText(field, record));
        return;
    }
    if (const auto number = aisNumber(field, record)) {
        out.putShortest(*number);
    } else {
        out.put("null");
    }
}

// Message 5's ETA as its four parts, each null when not available.
void putEta(JsonWriter& out, const ais::AisMessageLayout& layout, const ais::AisField& field,
            const void* record, bool& first) {
    const bool present = ais::aisFieldPresent(layout, field, record);
    const auto number = aisNumber(field, record);
    const ais::AisEtaParts parts =
        ais::aisEtaParts(number ? static_cast<std::uint32_t>(*number) : 0);
    const std::pair<const char*, int> named[] = {{"\"eta_month\": ", parts.month},
                                                 {"\"eta_day\": ", parts.day},
                                                 {"\"eta_hour\": ", parts.hour},
                                                 {"\"eta_minute\": ", parts.minute}};
    for (const auto& [name, value] : named) {
        out.put(first ? "" : ", ");
        first = false;
        out.put(name);
        if (present && value >= 0) {
            out.putInteger(value);
        } else {
            out.put("null");
        }
    }
}

// A fragment of a multi-sentence AIS message that did not complete one: its values
// are the message's, written once when its last fragment arrives.
bool isPartOfMessage(const DecodedSentence& decoded) {
    return decoded.ais == nullptr && decoded.code == nmeaz::kCodeVdm &&
           static_cast<const nmeaz::VdmRecord*>(decoded.record)->fragment_total > 1;
}

}  // namespace

void appendJsonLatin1Body(std::string& out, std::string_view text) {
    JsonWriter(out).putLatin1Body(text);
}

void appendJsonLatin1(std::string& out, std::string_view text) {
    JsonWriter(out).putLatin1String(text);
}

void appendNamedJson(std::string& text, const DecodedSentence& decoded, std::string_view key,
                     std::string_view tail) {
    if (decoded.record == nullptr || (decoded.sentence == nullptr && decoded.ais == nullptr) ||
        key.size() < 6 || isPartOfMessage(decoded)) {
        return;
    }
    JsonWriter out(text);
    out.put("{\"key\": ");
    out.putLatin1String(key);
    out.put(", \"talker\": ");
    out.putLatin1String(key.substr(1, 2));
    out.put(", \"type\": ");
    bool first = true;
    if (decoded.ais != nullptr) {
        const ais::AisMessageLayout& layout = *decoded.ais;
        out.putInteger(layout.messageType);
        out.put(", \"fields\": {");
        const std::string* names = aisNames(layout);
        for (std::size_t i = 0; i < layout.fields.size(); ++i) {
            const ais::AisField& field = layout.fields[i];
            if (!aisFieldShown(layout, field, decoded.record)) {
                continue;
            }
            if (field.namedWay == ais::AisNamedWay::Eta) {
                putEta(out, layout, field, decoded.record, first);
                continue;
            }
            putName(out, names[i], first);
            putAisField(out, layout, field, decoded.record);
        }
    } else {
        const nmeaz::SentenceLayout& layout = *decoded.sentence;
        out.putLatin1String(layout.formatter);
        out.put(", \"fields\": {");
        const std::string* names = sentenceNames(layout);
        for (std::size_t i = 0; i < layout.fields.size(); ++i) {
            if (layout.fields[i].show != nmeaz::Show::Hemisphere) {
                putName(out, names[i], first);
                putSentenceField(out, *decoded.context, layout, i);
            }
        }
    }
    out.put("}");
    if (!tail.empty()) {
        out.put(", \"tail\": ");
        out.putLatin1String(tail);
    }
    out.put("}\n");
}

}  // namespace present
