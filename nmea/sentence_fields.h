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
#include <iterator>
#include <span>
#include <type_traits>

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
};

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
    NMEAZ_FIELD(GgaRecord, sig, 6),
    NMEAZ_FIELD(GgaRecord, satinuse, 7),
    NMEAZ_FIELD(GgaRecord, HDOP, 8, Unit::None, Show::Plain, nullptr, "hdop"),
    NMEAZ_FIELD(GgaRecord, elv, 9, Unit::Metres),
    NMEAZ_FIELD(GgaRecord, elv_units, 10),
    NMEAZ_FIELD(GgaRecord, diff, 11, Unit::Metres),
    NMEAZ_FIELD(GgaRecord, diff_units, 12),
    NMEAZ_FIELD(GgaRecord, dgps_age, 13, Unit::Seconds),
    NMEAZ_FIELD(GgaRecord, dgps_sid, 14),
};

inline constexpr FieldLayout kRmcFields[] = {
    NMEAZ_FIELD(RmcRecord, utc, 1, Unit::None, Show::Time),
    NMEAZ_FIELD(RmcRecord, status, 2),
    NMEAZ_FIELD(RmcRecord, latitude, 3, Unit::Degrees, Show::Latitude),
    NMEAZ_FIELD(RmcRecord, ns, 4, Unit::None, Show::Hemisphere),
    NMEAZ_FIELD(RmcRecord, longitude, 5, Unit::Degrees, Show::Longitude),
    NMEAZ_FIELD(RmcRecord, ew, 6, Unit::None, Show::Hemisphere),
    NMEAZ_FIELD(RmcRecord, sog, 7, Unit::Knots),
    NMEAZ_FIELD(RmcRecord, cog, 8, Unit::Degrees),
    NMEAZ_FIELD(RmcRecord, date, 9, Unit::None, Show::Date),
    NMEAZ_FIELD(RmcRecord, mag_var, 10, Unit::Degrees),
    NMEAZ_FIELD(RmcRecord, ew2, 11),
    NMEAZ_FIELD(RmcRecord, mode, 12),
};

inline constexpr FieldLayout kGllFields[] = {
    NMEAZ_FIELD(GllRecord, latitude, 1, Unit::Degrees, Show::Latitude),
    NMEAZ_FIELD(GllRecord, ns, 2, Unit::None, Show::Hemisphere),
    NMEAZ_FIELD(GllRecord, longitude, 3, Unit::Degrees, Show::Longitude),
    NMEAZ_FIELD(GllRecord, ew, 4, Unit::None, Show::Hemisphere),
    NMEAZ_FIELD(GllRecord, utc, 5, Unit::None, Show::Time),
    NMEAZ_FIELD(GllRecord, status, 6),
    NMEAZ_FIELD(GllRecord, mode, 7),
};

inline constexpr FieldLayout kDptFields[] = {
    NMEAZ_FIELD(DptRecord, water_depth, 1, Unit::Metres),
    NMEAZ_FIELD(DptRecord, offset, 2, Unit::Metres),
    NMEAZ_FIELD(DptRecord, max_range_scale, 3, Unit::Metres),
};

inline constexpr FieldLayout kGsaFields[] = {
    NMEAZ_FIELD(GsaRecord, fix_mode, 1),
    NMEAZ_FIELD(GsaRecord, fix_type, 2),
    NMEAZ_SLOT(GsaRecord, sat, 0, "sat0", 3),
    NMEAZ_SLOT(GsaRecord, sat, 1, "sat1", 4),
    NMEAZ_SLOT(GsaRecord, sat, 2, "sat2", 5),
    NMEAZ_SLOT(GsaRecord, sat, 3, "sat3", 6),
    NMEAZ_SLOT(GsaRecord, sat, 4, "sat4", 7),
    NMEAZ_SLOT(GsaRecord, sat, 5, "sat5", 8),
    NMEAZ_SLOT(GsaRecord, sat, 6, "sat6", 9),
    NMEAZ_SLOT(GsaRecord, sat, 7, "sat7", 10),
    NMEAZ_SLOT(GsaRecord, sat, 8, "sat8", 11),
    NMEAZ_SLOT(GsaRecord, sat, 9, "sat9", 12),
    NMEAZ_SLOT(GsaRecord, sat, 10, "sat10", 13),
    NMEAZ_SLOT(GsaRecord, sat, 11, "sat11", 14),
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
    NMEAZ_FIELD(HdgRecord, mag_deviation_dir, 3),
    NMEAZ_FIELD(HdgRecord, mag_variation, 4, Unit::Degrees),
    NMEAZ_FIELD(HdgRecord, mag_variation_dir, 5),
};

