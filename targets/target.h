// One station as the target table knows it: the latest value of every field any of
// its messages carried, with the message type each value came from.
#pragma once

#include <cstdint>

#include "targets/report.h"

namespace targets {

// The merged fields. Their names, labels and presentation are declared once, in
// target_fields.h; everything that lists a target walks that table.
enum class Field : std::uint8_t {
    Latitude,
    Longitude,
    Sog,
    Cog,
    Heading,
    Turn,
    Status,
    ShipName,
    CallSign,
    Imo,
    ShipType,
    ToBow,
    ToStern,
    ToPort,
    ToStarboard,
    Draught,
    Destination,
    Eta,
    AidType,
    OffPosition,
};
constexpr int kFieldCount = static_cast<int>(Field::OffPosition) + 1;

// A merged value: numbers in the units of Report, texts in the target's text storage.
struct Slot {
    double number = 0.0;
    std::uint8_t source = 0;  // AIS message type that last set it
    bool known = false;
};

// Reasons to distrust a target; it is kept and shown all the same.
enum TargetFlag : std::uint8_t {
    kFlagBadMmsi = 1,         // 0 or more than nine digits
    kFlagBadPosition = 2,     // sent a position off the globe
    kFlagChangingStatic = 4,  // name, call sign, IMO or type keep changing (spoofing,
                              // two stations sharing one MMSI)
};

struct Target {
    std::uint32_t mmsi = 0;
    TargetClass targetClass = TargetClass::Unknown;
    std::uint8_t flags = 0;
    std::uint16_t staticChanges = 0;
    std::uint32_t messages = 0;
    std::int64_t firstSeenMs = 0;
    std::int64_t lastSeenMs = 0;
    std::int64_t lastPositionMs = -1;  // -1: no position yet
    Slot fields[kFieldCount];
    char shipName[kTextSize] = {};
    char callSign[kTextSize] = {};
    char destination[kTextSize] = {};

    const Slot& slot(Field field) const { return fields[static_cast<int>(field)]; }
    Slot& slot(Field field) { return fields[static_cast<int>(field)]; }
    bool has(Field field) const { return slot(field).known; }
    double number(Field field) const { return slot(field).number; }
    bool hasPosition() const { return has(Field::Latitude) && has(Field::Longitude); }
    // The text of a text field, empty for other fields.
    const char* text(Field field) const;
};

inline const char* Target::text(Field field) const {
    switch (field) {
        case Field::ShipName:
            return shipName;
        case Field::CallSign:
            return callSign;
        case Field::Destination:
            return destination;
        default:
            return "";
    }
}

}  // namespace targets
