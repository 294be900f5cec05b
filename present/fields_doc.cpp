#include "present/fields_doc.h"

#include <algorithm>
#include <vector>

#include "ais/layout.h"
#include "nmea/sentence_fields.h"
#include "present/named_values.h"

namespace present {

namespace {

const char* unitName(nmeaz::Unit unit) {
    using nmeaz::Unit;
    switch (unit) {
        case Unit::None:
            return "";
        case Unit::Degrees:
            return "degrees";
        case Unit::Knots:
            return "knots";
        case Unit::MetresPerSecond:
            return "m/s";
        case Unit::KilometresPerHour:
            return "km/h";
        case Unit::Metres:
            return "metres";
        case Unit::Feet:
            return "feet";
        case Unit::Fathoms:
            return "fathoms";
        case Unit::NauticalMiles:
            return "nautical miles";
        case Unit::Celsius:
            return "degrees C";
        case Unit::Bar:
            return "bar";
        case Unit::InchesOfMercury:
            return "inches of mercury";
        case Unit::Percent:
            return "percent";
        case Unit::Seconds:
            return "seconds";
        case Unit::Microseconds:
            return "microseconds";
        case Unit::Hours:
            return "hours";
        case Unit::Minutes:
            return "minutes";
        case Unit::ArcMinutes:
            return "minutes of arc";
        case Unit::DegreesPerMinute:
            return "degrees/minute";
        case Unit::RevolutionsPerMinute:
            return "rev/min";
    }
    return "";
}

std::string sentenceValue(const nmeaz::FieldLayout& field) {
    switch (field.show) {
        case nmeaz::Show::Time:
            return "string hh:mm:ss.sss";
        case nmeaz::Show::Date:
            return "string YYYY-MM-DD";
        case nmeaz::Show::Latitude:
        case nmeaz::Show::Longitude:
            return "number, signed decimal degrees";
        case nmeaz::Show::Plain:
        case nmeaz::Show::Hemisphere:
            break;
    }
    switch (field.kind) {
        case nmeaz::FieldKind::Double:
        case nmeaz::FieldKind::Int:
            return "number";
        case nmeaz::FieldKind::Char:
        case nmeaz::FieldKind::Text:
            return "string";
    }
    return "";
}

std::string aisValue(const ais::AisField& field) {
    using Way = ais::AisNamedWay;
    switch (field.namedWay) {
        case Way::Latitude:
            return "number, decimal degrees; null when not available (91)";
        case Way::Longitude:
            return "number, decimal degrees; null when not available (181)";
        case Way::Speed:
            return "number, knots; null when not available (1023)";
        case Way::WholeKnots:
            return "number, whole knots; null when not available (1023)";
        case Way::Course:
            return "number, degrees; null when not available (3600)";
        case Way::Heading:
            return "number, degrees; null when not available (511)";
        case Way::Turn:
            return "number, rate-of-turn indicator; null when not available (-128)";
        case Way::Latitude10:
        case Way::Latitude1000:
            return "number, decimal degrees; null when not available (91)";
        case Way::Longitude10:
        case Way::Longitude1000:
            return "number, decimal degrees; null when not available (181)";
        case Way::Speed27:
            return "number, whole knots; null when not available (63)";
        case Way::Course27:
            return "number, whole degrees; null when not available (511)";
        case Way::Scaled: {
            std::string text = "number";
            if (field.scale.unit != nullptr) {
                text += ", ";
                text += field.scale.unit;
            }
            return text + "; null when not available";
        }
        case Way::Eta:
            return "number, the ETA's month, day, hour or minute (UTC); null when not available";
        case Way::Plain:
        case Way::Omit:
            break;
    }
    if (aisIsText(field)) {
        return "string";
    }
    return "number";
}

}  // namespace

std::string fieldsDocument() {
    std::string out =
        "# Named output fields\n\n"
        "`tidewright-decode --named` writes one JSON object per decoded sentence or AIS\n"
        "message: `{\"key\": ..., \"talker\": ..., \"type\": ..., \"fields\": {...}}`. "
        "These are the\nnames in `fields`, type by type. An empty or absent field is "
        "`null`; text that\ndoes not fit its field's form is kept as a string. Numbers "
        "keep every digit of\nthe wire text; N/S and E/W are folded into the sign of "
        "the position before them.\n\n"
        "Generated from the descriptors (`nmea/sentence_fields.h`, `ais/layout.h`); "
        "a test\nfails when this file is stale.\n";
    for (const nmeaz::SentenceLayout& layout : nmeaz::kSentenceLayouts) {
        out += "\n## ";
        out += layout.formatter;
        out += "\n\n| name | value | unit |\n|---|---|---|\n";
        for (const nmeaz::FieldLayout& field : layout.fields) {
            if (field.show == nmeaz::Show::Hemisphere) {
                continue;
            }
            out += "| `";
            out += nmeaz::namedOf(field);
            out += "` | " + sentenceValue(field) + " | " + unitName(field.unit) + " |\n";
        }
    }
    for (const ais::AisMessageLayout& layout : ais::kAisLayouts) {
        out += "\n## AIS message " + std::to_string(layout.messageType);
        out += "\n\n| name | value |\n|---|---|\n";
        // A name written under two gates (message 8's weather in its two forms, the
        // DAC of messages 25 and 26) is one row.
        std::vector<std::string_view> written;
        for (const ais::AisField& field : layout.fields) {
            const std::string_view name = field.named != nullptr ? field.named : field.name;
            if (field.namedWay == ais::AisNamedWay::Omit ||
                std::find(written.begin(), written.end(), name) != written.end()) {
                continue;
            }
            written.push_back(name);
            if (field.namedWay == ais::AisNamedWay::Eta) {
                for (const char* part : {"eta_month", "eta_day", "eta_hour", "eta_minute"}) {
                    out += "| `";
                    out += part;
                    out += "` | " + aisValue(field) + " |\n";
                }
                continue;
            }
            out += "| `";
            out += field.named != nullptr ? field.named : field.name;
            out += "` | " + aisValue(field) + " |\n";
        }
    }
    return out;
}

}  // namespace present
