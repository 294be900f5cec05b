// What one AIS message says about one station, in plain units and with every "not
// available" code already removed: the neutral input of the target table. Per-message
// adapters (ais_reports.h) fill it from the decoded records; the table never looks at
// a message layout.
#pragma once

#include <cstdint>

namespace targets {

enum class TargetClass : std::uint8_t {
    Unknown,      // only addressed or safety traffic seen so far
    A,            // class A ship
    B,            // class B ship
    BaseStation,  // shore base station
    AtoN,         // aid to navigation
    Sar,          // search and rescue aircraft
    OwnShip,      // our own transponder (VDO)
};

// Text fields keep at most 20 characters (the longest AIS text) and a terminator.
constexpr int kTextSize = 21;

// A value the message may leave unknown. Plain struct: no allocation, trivially copied.
template <typename T>
struct Maybe {
    T value{};
    bool known = false;
    void set(T v) {
        value = v;
        known = true;
    }
};

struct Report {
    std::uint32_t mmsi = 0;
    int messageType = 0;
    TargetClass targetClass = TargetClass::Unknown;
    bool ownShip = false;  // received as VDO

    // A position the message carried but that lies off the globe (not the "not
    // available" code): kept out of the position, the target gets flagged.
    bool positionOutOfRange = false;
    Maybe<double> latitude;   // decimal degrees, north positive
    Maybe<double> longitude;  // decimal degrees, east positive
    Maybe<double> sog;        // knots
    Maybe<double> cog;        // degrees true
    Maybe<int> heading;       // degrees true
    Maybe<int> turn;          // rate-of-turn indicator as sent (-127..127)
    Maybe<int> status;        // navigation status code

    char shipName[kTextSize] = {};     // empty: not in this message
    char callSign[kTextSize] = {};     // empty: not in this message
    char destination[kTextSize] = {};  // empty: not in this message
    Maybe<std::uint32_t> imo;
    Maybe<int> shipType;
    Maybe<int> toBow, toStern, toPort, toStarboard;  // metres
    Maybe<double> draught;                           // metres
    Maybe<std::uint32_t> eta;                        // packed month/day/hour/minute
    Maybe<int> aidType;
    Maybe<bool> offPosition;
};

}  // namespace targets