inline constexpr FieldLayout kMtwFields[] = {
    NMEAZ_FIELD(MtwRecord, temperature, 1, Unit::Celsius),
    NMEAZ_FIELD(MtwRecord, temperature_unit, 2),
};

inline constexpr FieldLayout kMwdFields[] = {
    NMEAZ_FIELD(MwdRecord, wind_dir_true, 1, Unit::Degrees),
    NMEAZ_FIELD(MwdRecord, wind_dir_true_unit, 2),
    NMEAZ_FIELD(MwdRecord, wind_dir_mag, 3, Unit::Degrees),
    NMEAZ_FIELD(MwdRecord, wind_dir_mag_unit, 4),
    NMEAZ_FIELD(MwdRecord, wind_speed_knot, 5, Unit::Knots),
    NMEAZ_FIELD(MwdRecord, wind_speed_knot_unit, 6),
    NMEAZ_FIELD(MwdRecord, wind_speed_ms, 7, Unit::MetresPerSecond),
    NMEAZ_FIELD(MwdRecord, wind_speed_ms_unit, 8),
};

inline constexpr FieldLayout kRmaFields[] = {
    NMEAZ_FIELD(RmaRecord, status, 1),
    NMEAZ_FIELD(RmaRecord, latitude, 2, Unit::Degrees, Show::Latitude),
    NMEAZ_FIELD(RmaRecord, ns, 3, Unit::None, Show::Hemisphere),
    NMEAZ_FIELD(RmaRecord, longitude, 4, Unit::Degrees, Show::Longitude),
    NMEAZ_FIELD(RmaRecord, ew, 5, Unit::None, Show::Hemisphere),
    NMEAZ_FIELD(RmaRecord, time_dif_a, 6, Unit::Microseconds),
    NMEAZ_FIELD(RmaRecord, time_dif_b, 7, Unit::Microseconds),
    NMEAZ_FIELD(RmaRecord, sog, 8, Unit::Knots),
    NMEAZ_FIELD(RmaRecord, cog, 9, Unit::Degrees),
    NMEAZ_FIELD(RmaRecord, mag_var, 10, Unit::Degrees),
    NMEAZ_FIELD(RmaRecord, mag_var_dir, 11),
    NMEAZ_FIELD(RmaRecord, mode, 12),
};

inline constexpr FieldLayout kRsaFields[] = {
    NMEAZ_FIELD(RsaRecord, sre, 1, Unit::Degrees),
    NMEAZ_FIELD(RsaRecord, sre_status, 2),
    NMEAZ_FIELD(RsaRecord, prs, 3, Unit::Degrees),
    NMEAZ_FIELD(RsaRecord, prs_status, 4),
};

inline constexpr FieldLayout kVhwFields[] = {
    NMEAZ_FIELD(VhwRecord, heading_true, 1, Unit::Degrees),
    NMEAZ_FIELD(VhwRecord, heading_true_unit, 2),
    NMEAZ_FIELD(VhwRecord, heading_mag, 3, Unit::Degrees),
    NMEAZ_FIELD(VhwRecord, heading_mag_unit, 4),
    NMEAZ_FIELD(VhwRecord, speed_knot, 5, Unit::Knots),
    NMEAZ_FIELD(VhwRecord, speed_knot_unit, 6),
    NMEAZ_FIELD(VhwRecord, speed_ms, 7, Unit::KilometresPerHour),
    NMEAZ_FIELD(VhwRecord, speed_ms_unit, 8),
};

