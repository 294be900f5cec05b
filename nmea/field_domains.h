// What a sentence field may hold: its written form, its range, the letters it takes
// and whether it may be empty. Every field of the sentence tables names one domain
// (nmea/sentence_fields.h); the conformance checker and its documentation read this
// table, so a field's rules are stated once.
#pragma once

#include <cstdint>
#include <iterator>

namespace nmeaz {

enum class Domain : std::uint8_t {
    ByLayout,  // taken from the field's kind, unit and show way (domainOf)
    Text,
    Character,
    Integer,
    Number,
    Angle,        // 0 to below 360 degrees
    SignedAngle,  // -180 to 180 degrees (rudder)
    Percent,
    Time,
    Date,
    Latitude,
    Longitude,
    NorthSouth,
    EastWest,
    Status,       // A valid, V invalid
    FaaMode,      // the mode indicator of 2.3 and later
    FaaModes,     // GNS: one mode letter per constellation
    HeadingMode,  // THS
    TrueRef,
    MagneticRef,
    TrueOrMagnetic,
    KnotsUnit,
    KilometresUnit,
    MetresUnit,
    FeetUnit,
    FathomsUnit,
    CelsiusUnit,
    NauticalMilesUnit,
    WindReference,
    WindSpeedUnit,
    LeftRight,
    GgaQuality,
    GsaSelection,
    GsaFix,
    GroupCount,  // sentences in a group (GSV, TXT, RTE), 1..99
    Satellite,   // a satellite ID
    Elevation,   // 0..90 degrees
    Azimuth,     // 0..359 degrees
    Snr,         // 0..99 dB-Hz
    Day,
    Month,
    Year,
    ZoneHours,
    ZoneMinutes,
    EngineSource,  // RPM: S shaft, E engine
    RouteMode,     // RTE: c complete, w working
    InchesUnit,
    BarsUnit,
    Count,
};

// The written form a domain checks before its range and letters.
enum class Form : std::uint8_t {
    Any,         // any text
    Character,   // exactly one character
    Letters,     // one of `letters`
    ModeString,  // one or more of `letters`
    Integer,     // optional sign, digits
    Number,      // optional sign, digits, optional fraction
    Time,        // hhmmss or hhmmss.s…
    Date,        // ddmmyy
    Latitude,    // ddmm.m…
    Longitude,   // dddmm.m…
};

// When a field must hold a value.
enum class Need : std::uint8_t {
    Optional,
    Always,     // the sentence cannot be used without it
    WithValue,  // when the field before it holds a value (a hemisphere, a unit)
};

struct DomainRule {
    const char* name;  // as the documentation and messages write it
    Form form;
    double low = 0;   // range, when low < high
    double high = 0;  // inclusive unless highOpen
    bool highOpen = false;
    const char* letters = nullptr;  // Letters, ModeString
    Need need = Need::Optional;
    // An integer code rather than a quantity: a value out of range is not one of the
    // codes (GGA's fix quality, GSA's fix type).
    bool coded = false;
};

inline constexpr DomainRule kDomainRules[] = {
    {"by layout", Form::Any},
    {"text", Form::Any},
    {"one character", Form::Character},
    {"integer", Form::Integer},
    {"number", Form::Number},
    {"angle", Form::Number, 0, 360, true},
    {"signed angle", Form::Number, -180, 180},
    {"percentage", Form::Number, 0, 100},
    {"time hhmmss.ss", Form::Time},
    {"date ddmmyy", Form::Date},
    {"latitude ddmm.mm", Form::Latitude, 0, 90},
    {"longitude dddmm.mm", Form::Longitude, 0, 180},
    {"hemisphere", Form::Letters, 0, 0, false, "NS", Need::WithValue},
    {"hemisphere", Form::Letters, 0, 0, false, "EW", Need::WithValue},
    {"status", Form::Letters, 0, 0, false, "AV", Need::Always},
    {"mode indicator", Form::Letters, 0, 0, false, "ADEFMNPRSV"},
    {"mode indicators", Form::ModeString, 0, 0, false, "ADEFMNPRS"},
    {"heading mode", Form::Letters, 0, 0, false, "AEMSV"},
    {"reference", Form::Letters, 0, 0, false, "T", Need::WithValue},
    {"reference", Form::Letters, 0, 0, false, "M", Need::WithValue},
    {"reference", Form::Letters, 0, 0, false, "TM", Need::WithValue},
    {"unit", Form::Letters, 0, 0, false, "N", Need::WithValue},
    {"unit", Form::Letters, 0, 0, false, "K", Need::WithValue},
    {"unit", Form::Letters, 0, 0, false, "M", Need::WithValue},
    {"unit", Form::Letters, 0, 0, false, "f", Need::WithValue},
    {"unit", Form::Letters, 0, 0, false, "F", Need::WithValue},
    {"unit", Form::Letters, 0, 0, false, "C", Need::WithValue},
    {"unit", Form::Letters, 0, 0, false, "N", Need::WithValue},
    {"reference", Form::Letters, 0, 0, false, "RT", Need::WithValue},
    {"unit", Form::Letters, 0, 0, false, "KMNS", Need::WithValue},
    {"side", Form::Letters, 0, 0, false, "LR", Need::WithValue},
    {"fix quality", Form::Integer, 0, 8, false, nullptr, Need::Always, true},
    {"selection mode", Form::Letters, 0, 0, false, "MA", Need::Always},
    {"fix type", Form::Integer, 1, 3, false, nullptr, Need::Always, true},
    {"sentence count", Form::Integer, 1, 99, false, nullptr, Need::Always},
    {"satellite ID", Form::Integer, 1, 999},
    {"elevation", Form::Integer, 0, 90},
    {"azimuth", Form::Integer, 0, 359},
    {"SNR", Form::Integer, 0, 99},
    {"day", Form::Integer, 1, 31},
    {"month", Form::Integer, 1, 12},
    {"year", Form::Integer, 1980, 2999},
    {"zone hours", Form::Integer, -13, 13},
    {"zone minutes", Form::Integer, 0, 59},
    {"source", Form::Letters, 0, 0, false, "SE"},
    {"route mode", Form::Letters, 0, 0, false, "cw"},
    {"unit", Form::Letters, 0, 0, false, "I", Need::WithValue},
    {"unit", Form::Letters, 0, 0, false, "B", Need::WithValue},
};
static_assert(std::size(kDomainRules) == static_cast<std::size_t>(Domain::Count),
              "one rule per domain, in the order of Domain");

constexpr const DomainRule& domainRule(Domain domain) {
    return kDomainRules[static_cast<std::size_t>(domain)];
}

}  // namespace nmeaz
