#include "targets/target_fields.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "ais/eta.h"
#include "targets/number_text.h"

namespace targets {

const char* classText(TargetClass targetClass) {
    switch (targetClass) {
        case TargetClass::A:
            return "A";
        case TargetClass::B:
            return "B";
        case TargetClass::BaseStation:
            return "Base station";
        case TargetClass::AtoN:
            return "AtoN";
        case TargetClass::Sar:
            return "SAR aircraft";
        case TargetClass::OwnShip:
            return "Own ship";
        case TargetClass::Unknown:
            break;
    }
    return "";
}

const char* shipTypeText(int code) {
    static constexpr const char* kSpecial[] = {
        "Fishing", "Towing",   "Towing (large)", "Dredging",
        "Diving",  "Military", "Sailing",        "Pleasure craft",
    };
    static constexpr const char* kService[] = {
        "Pilot vessel",      "Search and rescue", "Tug",          "Port tender",
        "Anti-pollution",    "Law enforcement",   "Local vessel", "Local vessel",
        "Medical transport", "Noncombatant",
    };
    if (code >= 30 && code <= 37) {
        return kSpecial[code - 30];
    }
    if (code >= 50 && code <= 59) {
        return kService[code - 50];
    }
    switch (code / 10) {
        case 2:
            return "Wing in ground";
        case 4:
            return "High-speed craft";
        case 6:
            return "Passenger";
        case 7:
            return "Cargo";
        case 8:
            return "Tanker";
        case 9:
            return "Other";
        default:
            break;
    }
    return code >= 1 && code <= 99 ? "Reserved" : "";
}

const char* navigationStatusText(int code) {
    static constexpr const char* kStatus[] = {
        "Under way using engine",
        "At anchor",
        "Not under command",
        "Restricted manoeuvrability",
        "Constrained by draught",
        "Moored",
        "Aground",
        "Engaged in fishing",
        "Under way sailing",
        "Reserved (HSC)",
        "Reserved (WIG)",
        "Towing astern",
        "Pushing ahead or towing alongside",
        "Reserved",
        "AIS-SART active",
        "Not defined",
    };
    return code >= 0 && code < 16 ? kStatus[code] : "";
}

const char* aidTypeText(int code) {
    static constexpr const char* kAid[] = {
        "Not specified",
        "Reference point",
        "RACON",
        "Fixed structure off shore",
        "Spare",
        "Light, without sectors",
        "Light, with sectors",
        "Leading light front",
        "Leading light rear",
        "Beacon, cardinal N",
        "Beacon, cardinal E",
        "Beacon, cardinal S",
        "Beacon, cardinal W",
        "Beacon, port hand",
        "Beacon, starboard hand",
        "Beacon, preferred channel port hand",
        "Beacon, preferred channel starboard hand",
        "Beacon, isolated danger",
        "Beacon, safe water",
        "Beacon, special mark",
        "Cardinal mark N",
        "Cardinal mark E",
        "Cardinal mark S",
        "Cardinal mark W",
        "Port hand mark",
        "Starboard hand mark",
        "Preferred channel port hand",
        "Preferred channel starboard hand",
        "Isolated danger",
        "Safe water",
        "Special mark",
        "Light vessel / LANBY / rig",
    };
    return code >= 0 && code < 32 ? kAid[code] : "";
}

namespace {

void copyOut(const char* text, char* out, std::size_t size) {
    const std::size_t length = std::min(std::strlen(text), size - 1);
    std::memcpy(out, text, length);
    out[length] = '\0';
}

void writeNumber(double value, int decimals, char* out, std::size_t size) {
    char* end = writeFixed(out, out + size - 1, value, decimals);
    *end = '\0';
}

// "54.123456° N": degrees with six decimals (about 0.1 m) and the hemisphere.
void writeCoordinate(double value, char positive, char negative, char* out, std::size_t size) {
    char* const last = out + size - 1;
    char* end = writeFixed(out, last, std::fabs(value), 6);
    const char suffix[] = {'\xc2', '\xb0', ' ', value < 0 ? negative : positive};
    for (char c : suffix) {
        if (end < last) {
            *end++ = c;
        }
    }
    *end = '\0';
}

}  // namespace

void formatField(const Target& target, const TargetFieldInfo& info, char* out, std::size_t size) {
    if (size == 0) {
        return;
    }
    out[0] = '\0';
    const Slot& slot = target.slot(info.field);
    if (!slot.known) {
        return;
    }
    const double value = slot.number;
    switch (info.kind) {
        case FieldKind::Latitude:
            writeCoordinate(value, 'N', 'S', out, size);
            break;
        case FieldKind::Longitude:
            writeCoordinate(value, 'E', 'W', out, size);
            break;
        case FieldKind::Knots:
        case FieldKind::Degrees:
        case FieldKind::Metres:
            writeNumber(value, 1, out, size);
            break;
        case FieldKind::Integer:
            writeNumber(value, 0, out, size);
            break;
        case FieldKind::Text:
            copyOut(target.text(info.field), out, size);
            break;
        case FieldKind::Eta: {
            char text[12];
            ais::aisEtaText(static_cast<std::uint32_t>(value), text);
            copyOut(text, out, size);
            break;
        }
        case FieldKind::ShipType:
            copyOut(shipTypeText(static_cast<int>(value)), out, size);
            break;
        case FieldKind::Status:
            copyOut(navigationStatusText(static_cast<int>(value)), out, size);
            break;
        case FieldKind::AidType:
            copyOut(aidTypeText(static_cast<int>(value)), out, size);
            break;
        case FieldKind::YesNo:
            copyOut(value != 0.0 ? "yes" : "no", out, size);
            break;
    }
}

}  // namespace targets