inline constexpr FieldLayout kVlwFields[] = {
    NMEAZ_FIELD(VlwRecord, tcwd, 1, Unit::NauticalMiles), NMEAZ_FIELD(VlwRecord, tcwd_unit, 2),
    NMEAZ_FIELD(VlwRecord, wdsr, 3, Unit::NauticalMiles), NMEAZ_FIELD(VlwRecord, wdsr_unit, 4),
    NMEAZ_FIELD(VlwRecord, tcgd, 5, Unit::NauticalMiles), NMEAZ_FIELD(VlwRecord, tcgd_unit, 6),
    NMEAZ_FIELD(VlwRecord, gdsr, 7, Unit::NauticalMiles), NMEAZ_FIELD(VlwRecord, gdsr_unit, 8),
};

inline constexpr FieldLayout kXteFields[] = {
    NMEAZ_FIELD(XteRecord, status1, 1),
    NMEAZ_FIELD(XteRecord, status2, 2),
    NMEAZ_FIELD(XteRecord, mag_ct, 3, Unit::NauticalMiles),
    NMEAZ_FIELD(XteRecord, dir_steer, 4),
    NMEAZ_FIELD(XteRecord, units, 5),
    NMEAZ_FIELD(XteRecord, mode, 6),
};

inline constexpr FieldLayout kZdaFields[] = {
    NMEAZ_FIELD(ZdaRecord, utc, 1, Unit::None, Show::Time),
    NMEAZ_FIELD(ZdaRecord, day, 2),
    NMEAZ_FIELD(ZdaRecord, mon, 3),
    NMEAZ_FIELD(ZdaRecord, year, 4),
    NMEAZ_FIELD(ZdaRecord, hour, 5, Unit::Hours),
    NMEAZ_FIELD(ZdaRecord, min, 6, Unit::Minutes),
};

inline constexpr FieldLayout kApbFields[] = {
    NMEAZ_FIELD(ApbRecord, status1, 1),
    NMEAZ_FIELD(ApbRecord, status2, 2),
    NMEAZ_FIELD(ApbRecord, mag_ct, 3, Unit::NauticalMiles),
    NMEAZ_FIELD(ApbRecord, dir_steer, 4),
    NMEAZ_FIELD(ApbRecord, units, 5),
    NMEAZ_FIELD(ApbRecord, arrival_status, 6),
    NMEAZ_FIELD(ApbRecord, perpendicular_status, 7),
    NMEAZ_FIELD(ApbRecord, bearing_origin_dest, 8, Unit::Degrees),
    NMEAZ_FIELD(ApbRecord, bearing_origin_dest_ref, 9),
    NMEAZ_FIELD(ApbRecord, dest_id, 10),
    NMEAZ_FIELD(ApbRecord, bearing_present_dest, 11, Unit::Degrees),
    NMEAZ_FIELD(ApbRecord, bearing_present_dest_ref, 12),
    NMEAZ_FIELD(ApbRecord, heading_steer, 13, Unit::Degrees),
    NMEAZ_FIELD(ApbRecord, heading_steer_ref, 14),
    NMEAZ_FIELD(ApbRecord, mode, 15),
};

inline constexpr FieldLayout kDbtFields[] = {
    NMEAZ_FIELD(DbtRecord, depth_feet, 1, Unit::Feet),
    NMEAZ_FIELD(DbtRecord, depth_feet_unit, 2),
    NMEAZ_FIELD(DbtRecord, depth_metres, 3, Unit::Metres),
    NMEAZ_FIELD(DbtRecord, depth_metres_unit, 4),
    NMEAZ_FIELD(DbtRecord, depth_fathoms, 5, Unit::Fathoms),
    NMEAZ_FIELD(DbtRecord, depth_fathoms_unit, 6),
};

