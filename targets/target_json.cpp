#include "targets/target_json.h"

#include "targets/number_text.h"
#include "targets/target_fields.h"

namespace targets {

namespace {

// Decimals written per kind: six for degrees of position (about 0.1 m), one for the
// tenths the messages carry, none for codes and counts.
int decimalsFor(FieldKind kind) {
    switch (kind) {
        case FieldKind::Latitude:
        case FieldKind::Longitude:
            return 6;
        case FieldKind::Knots:
        case FieldKind::Degrees:
        case FieldKind::Metres:
            return 1;
        default:
            return 0;
    }
}

void appendNumber(std::string& out, double value, int decimals) {
    char text[40];
    out.append(text, writeFixed(text, text + sizeof text, value, decimals));
}

void appendString(std::string& out, const char* text) {
    out += '"';
    for (const char* p = text; *p != '\0'; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += *p;
        } else if (c < 0x20) {
            static constexpr char kHex[] = "0123456789abcdef";
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        } else {
            out += *p;
        }
    }
    out += '"';
}

void appendKey(std::string& out, const char* name) {
    out += ",\"";
    out += name;
    out += "\":";
}

void appendOptional(std::string& out, const char* name, bool known, double value, int decimals) {
    appendKey(out, name);
    if (known) {
        appendNumber(out, value, decimals);
    } else {
        out += "null";
    }
}

void appendFlags(std::string& out, std::uint8_t flags) {
    appendKey(out, "flags");
    out += '[';
    const char* separator = "";
    for (const auto& [bit, name] :
         {std::pair{kFlagBadMmsi, "bad_mmsi"}, std::pair{kFlagBadPosition, "bad_position"},
          std::pair{kFlagChangingStatic, "changing_static"}}) {
        if (flags & bit) {
            out += separator;
            out += '"';
            out += name;
            out += '"';
            separator = ",";
        }
    }
    out += ']';
}

}  // namespace

void appendTargetJson(std::string& out, const Target& target, const Relation& relation) {
    out += "{\"mmsi\":";
    appendNumber(out, target.mmsi, 0);
    appendKey(out, "class");
    appendString(out, classText(target.targetClass));
    for (const TargetFieldInfo& info : kTargetFields) {
        appendKey(out, info.json);
        const Slot& slot = target.slot(info.field);
        if (!slot.known) {
            out += "null";
        } else if (info.kind == FieldKind::Text) {
            appendString(out, target.text(info.field));
        } else if (info.kind == FieldKind::Eta) {
            char text[32];
            formatField(target, info, text, sizeof text);
            appendString(out, text);
        } else if (info.kind == FieldKind::YesNo) {
            out += slot.number != 0.0 ? "true" : "false";
        } else {
            appendNumber(out, slot.number, decimalsFor(info.kind));
        }
    }
    appendKey(out, "messages");
    appendNumber(out, target.messages, 0);
    appendFlags(out, target.flags);
    appendOptional(out, "range", relation.hasRange, relation.rangeBearing.rangeNm, 3);
    appendOptional(out, "bearing", relation.hasRange, relation.rangeBearing.bearingDeg, 1);
    appendOptional(out, "cpa", relation.hasApproach, relation.approach.cpaNm, 3);
    appendOptional(out, "tcpa", relation.hasApproach, relation.approach.tcpaMin, 1);
    out += "}\n";
}

}  // namespace targets
