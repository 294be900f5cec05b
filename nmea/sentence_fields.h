// The field layout of every sentence type, declared once as data.
//
// For each type: its formatter, parse code, field parser, global record, whether it
// has a result list (and its inspector search text) and, per record field, the name
// it has in the record, the sentence field it comes from, its kind, its offset in the
// record, its unit and how the named output and the readable view show it. The field
// parsers walk these tables to fill the records; the presentation walks the same
// tables to list, name and show the values, so a record and everything that shows it
// cannot drift apart.
//
// Two types have rules beyond "field i goes into record field i":
//  - GSA: the satellite slots sat0..sat11 take fields 3 to fieldCount - 4 (as many as
//    the sentence has, at most 12) and PDOP, HDOP and VDOP the last three fields
//    whatever their number; their `from` is negative, counted from the end
//    (-1 is the last field). The `from` of the slots is their place in a standard
//    sentence with 12 satellite fields.
//  - GSV: sat_data0..sat_data19 take fields 4 to fieldCount - 1.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <span>
#include <type_traits>

#include "nmea/field_domains.h"
#include "nmea/records.h"
#include "nmea/sentence_parsers.h"

namespace nmeaz {

enum class FieldKind : std::uint8_t {
    Double,  // double: leading decimal number, 0 when there is none
    Int,     // int: leading decimal integer, 0 when there is none
    Char,    // char: first character of the field, NUL when empty
    Text,    // const char*: the field text itself (the VDM payload, waypoint names)
};

// The unit a value is in, as a person reads it.
enum class Unit : std::uint8_t {
    None,
    Degrees,
    Knots,
    MetresPerSecond,
    KilometresPerHour,
    Metres,
    Feet,
    Fathoms,
    NauticalMiles,
    Celsius,
    Bar,
    InchesOfMercury,
    Percent,
    Seconds,
    Microseconds,
    Hours,
    Minutes,
    ArcMinutes,
    DegreesPerMinute,
    RevolutionsPerMinute,
};
inline constexpr int kUnitCount = 20;

// How the named output and the readable view present a field beyond its kind.
enum class Show : std::uint8_t {
    Plain,       // by its kind: number, integer, character, text
    Time,        // hhmmss.ss -> "hh:mm:ss.sss"
    Date,        // ddmmyy -> "YYYY-MM-DD"
    Latitude,    // ddmm.mmmm with N/S in the next field -> signed decimal degrees
    Longitude,   // dddmm.mmmm with E/W in the next field -> signed decimal degrees
    Hemisphere,  // the N/S or E/W of a position: folded into its sign, not named
};

struct FieldLayout {
    const char* name;  // record field name ("utc", "sat0", "sat_data7")
    int from;          // sentence field index; negative: counted from the end
    FieldKind kind;
    std::size_t offset;  // byte offset in the record
    Unit unit = Unit::None;
    Show show = Show::Plain;
    // The inspector row name; nullptr where the catalogue keeps the row names itself.
    const char* label = nullptr;
    // The name in the named output and docs/fields.md; nullptr: the record field name.
    const char* named = nullptr;
    // What the field may hold (nmea/field_domains.h); ByLayout: what its kind, unit
    // and show way say (domainOf).
    Domain domain = Domain::ByLayout;
};

// `field` with the domain its values must belong to.
constexpr FieldLayout checked(FieldLayout field, Domain domain) {
    field.domain = domain;
    return field;
}

constexpr const char* namedOf(const FieldLayout& field) {
    return field.named != nullptr ? field.named : field.name;
}

struct SentenceLayout {
    const char* formatter;  // "GGA"
    int code;               // parse code
    // The field parser; nullptr: the generic one that walks `fields` and clears what
    // the sentence does not reach.
    SentenceParser parser;
    void* record;  // the global record of the type
    std::size_t recordSize;
    std::span<const FieldLayout> fields;
    bool listed = false;           // has a result list and an inspector table
    int leadingField = -1;         // the field listed first, out of record order (GLL's time)
    const char* search = nullptr;  // the inspector's search text, matched in lower-cased keys
};

namespace layout_detail {

template <typename Record, typename Member>
constexpr FieldKind kindOf() {
    if constexpr (std::is_same_v<Member, double>) {
        return FieldKind::Double;
    } else if constexpr (std::is_same_v<Member, int>) {
        return FieldKind::Int;
    } else if constexpr (std::is_same_v<Member, char>) {
        return FieldKind::Char;
    } else {
        static_assert(std::is_same_v<Member, const char*>, "unsupported record field type");
        return FieldKind::Text;
    }
}

}  // namespace layout_detail

// One record field that sentence field `from` fills; the kind follows the member's
// declared type, so the table cannot disagree with the record.
#define NMEAZ_FIELD(Record, member, from, ...)                                               \
    ::nmeaz::FieldLayout {                                                                   \
#member, from, ::nmeaz::layout_detail::kindOf < Record, decltype(Record::member)>(), \
            offsetof(Record, member) __VA_OPT__(, ) __VA_ARGS__                              \
    }
// Slot i of an int array member, named member + i ("sat0").
#define NMEAZ_SLOT(Record, member, i, name, from)                                         \
    ::nmeaz::FieldLayout {                                                                \
        name, from, ::nmeaz::FieldKind::Int, offsetof(Record, member) + (i) * sizeof(int) \
    }
// Slot i of an array member of another kind, with unit and label.
#define NMEAZ_ELEMENT(Record, member, i, name, from, kind, type, ...)                \
    ::nmeaz::FieldLayout {                                                           \
        name, from, ::nmeaz::FieldKind::kind,                                        \
            offsetof(Record, member) + (i) * sizeof(type) __VA_OPT__(, ) __VA_ARGS__ \
    }

inline constexpr FieldLayout kGgaFields[] = {
    NMEAZ_FIELD(GgaRecord, utc, 1, Unit::None, Show::Time),
    NMEAZ_FIELD(GgaRecord, latitude, 2, Unit::Degrees, Show::Latitude),
    NMEAZ_FIELD(GgaRecord, ns, 3, Unit::None, Show::Hemisphere),
    NMEAZ_FIELD(GgaRecord, longitude, 4, Unit::Degrees, Show::Longitude),
    NMEAZ_FIELD(GgaRecord, ew, 5, Unit::None, Show::Hemisphere),
    checked(NMEAZ_FIELD(GgaRecord, sig, 6), Domain::GgaQuality),
    checked(NMEAZ_FIELD(GgaRecord, satinuse, 7), Domain::Integer),
    NMEAZ_FIELD(GgaRecord, HDOP, 8, Unit::None, Show::Plain, nullptr, "hdop"),
    NMEAZ_FIELD(GgaRecord, elv, 9, Unit::Metres),
    checked(NMEAZ_FIELD(GgaRecord, elv_units, 10), Domain::MetresUnit),
    NMEAZ_FIELD(GgaRecord, diff, 11, Unit::Metres),
    checked(NMEAZ_FIELD(GgaRecord, diff_units, 12), Domain::MetresUnit),
    NMEAZ_FIELD(GgaRecord, dgps_age, 13, Unit::Seconds),
    NMEAZ_FIELD(GgaRecord, dgps_sid, 14),
};

inline constexpr FieldLayout kRmcFields[] = {
    NMEAZ_FIELD(RmcRecord, utc, 1, Unit::None, Show::Time),
    checked(NMEAZ_FIELD(RmcRecord, status, 2), Domain::Status),
    NMEAZ_FIELD(RmcRecord, latitude, 3, Unit::Degrees, Show::Latitude),
    NMEAZ_FIELD(RmcRecord, ns, 4, Unit::None, Show::Hemisphere),
    NMEAZ_FIELD(RmcRecord, longitude, 5, Unit::Degrees, Show::Longitude),
    NMEAZ_FIELD(RmcRecord, ew, 6, Unit::None, Show::Hemisphere),
    NMEAZ_FIELD(RmcRecord, sog, 7, Unit::Knots),
    NMEAZ_FIELD(RmcRecord, cog, 8, Unit::Degrees),
    NMEAZ_FIELD(RmcRecord, date, 9, Unit::None, Show::Date),
    NMEAZ_FIELD(RmcRecord, mag_var, 10, Unit::Degrees),
    checked(NMEAZ_FIELD(RmcRecord, ew2, 11), Domain::EastWest),
    checked(NMEAZ_FIELD(RmcRecord, mode, 12), Domain::FaaMode),
};

inline constexpr FieldLayout kGllFields[] = {
    NMEAZ_FIELD(GllRecord, latitude, 1, Unit::Degrees, Show::Latitude),
    NMEAZ_FIELD(GllRecord, ns, 2, Unit::None, Show::Hemisphere),
    NMEAZ_FIELD(GllRecord, longitude, 3, Unit::Degrees, Show::Longitude),
    NMEAZ_FIELD(GllRecord, ew, 4, Unit::None, Show::Hemisphere),
    NMEAZ_FIELD(GllRecord, utc, 5, Unit::None, Show::Time),
    checked(NMEAZ_FIELD(GllRecord, status, 6), Domain::Status),
    checked(NMEAZ_FIELD(GllRecord, mode, 7), Domain::FaaMode),
};

inline constexpr FieldLayout kDptFields[] = {
    NMEAZ_FIELD(DptRecord, water_depth, 1, Unit::Metres),
    NMEAZ_FIELD(DptRecord, offset, 2, Unit::Metres),
    NMEAZ_FIELD(DptRecord, max_range_scale, 3, Unit::Metres),
};

inline constexpr FieldLayout kGsaFields[] = {
    checked(NMEAZ_FIELD(GsaRecord, fix_mode, 1), Domain::GsaSelection),
    checked(NMEAZ_FIELD(GsaRecord, fix_type, 2), Domain::GsaFix),
    checked(NMEAZ_SLOT(GsaRecord, sat, 0, "sat0", 3), Domain::Satellite),
    checked(NMEAZ_SLOT(GsaRecord, sat, 1, "sat1", 4), Domain::Satellite),
    checked(NMEAZ_SLOT(GsaRecord, sat, 2, "sat2", 5), Domain::Satellite),
    checked(NMEAZ_SLOT(GsaRecord, sat, 3, "sat3", 6), Domain::Satellite),
    checked(NMEAZ_SLOT(GsaRecord, sat, 4, "sat4", 7), Domain::Satellite),
    checked(NMEAZ_SLOT(GsaRecord, sat, 5, "sat5", 8), Domain::Satellite),
    checked(NMEAZ_SLOT(GsaRecord, sat, 6, "sat6", 9), Domain::Satellite),
    checked(NMEAZ_SLOT(GsaRecord, sat, 7, "sat7", 10), Domain::Satellite),
    checked(NMEAZ_SLOT(GsaRecord, sat, 8, "sat8", 11), Domain::Satellite),
    checked(NMEAZ_SLOT(GsaRecord, sat, 9, "sat9", 12), Domain::Satellite),
    checked(NMEAZ_SLOT(GsaRecord, sat, 10, "sat10", 13), Domain::Satellite),
    checked(NMEAZ_SLOT(GsaRecord, sat, 11, "sat11", 14), Domain::Satellite),
    NMEAZ_FIELD(GsaRecord, PDOP, -3, Unit::None, Show::Plain, nullptr, "pdop"),
    NMEAZ_FIELD(GsaRecord, HDOP, -2, Unit::None, Show::Plain, nullptr, "hdop"),
    NMEAZ_FIELD(GsaRecord, VDOP, -1, Unit::None, Show::Plain, nullptr, "vdop"),
};

inline constexpr FieldLayout kVdmFields[] = {
    NMEAZ_FIELD(VdmRecord, fragment_total, 1), NMEAZ_FIELD(VdmRecord, fragment_number, 2),
    NMEAZ_FIELD(VdmRecord, sequence_id, 3),    NMEAZ_FIELD(VdmRecord, channel, 4),
    NMEAZ_FIELD(VdmRecord, payload, 5),        NMEAZ_FIELD(VdmRecord, fill_bits, 6),
};

inline constexpr FieldLayout kHdgFields[] = {
    NMEAZ_FIELD(HdgRecord, mag_sen_head, 1, Unit::Degrees),
    NMEAZ_FIELD(HdgRecord, mag_deviation, 2, Unit::Degrees),
    checked(NMEAZ_FIELD(HdgRecord, mag_deviation_dir, 3), Domain::EastWest),
    NMEAZ_FIELD(HdgRecord, mag_variation, 4, Unit::Degrees),
    checked(NMEAZ_FIELD(HdgRecord, mag_variation_dir, 5), Domain::EastWest),
};

inline constexpr FieldLayout kMtwFields[] = {
    NMEAZ_FIELD(MtwRecord, temperature, 1, Unit::Celsius),
    checked(NMEAZ_FIELD(MtwRecord, temperature_unit, 2), Domain::CelsiusUnit),
};

inline constexpr FieldLayout kMwdFields[] = {
    NMEAZ_FIELD(MwdRecord, wind_dir_true, 1, Unit::Degrees),
    checked(NMEAZ_FIELD(MwdRecord, wind_dir_true_unit, 2), Domain::TrueRef),
    NMEAZ_FIELD(MwdRecord, wind_dir_mag, 3, Unit::Degrees),
    checked(NMEAZ_FIELD(MwdRecord, wind_dir_mag_unit, 4), Domain::MagneticRef),
    NMEAZ_FIELD(MwdRecord, wind_speed_knot, 5, Unit::Knots),
    checked(NMEAZ_FIELD(MwdRecord, wind_speed_knot_unit, 6), Domain::KnotsUnit),
    NMEAZ_FIELD(MwdRecord, wind_speed_ms, 7, Unit::MetresPerSecond),
    checked(NMEAZ_FIELD(MwdRecord, wind_speed_ms_unit, 8), Domain::MetresUnit),
};

inline constexpr FieldLayout kRmaFields[] = {
    checked(NMEAZ_FIELD(RmaRecord, status, 1), Domain::Status),
    NMEAZ_FIELD(RmaRecord, latitude, 2, Unit::Degrees, Show::Latitude),
    NMEAZ_FIELD(RmaRecord, ns, 3, Unit::None, Show::Hemisphere),
    NMEAZ_FIELD(RmaRecord, longitude, 4, Unit::Degrees, Show::Longitude),
    NMEAZ_FIELD(RmaRecord, ew, 5, Unit::None, Show::Hemisphere),
    NMEAZ_FIELD(RmaRecord, time_dif_a, 6, Unit::Microseconds),
    NMEAZ_FIELD(RmaRecord, time_dif_b, 7, Unit::Microseconds),
    NMEAZ_FIELD(RmaRecord, sog, 8, Unit::Knots),
    NMEAZ_FIELD(RmaRecord, cog, 9, Unit::Degrees),
    NMEAZ_FIELD(RmaRecord, mag_var, 10, Unit::Degrees),
    checked(NMEAZ_FIELD(RmaRecord, mag_var_dir, 11), Domain::EastWest),
    checked(NMEAZ_FIELD(RmaRecord, mode, 12), Domain::FaaMode),
};

inline constexpr FieldLayout kRsaFields[] = {
    checked(NMEAZ_FIELD(RsaRecord, sre, 1, Unit::Degrees), Domain::SignedAngle),
    checked(NMEAZ_FIELD(RsaRecord, sre_status, 2), Domain::Status),
    checked(NMEAZ_FIELD(RsaRecord, prs, 3, Unit::Degrees), Domain::SignedAngle),
    checked(NMEAZ_FIELD(RsaRecord, prs_status, 4), Domain::Status),
};

inline constexpr FieldLayout kVhwFields[] = {
    NMEAZ_FIELD(VhwRecord, heading_true, 1, Unit::Degrees),
    checked(NMEAZ_FIELD(VhwRecord, heading_true_unit, 2), Domain::TrueRef),
    NMEAZ_FIELD(VhwRecord, heading_mag, 3, Unit::Degrees),
    checked(NMEAZ_FIELD(VhwRecord, heading_mag_unit, 4), Domain::MagneticRef),
    NMEAZ_FIELD(VhwRecord, speed_knot, 5, Unit::Knots),
    checked(NMEAZ_FIELD(VhwRecord, speed_knot_unit, 6), Domain::KnotsUnit),
    NMEAZ_FIELD(VhwRecord, speed_ms, 7, Unit::KilometresPerHour),
    checked(NMEAZ_FIELD(VhwRecord, speed_ms_unit, 8), Domain::KilometresUnit),
};

inline constexpr FieldLayout kVlwFields[] = {
    NMEAZ_FIELD(VlwRecord, tcwd, 1, Unit::NauticalMiles),
    checked(NMEAZ_FIELD(VlwRecord, tcwd_unit, 2), Domain::NauticalMilesUnit),
    NMEAZ_FIELD(VlwRecord, wdsr, 3, Unit::NauticalMiles),
    checked(NMEAZ_FIELD(VlwRecord, wdsr_unit, 4), Domain::NauticalMilesUnit),
    NMEAZ_FIELD(VlwRecord, tcgd, 5, Unit::NauticalMiles),
    checked(NMEAZ_FIELD(VlwRecord, tcgd_unit, 6), Domain::NauticalMilesUnit),
    NMEAZ_FIELD(VlwRecord, gdsr, 7, Unit::NauticalMiles),
    checked(NMEAZ_FIELD(VlwRecord, gdsr_unit, 8), Domain::NauticalMilesUnit),
};

inline constexpr FieldLayout kXteFields[] = {
    checked(NMEAZ_FIELD(XteRecord, status1, 1), Domain::Status),
    checked(NMEAZ_FIELD(XteRecord, status2, 2), Domain::Status),
    NMEAZ_FIELD(XteRecord, mag_ct, 3, Unit::NauticalMiles),
    checked(NMEAZ_FIELD(XteRecord, dir_steer, 4), Domain::LeftRight),
    checked(NMEAZ_FIELD(XteRecord, units, 5), Domain::NauticalMilesUnit),
    checked(NMEAZ_FIELD(XteRecord, mode, 6), Domain::FaaMode),
};

inline constexpr FieldLayout kZdaFields[] = {
    NMEAZ_FIELD(ZdaRecord, utc, 1, Unit::None, Show::Time),
    checked(NMEAZ_FIELD(ZdaRecord, day, 2), Domain::Day),
    checked(NMEAZ_FIELD(ZdaRecord, mon, 3), Domain::Month),
    checked(NMEAZ_FIELD(ZdaRecord, year, 4), Domain::Year),
    checked(NMEAZ_FIELD(ZdaRecord, hour, 5, Unit::Hours), Domain::ZoneHours),
    checked(NMEAZ_FIELD(ZdaRecord, min, 6, Unit::Minutes), Domain::ZoneMinutes),
};

inline constexpr FieldLayout kApbFields[] = {
    checked(NMEAZ_FIELD(ApbRecord, status1, 1), Domain::Status),
    checked(NMEAZ_FIELD(ApbRecord, status2, 2), Domain::Status),
    NMEAZ_FIELD(ApbRecord, mag_ct, 3, Unit::NauticalMiles),
    checked(NMEAZ_FIELD(ApbRecord, dir_steer, 4), Domain::LeftRight),
    checked(NMEAZ_FIELD(ApbRecord, units, 5), Domain::NauticalMilesUnit),
    checked(NMEAZ_FIELD(ApbRecord, arrival_status, 6), Domain::Status),
    checked(NMEAZ_FIELD(ApbRecord, perpendicular_status, 7), Domain::Status),
    NMEAZ_FIELD(ApbRecord, bearing_origin_dest, 8, Unit::Degrees),
    checked(NMEAZ_FIELD(ApbRecord, bearing_origin_dest_ref, 9), Domain::TrueOrMagnetic),
    // A waypoint name on the wire, though the record keeps a number.
    checked(NMEAZ_FIELD(ApbRecord, dest_id, 10), Domain::Text),
    NMEAZ_FIELD(ApbRecord, bearing_present_dest, 11, Unit::Degrees),
    checked(NMEAZ_FIELD(ApbRecord, bearing_present_dest_ref, 12), Domain::TrueOrMagnetic),
    NMEAZ_FIELD(ApbRecord, heading_steer, 13, Unit::Degrees),
    checked(NMEAZ_FIELD(ApbRecord, heading_steer_ref, 14), Domain::TrueOrMagnetic),
    checked(NMEAZ_FIELD(ApbRecord, mode, 15), Domain::FaaMode),
};

inline constexpr FieldLayout kDbtFields[] = {
    NMEAZ_FIELD(DbtRecord, depth_feet, 1, Unit::Feet),
    checked(NMEAZ_FIELD(DbtRecord, depth_feet_unit, 2), Domain::FeetUnit),
    NMEAZ_FIELD(DbtRecord, depth_metres, 3, Unit::Metres),
    checked(NMEAZ_FIELD(DbtRecord, depth_metres_unit, 4), Domain::MetresUnit),
    NMEAZ_FIELD(DbtRecord, depth_fathoms, 5, Unit::Fathoms),
    checked(NMEAZ_FIELD(DbtRecord, depth_fathoms_unit, 6), Domain::FathomsUnit),
};

inline constexpr FieldLayout kGsvFields[] = {
    checked(NMEAZ_FIELD(GsvRecord, pack_count, 1), Domain::GroupCount),
    checked(NMEAZ_FIELD(GsvRecord, pack_index, 2), Domain::GroupCount),
    checked(NMEAZ_FIELD(GsvRecord, sat_count, 3), Domain::Integer),
    checked(NMEAZ_SLOT(GsvRecord, sat_data, 0, "sat_data0", 4), Domain::Satellite),
    checked(NMEAZ_SLOT(GsvRecord, sat_data, 1, "sat_data1", 5), Domain::Elevation),
    checked(NMEAZ_SLOT(GsvRecord, sat_data, 2, "sat_data2", 6), Domain::Azimuth),
    checked(NMEAZ_SLOT(GsvRecord, sat_data, 3, "sat_data3", 7), Domain::Snr),
    checked(NMEAZ_SLOT(GsvRecord, sat_data, 4, "sat_data4", 8), Domain::Satellite),
    checked(NMEAZ_SLOT(GsvRecord, sat_data, 5, "sat_data5", 9), Domain::Elevation),
    checked(NMEAZ_SLOT(GsvRecord, sat_data, 6, "sat_data6", 10), Domain::Azimuth),
    checked(NMEAZ_SLOT(GsvRecord, sat_data, 7, "sat_data7", 11), Domain::Snr),
    checked(NMEAZ_SLOT(GsvRecord, sat_data, 8, "sat_data8", 12), Domain::Satellite),
    checked(NMEAZ_SLOT(GsvRecord, sat_data, 9, "sat_data9", 13), Domain::Elevation),
    checked(NMEAZ_SLOT(GsvRecord, sat_data, 10, "sat_data10", 14), Domain::Azimuth),
    checked(NMEAZ_SLOT(GsvRecord, sat_data, 11, "sat_data11", 15), Domain::Snr),
    checked(NMEAZ_SLOT(GsvRecord, sat_data, 12, "sat_data12", 16), Domain::Satellite),
    checked(NMEAZ_SLOT(GsvRecord, sat_data, 13, "sat_data13", 17), Domain::Elevation),
    checked(NMEAZ_SLOT(GsvRecord, sat_data, 14, "sat_data14", 18), Domain::Azimuth),
    checked(NMEAZ_SLOT(GsvRecord, sat_data, 15, "sat_data15", 19), Domain::Snr),
    checked(NMEAZ_SLOT(GsvRecord, sat_data, 16, "sat_data16", 20), Domain::Satellite),
    checked(NMEAZ_SLOT(GsvRecord, sat_data, 17, "sat_data17", 21), Domain::Elevation),
    checked(NMEAZ_SLOT(GsvRecord, sat_data, 18, "sat_data18", 22), Domain::Azimuth),
    checked(NMEAZ_SLOT(GsvRecord, sat_data, 19, "sat_data19", 23), Domain::Snr),
};

inline constexpr FieldLayout kHdtFields[] = {
    NMEAZ_FIELD(HdtRecord, heading, 1, Unit::Degrees),
    checked(NMEAZ_FIELD(HdtRecord, heading_unit, 2), Domain::TrueRef),
};

inline constexpr FieldLayout kHscFields[] = {
    NMEAZ_FIELD(HscRecord, heading1, 1, Unit::Degrees),
    checked(NMEAZ_FIELD(HscRecord, heading1_unit, 2), Domain::TrueRef),
    NMEAZ_FIELD(HscRecord, heading2, 3, Unit::Degrees),
    checked(NMEAZ_FIELD(HscRecord, heading2_unit, 4), Domain::MagneticRef),
};

inline constexpr FieldLayout kMwvFields[] = {
    NMEAZ_FIELD(MwvRecord, wind_angle, 1, Unit::Degrees),
    checked(NMEAZ_FIELD(MwvRecord, wind_angle_ref, 2), Domain::WindReference),
    NMEAZ_FIELD(MwvRecord, wind_speed, 3),
    checked(NMEAZ_FIELD(MwvRecord, wind_speed_unit, 4), Domain::WindSpeedUnit),
    checked(NMEAZ_FIELD(MwvRecord, status, 5), Domain::Status),
};

inline constexpr FieldLayout kRotFields[] = {
    NMEAZ_FIELD(RotRecord, rot, 1, Unit::DegreesPerMinute),
    checked(NMEAZ_FIELD(RotRecord, status, 2), Domain::Status),
};

inline constexpr FieldLayout kRpmFields[] = {
    checked(NMEAZ_FIELD(RpmRecord, source, 1), Domain::EngineSource),
    NMEAZ_FIELD(RpmRecord, number, 2),
    NMEAZ_FIELD(RpmRecord, speed, 3, Unit::RevolutionsPerMinute),
    NMEAZ_FIELD(RpmRecord, propeller, 4, Unit::Percent),
    checked(NMEAZ_FIELD(RpmRecord, status, 5), Domain::Status),
};

inline constexpr FieldLayout kVbwFields[] = {
    NMEAZ_FIELD(VbwRecord, lws, 1, Unit::Knots),
    NMEAZ_FIELD(VbwRecord, tws, 2, Unit::Knots),
    checked(NMEAZ_FIELD(VbwRecord, status1, 3), Domain::Status),
    NMEAZ_FIELD(VbwRecord, lgs, 4, Unit::Knots),
    NMEAZ_FIELD(VbwRecord, tgs, 5, Unit::Knots),
    checked(NMEAZ_FIELD(VbwRecord, status2, 6), Domain::Status),
    NMEAZ_FIELD(VbwRecord, stws, 7, Unit::Knots),
    checked(NMEAZ_FIELD(VbwRecord, status3, 8), Domain::Status),
    NMEAZ_FIELD(VbwRecord, stgs, 9, Unit::Knots),
    checked(NMEAZ_FIELD(VbwRecord, status, 10), Domain::Status),
};

inline constexpr FieldLayout kVdrFields[] = {
    NMEAZ_FIELD(VdrRecord, dir1, 1, Unit::Degrees),
    checked(NMEAZ_FIELD(VdrRecord, dir1_unit, 2), Domain::TrueRef),
    NMEAZ_FIELD(VdrRecord, dir2, 3, Unit::Degrees),
    checked(NMEAZ_FIELD(VdrRecord, dir2_unit, 4), Domain::MagneticRef),
    NMEAZ_FIELD(VdrRecord, current_speed, 5, Unit::Knots),
    checked(NMEAZ_FIELD(VdrRecord, current_speed_unit, 6), Domain::KnotsUnit),
};

inline constexpr FieldLayout kVtgFields[] = {
    NMEAZ_FIELD(VtgRecord, cog1, 1, Unit::Degrees),
    checked(NMEAZ_FIELD(VtgRecord, cog1_unit, 2), Domain::TrueRef),
    NMEAZ_FIELD(VtgRecord, cog2, 3, Unit::Degrees),
    checked(NMEAZ_FIELD(VtgRecord, cog2_unit, 4), Domain::MagneticRef),
    NMEAZ_FIELD(VtgRecord, sog1, 5, Unit::Knots),
    checked(NMEAZ_FIELD(VtgRecord, sog1_unit, 6), Domain::KnotsUnit),
    NMEAZ_FIELD(VtgRecord, sog2, 7, Unit::KilometresPerHour),
    checked(NMEAZ_FIELD(VtgRecord, sog2_unit, 8), Domain::KilometresUnit),
    checked(NMEAZ_FIELD(VtgRecord, mode, 9), Domain::FaaMode),
};

// The types decoded by their table alone. Layouts as NMEA 0183 4.11 writes them; a
// talker of an older version sends fewer fields, and the missing ones stay empty.

inline constexpr FieldLayout kHdmFields[] = {
    NMEAZ_FIELD(HdmRecord, heading, 1, Unit::Degrees, Show::Plain, "Heading, magnetic"),
    NMEAZ_FIELD(HdmRecord, heading_unit, 2, Unit::None, Show::Plain, "M"),
};

inline constexpr FieldLayout kThsFields[] = {
    NMEAZ_FIELD(ThsRecord, heading, 1, Unit::Degrees, Show::Plain, "Heading, true"),
    checked(NMEAZ_FIELD(ThsRecord, mode, 2, Unit::None, Show::Plain, "Mode indicator"),
            Domain::HeadingMode),
};

inline constexpr FieldLayout kWindFields[] = {
    NMEAZ_FIELD(WindRecord, wind_angle, 1, Unit::Degrees, Show::Plain, "Wind angle off the bow"),
    checked(NMEAZ_FIELD(WindRecord, wind_side, 2, Unit::None, Show::Plain, "L/R of bow"),
            Domain::LeftRight),
    NMEAZ_FIELD(WindRecord, speed_knots, 3, Unit::Knots, Show::Plain, "Wind speed"),
    NMEAZ_FIELD(WindRecord, speed_knots_unit, 4, Unit::None, Show::Plain, "N"),
    NMEAZ_FIELD(WindRecord, speed_ms, 5, Unit::MetresPerSecond, Show::Plain, "Wind speed"),
    NMEAZ_FIELD(WindRecord, speed_ms_unit, 6, Unit::None, Show::Plain, "M"),
    NMEAZ_FIELD(WindRecord, speed_kmh, 7, Unit::KilometresPerHour, Show::Plain, "Wind speed"),
    NMEAZ_FIELD(WindRecord, speed_kmh_unit, 8, Unit::None, Show::Plain, "K"),
};

inline constexpr FieldLayout kVpwFields[] = {
    NMEAZ_FIELD(VpwRecord, speed_knots, 1, Unit::Knots, Show::Plain, "Speed parallel to wind"),
    NMEAZ_FIELD(VpwRecord, speed_knots_unit, 2, Unit::None, Show::Plain, "N"),
    NMEAZ_FIELD(VpwRecord, speed_ms, 3, Unit::MetresPerSecond, Show::Plain,
                "Speed parallel to wind"),
    NMEAZ_FIELD(VpwRecord, speed_ms_unit, 4, Unit::None, Show::Plain, "M"),
};

inline constexpr FieldLayout kWcvFields[] = {
    NMEAZ_FIELD(WcvRecord, velocity, 1, Unit::Knots, Show::Plain, "Waypoint closure velocity"),
    NMEAZ_FIELD(WcvRecord, velocity_unit, 2, Unit::None, Show::Plain, "N"),
    NMEAZ_FIELD(WcvRecord, waypoint_id, 3, Unit::None, Show::Plain, "Waypoint ID"),
    checked(NMEAZ_FIELD(WcvRecord, mode, 4, Unit::None, Show::Plain, "Mode indicator"),
            Domain::FaaMode),
};

inline constexpr FieldLayout kRmbFields[] = {
    checked(NMEAZ_FIELD(RmbRecord, status, 1, Unit::None, Show::Plain, "Status"), Domain::Status),
    NMEAZ_FIELD(RmbRecord, xte, 2, Unit::NauticalMiles, Show::Plain, "Cross-track error"),
    checked(
        NMEAZ_FIELD(RmbRecord, dir_steer, 3, Unit::None, Show::Plain, "Direction to steer, L/R"),
        Domain::LeftRight),
    NMEAZ_FIELD(RmbRecord, origin_id, 4, Unit::None, Show::Plain, "Origin waypoint ID"),
    NMEAZ_FIELD(RmbRecord, dest_id, 5, Unit::None, Show::Plain, "Destination waypoint ID"),
    NMEAZ_FIELD(RmbRecord, dest_latitude, 6, Unit::Degrees, Show::Latitude, "Destination latitude"),
    NMEAZ_FIELD(RmbRecord, dest_ns, 7, Unit::None, Show::Hemisphere, "ns"),
    NMEAZ_FIELD(RmbRecord, dest_longitude, 8, Unit::Degrees, Show::Longitude,
                "Destination longitude"),
    NMEAZ_FIELD(RmbRecord, dest_ew, 9, Unit::None, Show::Hemisphere, "ew"),
    NMEAZ_FIELD(RmbRecord, range, 10, Unit::NauticalMiles, Show::Plain, "Range to destination"),
    NMEAZ_FIELD(RmbRecord, bearing, 11, Unit::Degrees, Show::Plain, "Bearing to destination, true"),
    NMEAZ_FIELD(RmbRecord, closing_velocity, 12, Unit::Knots, Show::Plain,
                "Destination closing velocity"),
    checked(NMEAZ_FIELD(RmbRecord, arrival_status, 13, Unit::None, Show::Plain, "Arrival status"),
            Domain::Status),
    checked(NMEAZ_FIELD(RmbRecord, mode, 14, Unit::None, Show::Plain, "Mode indicator"),
            Domain::FaaMode),
};

inline constexpr FieldLayout kBodFields[] = {
    NMEAZ_FIELD(BodRecord, bearing_true, 1, Unit::Degrees, Show::Plain, "Bearing, true"),
    NMEAZ_FIELD(BodRecord, bearing_true_unit, 2, Unit::None, Show::Plain, "T"),
    NMEAZ_FIELD(BodRecord, bearing_mag, 3, Unit::Degrees, Show::Plain, "Bearing, magnetic"),
    NMEAZ_FIELD(BodRecord, bearing_mag_unit, 4, Unit::None, Show::Plain, "M"),
    NMEAZ_FIELD(BodRecord, dest_id, 5, Unit::None, Show::Plain, "Destination waypoint ID"),
    NMEAZ_FIELD(BodRecord, origin_id, 6, Unit::None, Show::Plain, "Origin waypoint ID"),
};

inline constexpr FieldLayout kBearingFields[] = {
    NMEAZ_FIELD(BearingRecord, utc, 1, Unit::None, Show::Time, "UTC"),
    NMEAZ_FIELD(BearingRecord, latitude, 2, Unit::Degrees, Show::Latitude, "Waypoint latitude"),
    NMEAZ_FIELD(BearingRecord, ns, 3, Unit::None, Show::Hemisphere, "ns"),
    NMEAZ_FIELD(BearingRecord, longitude, 4, Unit::Degrees, Show::Longitude, "Waypoint longitude"),
    NMEAZ_FIELD(BearingRecord, ew, 5, Unit::None, Show::Hemisphere, "ew"),
    NMEAZ_FIELD(BearingRecord, bearing_true, 6, Unit::Degrees, Show::Plain, "Bearing, true"),
    NMEAZ_FIELD(BearingRecord, bearing_true_unit, 7, Unit::None, Show::Plain, "T"),
    NMEAZ_FIELD(BearingRecord, bearing_mag, 8, Unit::Degrees, Show::Plain, "Bearing, magnetic"),
    NMEAZ_FIELD(BearingRecord, bearing_mag_unit, 9, Unit::None, Show::Plain, "M"),
    NMEAZ_FIELD(BearingRecord, distance, 10, Unit::NauticalMiles, Show::Plain, "Distance"),
    NMEAZ_FIELD(BearingRecord, distance_unit, 11, Unit::None, Show::Plain, "N"),
    NMEAZ_FIELD(BearingRecord, waypoint_id, 12, Unit::None, Show::Plain, "Waypoint ID"),
    checked(NMEAZ_FIELD(BearingRecord, mode, 13, Unit::None, Show::Plain, "Mode indicator"),
            Domain::FaaMode),
};

inline constexpr FieldLayout kAamFields[] = {
    checked(NMEAZ_FIELD(AamRecord, arrival_status, 1, Unit::None, Show::Plain,
                        "Arrival circle entered"),
            Domain::Status),
    checked(NMEAZ_FIELD(AamRecord, perpendicular_status, 2, Unit::None, Show::Plain,
                        "Perpendicular passed"),
            Domain::Status),
    NMEAZ_FIELD(AamRecord, radius, 3, Unit::NauticalMiles, Show::Plain, "Arrival circle radius"),
    NMEAZ_FIELD(AamRecord, radius_unit, 4, Unit::None, Show::Plain, "N"),
    NMEAZ_FIELD(AamRecord, waypoint_id, 5, Unit::None, Show::Plain, "Waypoint ID"),
};

#define NMEAZ_WAYPOINT(i)                                                                        \
    NMEAZ_ELEMENT(RteRecord, waypoint, i, "waypoint" #i, 5 + (i), Text, const char*, Unit::None, \
                  Show::Plain, "Waypoint " #i)
inline constexpr FieldLayout kRteFields[] = {
    checked(
        NMEAZ_FIELD(RteRecord, sentence_count, 1, Unit::None, Show::Plain, "Number of sentences"),
        Domain::GroupCount),
    checked(NMEAZ_FIELD(RteRecord, sentence_number, 2, Unit::None, Show::Plain, "Sentence number"),
            Domain::GroupCount),
    checked(
        NMEAZ_FIELD(RteRecord, route_mode, 3, Unit::None, Show::Plain, "Complete/working route"),
        Domain::RouteMode),
    NMEAZ_FIELD(RteRecord, route_id, 4, Unit::None, Show::Plain, "Route ID"),
    NMEAZ_WAYPOINT(0),
    NMEAZ_WAYPOINT(1),
    NMEAZ_WAYPOINT(2),
    NMEAZ_WAYPOINT(3),
    NMEAZ_WAYPOINT(4),
    NMEAZ_WAYPOINT(5),
    NMEAZ_WAYPOINT(6),
    NMEAZ_WAYPOINT(7),
    NMEAZ_WAYPOINT(8),
    NMEAZ_WAYPOINT(9),
    NMEAZ_WAYPOINT(10),
    NMEAZ_WAYPOINT(11),
    NMEAZ_WAYPOINT(12),
    NMEAZ_WAYPOINT(13),
    NMEAZ_WAYPOINT(14),
    NMEAZ_WAYPOINT(15),
    NMEAZ_WAYPOINT(16),
    NMEAZ_WAYPOINT(17),
    NMEAZ_WAYPOINT(18),
};
#undef NMEAZ_WAYPOINT

inline constexpr FieldLayout kWplFields[] = {
    NMEAZ_FIELD(WplRecord, latitude, 1, Unit::Degrees, Show::Latitude, "Latitude"),
    NMEAZ_FIELD(WplRecord, ns, 2, Unit::None, Show::Hemisphere, "ns"),
    NMEAZ_FIELD(WplRecord, longitude, 3, Unit::Degrees, Show::Longitude, "Longitude"),
    NMEAZ_FIELD(WplRecord, ew, 4, Unit::None, Show::Hemisphere, "ew"),
    NMEAZ_FIELD(WplRecord, waypoint_id, 5, Unit::None, Show::Plain, "Waypoint ID"),
};

// Group g of XDR fills fields 4g + 1 to 4g + 4.
#define NMEAZ_XDR_GROUP(g)                                                               \
    ::nmeaz::FieldLayout{"type" #g,                                                      \
                         4 * (g) + 1,                                                    \
                         FieldKind::Char,                                                \
                         offsetof(XdrRecord, group) + (g) * sizeof(XdrMeasurement) +     \
                             offsetof(XdrMeasurement, type),                             \
                         Unit::None,                                                     \
                         Show::Plain,                                                    \
                         "Transducer " #g " type"},                                      \
        ::nmeaz::FieldLayout{"value" #g,                                                 \
                             4 * (g) + 2,                                                \
                             FieldKind::Double,                                          \
                             offsetof(XdrRecord, group) + (g) * sizeof(XdrMeasurement) + \
                                 offsetof(XdrMeasurement, value),                        \
                             Unit::None,                                                 \
                             Show::Plain,                                                \
                             "Transducer " #g " value"},                                 \
        ::nmeaz::FieldLayout{"unit" #g,                                                  \
                             4 * (g) + 3,                                                \
                             FieldKind::Char,                                            \
                             offsetof(XdrRecord, group) + (g) * sizeof(XdrMeasurement) + \
                                 offsetof(XdrMeasurement, unit),                         \
                             Unit::None,                                                 \
                             Show::Plain,                                                \
                             "Transducer " #g " unit"},                                  \
        ::nmeaz::FieldLayout {                                                           \
        "name" #g, 4 * (g) + 4, FieldKind::Text,                                         \
            offsetof(XdrRecord, group) + (g) * sizeof(XdrMeasurement) +                  \
                offsetof(XdrMeasurement, name),                                          \
            Unit::None, Show::Plain, "Transducer " #g " name"                            \
    }
inline constexpr FieldLayout kXdrFields[] = {
    NMEAZ_XDR_GROUP(0), NMEAZ_XDR_GROUP(1), NMEAZ_XDR_GROUP(2),
    NMEAZ_XDR_GROUP(3), NMEAZ_XDR_GROUP(4),
};
#undef NMEAZ_XDR_GROUP

inline constexpr FieldLayout kMdaFields[] = {
    NMEAZ_FIELD(MdaRecord, pressure_inches, 1, Unit::InchesOfMercury, Show::Plain,
                "Barometric pressure"),
    NMEAZ_FIELD(MdaRecord, pressure_inches_unit, 2, Unit::None, Show::Plain, "I"),
    NMEAZ_FIELD(MdaRecord, pressure_bars, 3, Unit::Bar, Show::Plain, "Barometric pressure"),
    NMEAZ_FIELD(MdaRecord, pressure_bars_unit, 4, Unit::None, Show::Plain, "B"),
    NMEAZ_FIELD(MdaRecord, air_temperature, 5, Unit::Celsius, Show::Plain, "Air temperature"),
    NMEAZ_FIELD(MdaRecord, air_temperature_unit, 6, Unit::None, Show::Plain, "C"),
    NMEAZ_FIELD(MdaRecord, water_temperature, 7, Unit::Celsius, Show::Plain, "Water temperature"),
    NMEAZ_FIELD(MdaRecord, water_temperature_unit, 8, Unit::None, Show::Plain, "C"),
    NMEAZ_FIELD(MdaRecord, relative_humidity, 9, Unit::Percent, Show::Plain, "Relative humidity"),
    NMEAZ_FIELD(MdaRecord, absolute_humidity, 10, Unit::Percent, Show::Plain, "Absolute humidity"),
    NMEAZ_FIELD(MdaRecord, dew_point, 11, Unit::Celsius, Show::Plain, "Dew point"),
    NMEAZ_FIELD(MdaRecord, dew_point_unit, 12, Unit::None, Show::Plain, "C"),
    NMEAZ_FIELD(MdaRecord, wind_dir_true, 13, Unit::Degrees, Show::Plain, "Wind direction, true"),
    NMEAZ_FIELD(MdaRecord, wind_dir_true_unit, 14, Unit::None, Show::Plain, "T"),
    NMEAZ_FIELD(MdaRecord, wind_dir_mag, 15, Unit::Degrees, Show::Plain,
                "Wind direction, magnetic"),
    NMEAZ_FIELD(MdaRecord, wind_dir_mag_unit, 16, Unit::None, Show::Plain, "M"),
    NMEAZ_FIELD(MdaRecord, wind_speed_knots, 17, Unit::Knots, Show::Plain, "Wind speed"),
    NMEAZ_FIELD(MdaRecord, wind_speed_knots_unit, 18, Unit::None, Show::Plain, "N"),
    NMEAZ_FIELD(MdaRecord, wind_speed_ms, 19, Unit::MetresPerSecond, Show::Plain, "Wind speed"),
    NMEAZ_FIELD(MdaRecord, wind_speed_ms_unit, 20, Unit::None, Show::Plain, "M"),
};

inline constexpr FieldLayout kTxtFields[] = {
    checked(
        NMEAZ_FIELD(TxtRecord, sentence_count, 1, Unit::None, Show::Plain, "Number of sentences"),
        Domain::GroupCount),
    checked(NMEAZ_FIELD(TxtRecord, sentence_number, 2, Unit::None, Show::Plain, "Sentence number"),
            Domain::GroupCount),
    NMEAZ_FIELD(TxtRecord, text_id, 3, Unit::None, Show::Plain, "Text identifier"),
    NMEAZ_FIELD(TxtRecord, text, 4, Unit::None, Show::Plain, "Text"),
};

inline constexpr FieldLayout kGnsFields[] = {
    NMEAZ_FIELD(GnsRecord, utc, 1, Unit::None, Show::Time, "UTC"),
    NMEAZ_FIELD(GnsRecord, latitude, 2, Unit::Degrees, Show::Latitude, "Latitude"),
    checked(NMEAZ_FIELD(GnsRecord, ns, 3, Unit::None, Show::Hemisphere, "ns"), Domain::NorthSouth),
    NMEAZ_FIELD(GnsRecord, longitude, 4, Unit::Degrees, Show::Longitude, "Longitude"),
    checked(NMEAZ_FIELD(GnsRecord, ew, 5, Unit::None, Show::Hemisphere, "ew"), Domain::EastWest),
    checked(NMEAZ_FIELD(GnsRecord, mode, 6, Unit::None, Show::Plain, "Mode indicators"),
            Domain::FaaModes),
    NMEAZ_FIELD(GnsRecord, satinuse, 7, Unit::None, Show::Plain, "Satellites in use"),
    NMEAZ_FIELD(GnsRecord, hdop, 8, Unit::None, Show::Plain, "Horizontal dilution of precision"),
    NMEAZ_FIELD(GnsRecord, altitude, 9, Unit::Metres, Show::Plain, "Altitude"),
    NMEAZ_FIELD(GnsRecord, geoid_separation, 10, Unit::Metres, Show::Plain, "Geoidal separation"),
    NMEAZ_FIELD(GnsRecord, dgps_age, 11, Unit::Seconds, Show::Plain, "Age of differential data"),
    NMEAZ_FIELD(GnsRecord, dgps_sid, 12, Unit::None, Show::Plain,
                "Differential reference station ID"),
    NMEAZ_FIELD(GnsRecord, nav_status, 13, Unit::None, Show::Plain, "Navigational status"),
};

inline constexpr FieldLayout kGstFields[] = {
    NMEAZ_FIELD(GstRecord, utc, 1, Unit::None, Show::Time, "UTC"),
    NMEAZ_FIELD(GstRecord, rms, 2, Unit::Metres, Show::Plain, "RMS of range residuals"),
    NMEAZ_FIELD(GstRecord, semi_major, 3, Unit::Metres, Show::Plain,
                "Error ellipse semi-major axis"),
    NMEAZ_FIELD(GstRecord, semi_minor, 4, Unit::Metres, Show::Plain,
                "Error ellipse semi-minor axis"),
    // Receivers write the ellipse's orientation from -180 to 180 as well.
    checked(NMEAZ_FIELD(GstRecord, orientation, 5, Unit::Degrees, Show::Plain,
                        "Error ellipse orientation"),
            Domain::SignedAngle),
    NMEAZ_FIELD(GstRecord, lat_error, 6, Unit::Metres, Show::Plain, "Latitude error"),
    NMEAZ_FIELD(GstRecord, lon_error, 7, Unit::Metres, Show::Plain, "Longitude error"),
    NMEAZ_FIELD(GstRecord, alt_error, 8, Unit::Metres, Show::Plain, "Altitude error"),
};

inline constexpr FieldLayout kGbsFields[] = {
    NMEAZ_FIELD(GbsRecord, utc, 1, Unit::None, Show::Time, "UTC"),
    NMEAZ_FIELD(GbsRecord, lat_error, 2, Unit::Metres, Show::Plain, "Expected latitude error"),
    NMEAZ_FIELD(GbsRecord, lon_error, 3, Unit::Metres, Show::Plain, "Expected longitude error"),
    NMEAZ_FIELD(GbsRecord, alt_error, 4, Unit::Metres, Show::Plain, "Expected altitude error"),
    NMEAZ_FIELD(GbsRecord, failed_satellite, 5, Unit::None, Show::Plain,
                "Most likely failed satellite"),
    NMEAZ_FIELD(GbsRecord, missed_probability, 6, Unit::None, Show::Plain,
                "Probability of missed detection"),
    NMEAZ_FIELD(GbsRecord, bias, 7, Unit::Metres, Show::Plain, "Bias estimate"),
    NMEAZ_FIELD(GbsRecord, bias_deviation, 8, Unit::Metres, Show::Plain,
                "Standard deviation of bias"),
    NMEAZ_FIELD(GbsRecord, system_id, 9, Unit::None, Show::Plain, "System ID"),
    NMEAZ_FIELD(GbsRecord, signal_id, 10, Unit::None, Show::Plain, "Signal ID"),
};

#define NMEAZ_RESIDUAL(i)                                                                       \
    NMEAZ_ELEMENT(GrsRecord, residual, i, "residual" #i, 3 + (i), Double, double, Unit::Metres, \
                  Show::Plain, "Range residual " #i)
inline constexpr FieldLayout kGrsFields[] = {
    NMEAZ_FIELD(GrsRecord, utc, 1, Unit::None, Show::Time, "UTC"),
    NMEAZ_FIELD(GrsRecord, mode, 2, Unit::None, Show::Plain, "Residuals mode"),
    NMEAZ_RESIDUAL(0),
    NMEAZ_RESIDUAL(1),
    NMEAZ_RESIDUAL(2),
    NMEAZ_RESIDUAL(3),
    NMEAZ_RESIDUAL(4),
    NMEAZ_RESIDUAL(5),
    NMEAZ_RESIDUAL(6),
    NMEAZ_RESIDUAL(7),
    NMEAZ_RESIDUAL(8),
    NMEAZ_RESIDUAL(9),
    NMEAZ_RESIDUAL(10),
    NMEAZ_RESIDUAL(11),
    NMEAZ_FIELD(GrsRecord, system_id, 15, Unit::None, Show::Plain, "System ID"),
    NMEAZ_FIELD(GrsRecord, signal_id, 16, Unit::None, Show::Plain, "Signal ID"),
};
#undef NMEAZ_RESIDUAL

inline constexpr FieldLayout kDtmFields[] = {
    NMEAZ_FIELD(DtmRecord, datum, 1, Unit::None, Show::Plain, "Local datum"),
    NMEAZ_FIELD(DtmRecord, subdivision, 2, Unit::None, Show::Plain, "Local datum subdivision"),
    NMEAZ_FIELD(DtmRecord, lat_offset, 3, Unit::ArcMinutes, Show::Plain, "Latitude offset"),
    checked(NMEAZ_FIELD(DtmRecord, ns, 4, Unit::None, Show::Plain, "ns"), Domain::NorthSouth),
    NMEAZ_FIELD(DtmRecord, lon_offset, 5, Unit::ArcMinutes, Show::Plain, "Longitude offset"),
    checked(NMEAZ_FIELD(DtmRecord, ew, 6, Unit::None, Show::Plain, "ew"), Domain::EastWest),
    NMEAZ_FIELD(DtmRecord, alt_offset, 7, Unit::Metres, Show::Plain, "Altitude offset"),
    NMEAZ_FIELD(DtmRecord, reference_datum, 8, Unit::None, Show::Plain, "Reference datum"),
};

// DBS and DBK: DBT's record with names for their own table.
inline constexpr FieldLayout kDepthFields[] = {
    NMEAZ_FIELD(DbtRecord, depth_feet, 1, Unit::Feet, Show::Plain, "Depth"),
    checked(NMEAZ_FIELD(DbtRecord, depth_feet_unit, 2, Unit::None, Show::Plain, "f"),
            Domain::FeetUnit),
    NMEAZ_FIELD(DbtRecord, depth_metres, 3, Unit::Metres, Show::Plain, "Depth"),
    checked(NMEAZ_FIELD(DbtRecord, depth_metres_unit, 4, Unit::None, Show::Plain, "M"),
            Domain::MetresUnit),
    NMEAZ_FIELD(DbtRecord, depth_fathoms, 5, Unit::Fathoms, Show::Plain, "Depth"),
    checked(NMEAZ_FIELD(DbtRecord, depth_fathoms_unit, 6, Unit::None, Show::Plain, "F"),
            Domain::FathomsUnit),
};

#undef NMEAZ_FIELD
#undef NMEAZ_SLOT
#undef NMEAZ_ELEMENT

#define NMEAZ_SENTENCE(FORMATTER, Code, parser, record, fields, ...)                        \
    ::nmeaz::SentenceLayout {                                                               \
        FORMATTER, Code, parser, &record, sizeof(record), fields __VA_OPT__(, ) __VA_ARGS__ \
    }
// A type with a result list and an inspector table, parsed by its table alone.
#define NMEAZ_TABLE_SENTENCE(FORMATTER, search, Code, record, fields) \
    NMEAZ_SENTENCE(FORMATTER, Code, nullptr, record, fields, true, -1, search)

// In registration order.
inline constexpr SentenceLayout kSentenceLayouts[] = {
    NMEAZ_SENTENCE("GLL", kCodeGll, parseGll, gllRecord, kGllFields, true, 4, "gll"),
    NMEAZ_SENTENCE("RMC", kCodeRmc, parseRmc, rmcRecord, kRmcFields, true, -1, "rmc"),
    NMEAZ_SENTENCE("GGA", kCodeGga, parseGga, ggaRecord, kGgaFields, true, -1, "gga"),
    NMEAZ_SENTENCE("DPT", kCodeDpt, parseDpt, dptRecord, kDptFields, true, -1, "dpt"),
    NMEAZ_SENTENCE("GSA", kCodeGsa, parseGsa, gsaRecord, kGsaFields, true, -1, "gsa"),
    NMEAZ_SENTENCE("VDM", kCodeVdm, parseVdmFields, vdmRecord, kVdmFields),
    NMEAZ_SENTENCE("HDG", kCodeHdg, parseHdg, hdgRecord, kHdgFields, true, -1, "hdg"),
    NMEAZ_SENTENCE("MTW", kCodeMtw, parseMtw, mtwRecord, kMtwFields, true, -1, "mtw"),
    NMEAZ_SENTENCE("MWD", kCodeMwd, parseMwd, mwdRecord, kMwdFields, true, -1, "mwd"),
    NMEAZ_SENTENCE("RMA", kCodeRma, parseRma, rmaRecord, kRmaFields, true, -1, "rma"),
    NMEAZ_SENTENCE("RSA", kCodeRsa, parseRsa, rsaRecord, kRsaFields, true, -1, "rsa"),
    NMEAZ_SENTENCE("VHW", kCodeVhw, parseVhw, vhwRecord, kVhwFields, true, -1, "vhw"),
    NMEAZ_SENTENCE("VLW", kCodeVlw, parseVlw, vlwRecord, kVlwFields, true, -1, "vlw"),
    NMEAZ_SENTENCE("XTE", kCodeXte, parseXte, xteRecord, kXteFields, true, -1, "xte"),
    NMEAZ_SENTENCE("ZDA", kCodeZda, parseZda, zdaRecord, kZdaFields, true, -1, "zda"),
    NMEAZ_SENTENCE("APB", kCodeApb, parseApb, apbRecord, kApbFields),
    NMEAZ_SENTENCE("DBT", kCodeDbt, parseDbt, dbtRecord, kDbtFields),
    NMEAZ_SENTENCE("GSV", kCodeGsv, parseGsv, gsvRecord, kGsvFields),
    NMEAZ_SENTENCE("HDT", kCodeHdt, parseHdt, hdtRecord, kHdtFields),
    NMEAZ_SENTENCE("HSC", kCodeHsc, parseHsc, hscRecord, kHscFields),
    NMEAZ_SENTENCE("MWV", kCodeMwv, parseMwv, mwvRecord, kMwvFields),
    NMEAZ_SENTENCE("ROT", kCodeRot, parseRot, rotRecord, kRotFields),
    NMEAZ_SENTENCE("RPM", kCodeRpm, parseRpm, rpmRecord, kRpmFields),
    NMEAZ_SENTENCE("VBW", kCodeVbw, parseVbw, vbwRecord, kVbwFields),
    NMEAZ_SENTENCE("VDR", kCodeVdr, parseVdr, vdrRecord, kVdrFields),
    NMEAZ_SENTENCE("VTG", kCodeVtg, parseVtg, vtgRecord, kVtgFields),
    NMEAZ_TABLE_SENTENCE("HDM", "hdm", kCodeHdm, hdmRecord, kHdmFields),
    NMEAZ_TABLE_SENTENCE("THS", "ths", kCodeThs, thsRecord, kThsFields),
    NMEAZ_TABLE_SENTENCE("VWR", "vwr", kCodeVwr, vwrRecord, kWindFields),
    NMEAZ_TABLE_SENTENCE("VWT", "vwt", kCodeVwt, vwtRecord, kWindFields),
    NMEAZ_TABLE_SENTENCE("VPW", "vpw", kCodeVpw, vpwRecord, kVpwFields),
    NMEAZ_TABLE_SENTENCE("WCV", "wcv", kCodeWcv, wcvRecord, kWcvFields),
    NMEAZ_TABLE_SENTENCE("RMB", "rmb", kCodeRmb, rmbRecord, kRmbFields),
    NMEAZ_TABLE_SENTENCE("BOD", "bod", kCodeBod, bodRecord, kBodFields),
    NMEAZ_TABLE_SENTENCE("BWC", "bwc", kCodeBwc, bwcRecord, kBearingFields),
    NMEAZ_TABLE_SENTENCE("BWR", "bwr", kCodeBwr, bwrRecord, kBearingFields),
    NMEAZ_TABLE_SENTENCE("AAM", "aam", kCodeAam, aamRecord, kAamFields),
    NMEAZ_TABLE_SENTENCE("RTE", "rte", kCodeRte, rteRecord, kRteFields),
    NMEAZ_TABLE_SENTENCE("WPL", "wpl", kCodeWpl, wplRecord, kWplFields),
    NMEAZ_TABLE_SENTENCE("XDR", "xdr", kCodeXdr, xdrRecord, kXdrFields),
    NMEAZ_TABLE_SENTENCE("MDA", "mda", kCodeMda, mdaRecord, kMdaFields),
    NMEAZ_TABLE_SENTENCE("TXT", "txt", kCodeTxt, txtRecord, kTxtFields),
    NMEAZ_TABLE_SENTENCE("GNS", "gns", kCodeGns, gnsRecord, kGnsFields),
    NMEAZ_TABLE_SENTENCE("GST", "gst", kCodeGst, gstRecord, kGstFields),
    NMEAZ_TABLE_SENTENCE("GBS", "gbs", kCodeGbs, gbsRecord, kGbsFields),
    NMEAZ_TABLE_SENTENCE("GRS", "grs", kCodeGrs, grsRecord, kGrsFields),
    NMEAZ_TABLE_SENTENCE("DTM", "dtm", kCodeDtm, dtmRecord, kDtmFields),
    NMEAZ_TABLE_SENTENCE("DBS", "dbs", kCodeDbs, dbsRecord, kDepthFields),
    NMEAZ_TABLE_SENTENCE("DBK", "dbk", kCodeDbk, dbkRecord, kDepthFields),
};

#undef NMEAZ_TABLE_SENTENCE
#undef NMEAZ_SENTENCE

// The 26 types with field parsers of their own come first.
inline constexpr int kOwnParserTypeCount = 26;
inline constexpr int kSentenceTypeCount = static_cast<int>(std::size(kSentenceLayouts));
static_assert(kSentenceTypeCount <= kMaxEntries, "every type has a registration");

// Field counts of the records, and the shape every table must have: record fields in
// declaration order, each inside its record.
static_assert(
    std::size(kGgaFields) == 14 && std::size(kRmcFields) == 12 && std::size(kGllFields) == 7 &&
    std::size(kDptFields) == 3 && std::size(kGsaFields) == 17 && std::size(kVdmFields) == 6 &&
    std::size(kHdgFields) == 5 && std::size(kMtwFields) == 2 && std::size(kMwdFields) == 8 &&
    std::size(kRmaFields) == 12 && std::size(kRsaFields) == 4 && std::size(kVhwFields) == 8 &&
    std::size(kVlwFields) == 8 && std::size(kXteFields) == 6 && std::size(kZdaFields) == 6 &&
    std::size(kApbFields) == 15 && std::size(kDbtFields) == 6 && std::size(kGsvFields) == 23 &&
    std::size(kHdtFields) == 2 && std::size(kHscFields) == 4 && std::size(kMwvFields) == 5 &&
    std::size(kRotFields) == 2 && std::size(kRpmFields) == 5 && std::size(kVbwFields) == 10 &&
    std::size(kVdrFields) == 6 && std::size(kVtgFields) == 9);
static_assert(std::size(kHdmFields) == 2 && std::size(kThsFields) == 2 &&
              std::size(kWindFields) == 8 && std::size(kVpwFields) == 4 &&
              std::size(kWcvFields) == 4 && std::size(kRmbFields) == 14 &&
              std::size(kBodFields) == 6 && std::size(kBearingFields) == 13 &&
              std::size(kAamFields) == 5 && std::size(kRteFields) == 4 + kRteWaypoints &&
              std::size(kWplFields) == 5 && std::size(kXdrFields) == 4 * kXdrGroups &&
              std::size(kMdaFields) == 20 && std::size(kTxtFields) == 4 &&
              std::size(kGnsFields) == 13 && std::size(kGstFields) == 8 &&
              std::size(kGbsFields) == 10 && std::size(kGrsFields) == 16 &&
              std::size(kDtmFields) == 8 && std::size(kDepthFields) == 6);

constexpr std::size_t fieldSize(FieldKind kind) {
    switch (kind) {
        case FieldKind::Double:
            return sizeof(double);
        case FieldKind::Int:
            return sizeof(int);
        case FieldKind::Char:
            return sizeof(char);
        case FieldKind::Text:
            return sizeof(const char*);
    }
    return 0;
}

namespace layout_detail {

constexpr bool wellFormed(const SentenceLayout& layout) {
    std::size_t end = 0;
    for (std::size_t i = 0; i < layout.fields.size(); ++i) {
        const FieldLayout& field = layout.fields[i];
        if (field.offset < end)
            return false;  // overlapping or out of order
        end = field.offset + fieldSize(field.kind);
        if (field.from == 0 || field.from >= kMaxFields)
            return false;
    }
    return end <= layout.recordSize && layout.formatter[3] == '\0';
}

constexpr bool allWellFormed() {
    for (const SentenceLayout& layout : kSentenceLayouts) {
        if (!wellFormed(layout))
            return false;
    }
    return true;
}

}  // namespace layout_detail

static_assert(layout_detail::allWellFormed());

namespace layout_detail {

// Every sentence type's parse code lies below the AIS codes.
static_assert(std::ranges::all_of(kSentenceLayouts, [](const SentenceLayout& layout) {
    return layout.code > 0 && layout.code < kCodeAisBase;
}));

// Where each parse code's layout sits in kSentenceLayouts (-1: none), so that finding
// it, once per sentence and more, is one look-up.
constexpr std::array<signed char, kCodeAisBase + 1> layoutIndexByCode() {
    std::array<signed char, kCodeAisBase + 1> index{};
    index.fill(-1);
    for (int i = 0; i < kSentenceTypeCount; ++i) {
        // The first layout of a code wins, as a search from the start would find it.
        signed char& slot = index[static_cast<std::size_t>(kSentenceLayouts[i].code)];
        if (slot < 0)
            slot = static_cast<signed char>(i);
    }
    return index;
}
inline constexpr std::array<signed char, kCodeAisBase + 1> kLayoutIndexByCode = layoutIndexByCode();

}  // namespace layout_detail

// The layout of the type with this parse code (an AIS code 50 + n gives VDM's), or
// null for a code no sentence type has.
constexpr const SentenceLayout* layoutFor(int code) {
    if (code > kCodeAisBase)
        code = kCodeVdm;
    if (code <= 0)
        return nullptr;
    const int index = layout_detail::kLayoutIndexByCode[static_cast<std::size_t>(code)];
    return index < 0 ? nullptr : &kSentenceLayouts[index];
}

// The domain of field `index` of a layout: its own, or the one its kind, unit and
// show way imply. A one-letter inspector label is the letter a unit field holds.
constexpr Domain domainOf(const SentenceLayout& layout, std::size_t index) {
    const FieldLayout& field = layout.fields[index];
    if (field.domain != Domain::ByLayout)
        return field.domain;
    switch (field.show) {
        case Show::Time:
            return Domain::Time;
        case Show::Date:
            return Domain::Date;
        case Show::Latitude:
            return Domain::Latitude;
        case Show::Longitude:
            return Domain::Longitude;
        case Show::Hemisphere:
            return index > 0 && layout.fields[index - 1].show == Show::Latitude ? Domain::NorthSouth
                                                                                : Domain::EastWest;
        case Show::Plain:
            break;
    }
    const Unit before = index > 0 ? layout.fields[index - 1].unit : Unit::None;
    if (field.kind == FieldKind::Char && field.label != nullptr && field.label[0] != '\0' &&
        field.label[1] == '\0') {
        switch (field.label[0]) {
            case 'T':
                return Domain::TrueRef;
            case 'M':
                return before == Unit::Degrees ? Domain::MagneticRef : Domain::MetresUnit;
            case 'N':
                return before == Unit::Knots ? Domain::KnotsUnit : Domain::NauticalMilesUnit;
            case 'K':
                return Domain::KilometresUnit;
            case 'f':
                return Domain::FeetUnit;
            case 'F':
                return Domain::FathomsUnit;
            case 'C':
                return Domain::CelsiusUnit;
            case 'I':
                return Domain::InchesUnit;
            case 'B':
                return Domain::BarsUnit;
            default:
                break;
        }
    }
    switch (field.kind) {
        case FieldKind::Double:
            if (field.unit == Unit::Degrees)
                return Domain::Angle;
            return field.unit == Unit::Percent ? Domain::Percent : Domain::Number;
        case FieldKind::Int:
            return Domain::Integer;
        case FieldKind::Char:
            return Domain::Character;
        case FieldKind::Text:
            return Domain::Text;
    }
    return Domain::Text;
}

// The versions of the standard whose field counts the table below gives.
enum class StandardVersion : std::uint8_t { V2, V301, V410, V411 };
inline constexpr int kStandardVersionCount = 4;
inline constexpr const char* kStandardVersionNames[kStandardVersionCount] = {"2.x", "3.01", "4.10",
                                                                             "4.11"};

// The field counts (fields after the address) a type has in each version, one bit per
// count; no bit: the type is not in that version.
struct FieldCounts {
    const char* formatter;
    std::array<std::uint64_t, kStandardVersionCount> byVersion;
};

namespace layout_detail {

constexpr std::uint64_t countsOf(std::initializer_list<int> counts) {
    std::uint64_t mask = 0;
    for (int count : counts)
        mask |= std::uint64_t{1} << count;
    return mask;
}
constexpr std::uint64_t countsFrom(int first, int step, int last = 63) {
    std::uint64_t mask = 0;
    for (int count = first; count <= last; count += step)
        mask |= std::uint64_t{1} << count;
    return mask;
}
constexpr FieldCounts same(const char* formatter, std::uint64_t counts) {
    return {formatter, {counts, counts, counts, counts}};
}
constexpr FieldCounts since3(const char* formatter, std::uint64_t counts) {
    return {formatter, {0, counts, counts, counts}};
}
// `older` in 2.x (where the fields of 2.3 were new), `newer` from 3.01 on.
constexpr FieldCounts grew23(const char* formatter, int older, int newer) {
    return {formatter,
            {countsOf({older, newer}), countsOf({newer}), countsOf({newer}), countsOf({newer})}};
}
// `older` up to 3.01, `newer` from 4.10 on.
constexpr FieldCounts grew410(const char* formatter, int older, int newer) {
    return {formatter,
            {countsOf({older}), countsOf({older}), countsOf({newer}), countsOf({newer})}};
}

}  // namespace layout_detail

// In the order of kSentenceLayouts.
inline constexpr FieldCounts kFieldCounts[] = {
    layout_detail::grew23("GLL", 6, 7),
    {"RMC",
     {layout_detail::countsOf({11, 12}), layout_detail::countsOf({12}),
      layout_detail::countsOf({13}), layout_detail::countsOf({13})}},
    layout_detail::same("GGA", layout_detail::countsOf({14})),
    {"DPT",
     {layout_detail::countsOf({2, 3}), layout_detail::countsOf({3}), layout_detail::countsOf({3}),
      layout_detail::countsOf({3})}},
    layout_detail::grew410("GSA", 17, 18),
    layout_detail::same("VDM", layout_detail::countsOf({6})),
    layout_detail::same("HDG", layout_detail::countsOf({5})),
    layout_detail::same("MTW", layout_detail::countsOf({2})),
    layout_detail::same("MWD", layout_detail::countsOf({8})),
    layout_detail::grew23("RMA", 11, 12),
    layout_detail::same("RSA", layout_detail::countsOf({4})),
    layout_detail::same("VHW", layout_detail::countsOf({8})),
    {"VLW",
     {layout_detail::countsOf({4}), layout_detail::countsOf({4, 8}), layout_detail::countsOf({8}),
      layout_detail::countsOf({8})}},
    layout_detail::grew23("XTE", 5, 6),
    layout_detail::same("ZDA", layout_detail::countsOf({6})),
    layout_detail::grew23("APB", 14, 15),
    layout_detail::same("DBT", layout_detail::countsOf({6})),
    // Three fields and four per satellite; 4.10 adds the signal ID at the end.
    {"GSV",
     {layout_detail::countsFrom(3, 4, 19), layout_detail::countsFrom(3, 4, 19),
      layout_detail::countsFrom(3, 4, 19) | layout_detail::countsFrom(4, 4, 20),
      layout_detail::countsFrom(3, 4, 19) | layout_detail::countsFrom(4, 4, 20)}},
    layout_detail::same("HDT", layout_detail::countsOf({2})),
    layout_detail::same("HSC", layout_detail::countsOf({4})),
    layout_detail::same("MWV", layout_detail::countsOf({5})),
    layout_detail::same("ROT", layout_detail::countsOf({2})),
    layout_detail::same("RPM", layout_detail::countsOf({5})),
    {"VBW",
     {layout_detail::countsOf({6}), layout_detail::countsOf({10}), layout_detail::countsOf({10}),
      layout_detail::countsOf({10})}},
    layout_detail::same("VDR", layout_detail::countsOf({6})),
    layout_detail::grew23("VTG", 8, 9),
    layout_detail::same("HDM", layout_detail::countsOf({2})),
    layout_detail::since3("THS", layout_detail::countsOf({2})),
    layout_detail::same("VWR", layout_detail::countsOf({8})),
    layout_detail::same("VWT", layout_detail::countsOf({8})),
    layout_detail::same("VPW", layout_detail::countsOf({4})),
    layout_detail::grew23("WCV", 3, 4),
    layout_detail::grew23("RMB", 13, 14),
    layout_detail::same("BOD", layout_detail::countsOf({6})),
    layout_detail::grew23("BWC", 12, 13),
    layout_detail::grew23("BWR", 12, 13),
    layout_detail::same("AAM", layout_detail::countsOf({5})),
    layout_detail::same("RTE", layout_detail::countsFrom(4, 1)),
    layout_detail::same("WPL", layout_detail::countsOf({5})),
    layout_detail::same("XDR", layout_detail::countsFrom(4, 4)),
    layout_detail::same("MDA", layout_detail::countsOf({20})),
    layout_detail::same("TXT", layout_detail::countsOf({4})),
    {"GNS",
     {0, layout_detail::countsOf({12}), layout_detail::countsOf({13}),
      layout_detail::countsOf({13})}},
    layout_detail::same("GST", layout_detail::countsOf({8})),
    layout_detail::grew410("GBS", 8, 10),
    layout_detail::grew410("GRS", 14, 16),
    layout_detail::same("DTM", layout_detail::countsOf({8})),
    layout_detail::same("DBS", layout_detail::countsOf({6})),
    layout_detail::same("DBK", layout_detail::countsOf({6})),
};

namespace layout_detail {
constexpr bool countsFollowLayouts() {
    if (std::size(kFieldCounts) != std::size(kSentenceLayouts))
        return false;
    for (std::size_t i = 0; i < std::size(kFieldCounts); ++i) {
        const char* a = kFieldCounts[i].formatter;
        const char* b = kSentenceLayouts[i].formatter;
        if (a[0] != b[0] || a[1] != b[1] || a[2] != b[2])
            return false;
    }
    return true;
}
static_assert(countsFollowLayouts(), "one field-count entry per layout, in the same order");
}  // namespace layout_detail

// The field counts of the type with this layout.
constexpr const FieldCounts& fieldCountsOf(const SentenceLayout& layout) {
    return kFieldCounts[static_cast<std::size_t>(&layout - kSentenceLayouts)];
}

}  // namespace nmeaz