inline constexpr FieldLayout kGsvFields[] = {
    NMEAZ_FIELD(GsvRecord, pack_count, 1),
    NMEAZ_FIELD(GsvRecord, pack_index, 2),
    NMEAZ_FIELD(GsvRecord, sat_count, 3),
    NMEAZ_SLOT(GsvRecord, sat_data, 0, "sat_data0", 4),
    NMEAZ_SLOT(GsvRecord, sat_data, 1, "sat_data1", 5),
    NMEAZ_SLOT(GsvRecord, sat_data, 2, "sat_data2", 6),
    NMEAZ_SLOT(GsvRecord, sat_data, 3, "sat_data3", 7),
    NMEAZ_SLOT(GsvRecord, sat_data, 4, "sat_data4", 8),
    NMEAZ_SLOT(GsvRecord, sat_data, 5, "sat_data5", 9),
    NMEAZ_SLOT(GsvRecord, sat_data, 6, "sat_data6", 10),
    NMEAZ_SLOT(GsvRecord, sat_data, 7, "sat_data7", 11),
    NMEAZ_SLOT(GsvRecord, sat_data, 8, "sat_data8", 12),
    NMEAZ_SLOT(GsvRecord, sat_data, 9, "sat_data9", 13),
    NMEAZ_SLOT(GsvRecord, sat_data, 10, "sat_data10", 14),
    NMEAZ_SLOT(GsvRecord, sat_data, 11, "sat_data11", 15),
    NMEAZ_SLOT(GsvRecord, sat_data, 12, "sat_data12", 16),
    NMEAZ_SLOT(GsvRecord, sat_data, 13, "sat_data13", 17),
    NMEAZ_SLOT(GsvRecord, sat_data, 14, "sat_data14", 18),
    NMEAZ_SLOT(GsvRecord, sat_data, 15, "sat_data15", 19),
    NMEAZ_SLOT(GsvRecord, sat_data, 16, "sat_data16", 20),
    NMEAZ_SLOT(GsvRecord, sat_data, 17, "sat_data17", 21),
    NMEAZ_SLOT(GsvRecord, sat_data, 18, "sat_data18", 22),
    NMEAZ_SLOT(GsvRecord, sat_data, 19, "sat_data19", 23),
};

inline constexpr FieldLayout kHdtFields[] = {
    NMEAZ_FIELD(HdtRecord, heading, 1, Unit::Degrees),
    NMEAZ_FIELD(HdtRecord, heading_unit, 2),
};

inline constexpr FieldLayout kHscFields[] = {
    NMEAZ_FIELD(HscRecord, heading1, 1, Unit::Degrees),
    NMEAZ_FIELD(HscRecord, heading1_unit, 2),
    NMEAZ_FIELD(HscRecord, heading2, 3, Unit::Degrees),
    NMEAZ_FIELD(HscRecord, heading2_unit, 4),
};

inline constexpr FieldLayout kMwvFields[] = {
    NMEAZ_FIELD(MwvRecord, wind_angle, 1, Unit::Degrees),
    NMEAZ_FIELD(MwvRecord, wind_angle_ref, 2),
    NMEAZ_FIELD(MwvRecord, wind_speed, 3),
    NMEAZ_FIELD(MwvRecord, wind_speed_unit, 4),
    NMEAZ_FIELD(MwvRecord, status, 5),
};

inline constexpr FieldLayout kRotFields[] = {
    NMEAZ_FIELD(RotRecord, rot, 1, Unit::DegreesPerMinute),
    NMEAZ_FIELD(RotRecord, status, 2),
};

inline constexpr FieldLayout kRpmFields[] = {
    NMEAZ_FIELD(RpmRecord, source, 1),
    NMEAZ_FIELD(RpmRecord, number, 2),
    NMEAZ_FIELD(RpmRecord, speed, 3, Unit::RevolutionsPerMinute),
    NMEAZ_FIELD(RpmRecord, propeller, 4, Unit::Percent),
    NMEAZ_FIELD(RpmRecord, status, 5),
};

inline constexpr FieldLayout kVbwFields[] = {
    NMEAZ_FIELD(VbwRecord, lws, 1, Unit::Knots),  NMEAZ_FIELD(VbwRecord, tws, 2, Unit::Knots),
    NMEAZ_FIELD(VbwRecord, status1, 3),           NMEAZ_FIELD(VbwRecord, lgs, 4, Unit::Knots),
    NMEAZ_FIELD(VbwRecord, tgs, 5, Unit::Knots),  NMEAZ_FIELD(VbwRecord, status2, 6),
    NMEAZ_FIELD(VbwRecord, stws, 7, Unit::Knots), NMEAZ_FIELD(VbwRecord, status3, 8),
    NMEAZ_FIELD(VbwRecord, stgs, 9, Unit::Knots), NMEAZ_FIELD(VbwRecord, status, 10),
};

