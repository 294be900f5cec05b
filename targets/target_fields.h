// The merged target fields declared once as data: their names in the JSON output,
// their labels in the monitor, and how each is presented. The decoder's --targets
// output and the monitor's details pane both walk kTargetFields.
#pragma once

#include <cstddef>
#include <span>

#include "targets/target.h"

namespace targets {

enum class FieldKind : std::uint8_t {
    Latitude,   // decimal degrees
    Longitude,  // decimal degrees
    Knots,      // one decimal
    Degrees,    // one decimal
    Integer,
    Text,
    Metres,    // one decimal
    Eta,       // packed month/day/hour/minute
    ShipType,  // code; readable as its category
    Status,    // navigation status code; readable as its meaning
    AidType,   // aid-to-navigation type code; readable as its meaning
    YesNo,
};

struct TargetFieldInfo {
    Field field;
    const char* json;   // name in the JSON output
    const char* label;  // label in the monitor
    FieldKind kind;
};

inline constexpr TargetFieldInfo kTargetFields[] = {
    {Field::ShipName, "shipname", "Name", FieldKind::Text},
    {Field::CallSign, "callsign", "Call sign", FieldKind::Text},
    {Field::Imo, "imo", "IMO number", FieldKind::Integer},
    {Field::ShipType, "shiptype", "Ship type", FieldKind::ShipType},
    {Field::Latitude, "lat", "Latitude", FieldKind::Latitude},
    {Field::Longitude, "lon", "Longitude", FieldKind::Longitude},
    {Field::Sog, "sog", "Speed over ground (kn)", FieldKind::Knots},
    {Field::Cog, "cog", "Course over ground (°)", FieldKind::Degrees},
    {Field::Heading, "heading", "Heading (°)", FieldKind::Integer},
    {Field::Turn, "turn", "Rate of turn indicator", FieldKind::Integer},
    {Field::Status, "status", "Navigation status", FieldKind::Status},
    {Field::Destination, "destination", "Destination", FieldKind::Text},
    {Field::Eta, "eta", "ETA (UTC)", FieldKind::Eta},
    {Field::Draught, "draught", "Draught (m)", FieldKind::Metres},
    {Field::ToBow, "to_bow", "To bow (m)", FieldKind::Integer},
    {Field::ToStern, "to_stern", "To stern (m)", FieldKind::Integer},
    {Field::ToPort, "to_port", "To port (m)", FieldKind::Integer},
    {Field::ToStarboard, "to_starboard", "To starboard (m)", FieldKind::Integer},
    {Field::AidType, "aid_type", "Aid type", FieldKind::AidType},
    {Field::OffPosition, "off_position", "Off position", FieldKind::YesNo},
};
static_assert(std::size(kTargetFields) == kFieldCount, "every merged field is described once");

const char* classText(TargetClass targetClass);
const char* shipTypeText(int code);
const char* navigationStatusText(int code);
const char* aidTypeText(int code);

// The readable form of a known field ("54.12345° N", "12.3", "Cargo", "03-14 12:30"),
// written to `out` (always terminated); empty for a field the target lacks.
void formatField(const Target& target, const TargetFieldInfo& info, char* out, std::size_t size);

}  // namespace targets