inline constexpr FieldLayout kVdrFields[] = {
    NMEAZ_FIELD(VdrRecord, dir1, 1, Unit::Degrees),
    NMEAZ_FIELD(VdrRecord, dir1_unit, 2),
    NMEAZ_FIELD(VdrRecord, dir2, 3, Unit::Degrees),
    NMEAZ_FIELD(VdrRecord, dir2_unit, 4),
    NMEAZ_FIELD(VdrRecord, current_speed, 5, Unit::Knots),
    NMEAZ_FIELD(VdrRecord, current_speed_unit, 6),
};

inline constexpr FieldLayout kVtgFields[] = {
    NMEAZ_FIELD(VtgRecord, cog1, 1, Unit::Degrees),
    NMEAZ_FIELD(VtgRecord, cog1_unit, 2),
    NMEAZ_FIELD(VtgRecord, cog2, 3, Unit::Degrees),
    NMEAZ_FIELD(VtgRecord, cog2_unit, 4),
    NMEAZ_FIELD(VtgRecord, sog1, 5, Unit::Knots),
    NMEAZ_FIELD(VtgRecord, sog1_unit, 6),
    NMEAZ_FIELD(VtgRecord, sog2, 7, Unit::KilometresPerHour),
    NMEAZ_FIELD(VtgRecord, sog2_unit, 8),
    NMEAZ_FIELD(VtgRecord, mode, 9),
};

// The types decoded by their table alone. Layouts as NMEA 0183 4.11 writes them; a
// talker of an older version sends fewer fields, and the missing ones stay empty.

inline constexpr FieldLayout kHdmFields[] = {
    NMEAZ_FIELD(HdmRecord, heading, 1, Unit::Degrees, Show::Plain, "Heading, magnetic"),
    NMEAZ_FIELD(HdmRecord, heading_unit, 2, Unit::None, Show::Plain, "M"),
};

inline constexpr FieldLayout kThsFields[] = {
    NMEAZ_FIELD(ThsRecord, heading, 1, Unit::Degrees, Show::Plain, "Heading, true"),
    NMEAZ_FIELD(ThsRecord, mode, 2, Unit::None, Show::Plain, "Mode indicator"),
};

inline constexpr FieldLayout kWindFields[] = {
    NMEAZ_FIELD(WindRecord, wind_angle, 1, Unit::Degrees, Show::Plain, "Wind angle off the bow"),
    NMEAZ_FIELD(WindRecord, wind_side, 2, Unit::None, Show::Plain, "L/R of bow"),
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
    NMEAZ_FIELD(WcvRecord, mode, 4, Unit::None, Show::Plain, "Mode indicator"),
};

inline constexpr FieldLayout kRmbFields[] = {
    NMEAZ_FIELD(RmbRecord, status, 1, Unit::None, Show::Plain, "Status"),
    NMEAZ_FIELD(RmbRecord, xte, 2, Unit::NauticalMiles, Show::Plain, "Cross-track error"),
    NMEAZ_FIELD(RmbRecord, dir_steer, 3, Unit::None, Show::Plain, "Direction to steer, L/R"),
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
    NMEAZ_FIELD(RmbRecord, arrival_status, 13, Unit::None, Show::Plain, "Arrival status"),
    NMEAZ_FIELD(RmbRecord, mode, 14, Unit::None, Show::Plain, "Mode indicator"),
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
    NMEAZ_FIELD(BearingRecord, mode, 13, Unit::None, Show::Plain, "Mode indicator"),
};

inline constexpr FieldLayout kAamFields[] = {
    NMEAZ_FIELD(AamRecord, arrival_status, 1, Unit::None, Show::Plain, "Arrival circle entered"),
    NMEAZ_FIELD(AamRecord, perpendicular_status, 2, Unit::None, Show::Plain,
                "Perpendicular passed"),
    NMEAZ_FIELD(AamRecord, radius, 3, Unit::NauticalMiles, Show::Plain, "Arrival circle radius"),
    NMEAZ_FIELD(AamRecord, radius_unit, 4, Unit::None, Show::Plain, "N"),
    NMEAZ_FIELD(AamRecord, waypoint_id, 5, Unit::None, Show::Plain, "Waypoint ID"),
};

#define NMEAZ_WAYPOINT(i)                                                                        \
    NMEAZ_ELEMENT(RteRecord, waypoint, i, "waypoint" #i, 5 + (i), Text, const char*, Unit::None, \
                  Show::Plain, "Waypoint " #i)
inline constexpr FieldLayout kRteFields[] = {
    NMEAZ_FIELD(RteRecord, sentence_count, 1, Unit::None, Show::Plain, "Number of sentences"),
    NMEAZ_FIELD(RteRecord, sentence_number, 2, Unit::None, Show::Plain, "Sentence number"),
    NMEAZ_FIELD(RteRecord, route_mode, 3, Unit::None, Show::Plain, "Complete/working route"),
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
    NMEAZ_FIELD(TxtRecord, sentence_count, 1, Unit::None, Show::Plain, "Number of sentences"),
    NMEAZ_FIELD(TxtRecord, sentence_number, 2, Unit::None, Show::Plain, "Sentence number"),
    NMEAZ_FIELD(TxtRecord, text_id, 3, Unit::None, Show::Plain, "Text identifier"),
    NMEAZ_FIELD(TxtRecord, text, 4, Unit::None, Show::Plain, "Text"),
};

inline constexpr FieldLayout kGnsFields[] = {
    NMEAZ_FIELD(GnsRecord, utc, 1, Unit::None, Show::Time, "UTC"),
    NMEAZ_FIELD(GnsRecord, latitude, 2, Unit::Degrees, Show::Latitude, "Latitude"),
    NMEAZ_FIELD(GnsRecord, ns, 3, Unit::None, Show::Hemisphere, "ns"),
    NMEAZ_FIELD(GnsRecord, longitude, 4, Unit::Degrees, Show::Longitude, "Longitude"),
    NMEAZ_FIELD(GnsRecord, ew, 5, Unit::None, Show::Hemisphere, "ew"),
    NMEAZ_FIELD(GnsRecord, mode, 6, Unit::None, Show::Plain, "Mode indicators"),
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
    NMEAZ_FIELD(GstRecord, orientation, 5, Unit::Degrees, Show::Plain, "Error ellipse orientation"),
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
    NMEAZ_FIELD(DtmRecord, ns, 4, Unit::None, Show::Plain, "ns"),
    NMEAZ_FIELD(DtmRecord, lon_offset, 5, Unit::ArcMinutes, Show::Plain, "Longitude offset"),
    NMEAZ_FIELD(DtmRecord, ew, 6, Unit::None, Show::Plain, "ew"),
    NMEAZ_FIELD(DtmRecord, alt_offset, 7, Unit::Metres, Show::Plain, "Altitude offset"),
    NMEAZ_FIELD(DtmRecord, reference_datum, 8, Unit::None, Show::Plain, "Reference datum"),
};

// DBS and DBK: DBT's record with names for their own table.
inline constexpr FieldLayout kDepthFields[] = {
    NMEAZ_FIELD(DbtRecord, depth_feet, 1, Unit::Feet, Show::Plain, "Depth"),
    NMEAZ_FIELD(DbtRecord, depth_feet_unit, 2, Unit::None, Show::Plain, "f"),
    NMEAZ_FIELD(DbtRecord, depth_metres, 3, Unit::Metres, Show::Plain, "Depth"),
    NMEAZ_FIELD(DbtRecord, depth_metres_unit, 4, Unit::None, Show::Plain, "M"),
    NMEAZ_FIELD(DbtRecord, depth_fathoms, 5, Unit::Fathoms, Show::Plain, "Depth"),
    NMEAZ_FIELD(DbtRecord, depth_fathoms_unit, 6, Unit::None, Show::Plain, "F"),
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

}  // namespace nmeaz
