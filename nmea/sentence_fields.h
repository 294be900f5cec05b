// The field layout of every sentence type, declared once as data.
//
// For each of the 26 types: its formatter, parse code, field parser, global record
// and, per record field, the name it has in the record, the sentence field it comes
// from, its kind and its offset in the record. The field parsers walk these tables
// to fill the records; the presentation walks the same tables to list the values, so
// a record and everything that shows it cannot drift apart.
//
// Two types have rules beyond "field i goes into record field i":
//  - GSA: the satellite slots sat0..sat11 take fields 3 to fieldCount - 4 (as many as
//    the sentence has, at most 12) and PDOP, HDOP and VDOP the last three fields
//    whatever their number; their `from` is negative, counted from the end
//    (-1 is the last field). The `from` of the slots is their place in a standard
//    sentence with 12 satellite fields.
//  - GSV: sat_data0..sat_data19 take fields 4 to fieldCount - 1.
#pragma once

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
    Text,    // const char*: the field text itself (the VDM payload)
};

struct FieldLayout {
    const char* name;  // record field name ("utc", "sat0", "sat_data7")
    int from;          // sentence field index; negative: counted from the end
    FieldKind kind;
    std::size_t offset;  // byte offset in the record
};

struct SentenceLayout {
    const char* formatter;  // "GGA"
    int code;               // parse code
    SentenceParser parser;
    void* record;  // the global record of the type
    std::size_t recordSize;
    std::span<const FieldLayout> fields;
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
#define NMEAZ_FIELD(Record, member, from)                                                    \
    ::nmeaz::FieldLayout {                                                                   \
#member, from, ::nmeaz::layout_detail::kindOf < Record, decltype(Record::member)>(), \
            offsetof(Record, member)                                                         \
    }
// Slot i of an int array member, named member + i ("sat0").
#define NMEAZ_SLOT(Record, member, i, name, from)                                         \
    ::nmeaz::FieldLayout {                                                                \
        name, from, ::nmeaz::FieldKind::Int, offsetof(Record, member) + (i) * sizeof(int) \
    }

inline constexpr FieldLayout kGgaFields[] = {
    NMEAZ_FIELD(GgaRecord, utc, 1),       NMEAZ_FIELD(GgaRecord, latitude, 2),
    NMEAZ_FIELD(GgaRecord, ns, 3),        NMEAZ_FIELD(GgaRecord, longitude, 4),
    NMEAZ_FIELD(GgaRecord, ew, 5),        NMEAZ_FIELD(GgaRecord, sig, 6),
    NMEAZ_FIELD(GgaRecord, satinuse, 7),  NMEAZ_FIELD(GgaRecord, HDOP, 8),
    NMEAZ_FIELD(GgaRecord, elv, 9),       NMEAZ_FIELD(GgaRecord, elv_units, 10),
    NMEAZ_FIELD(GgaRecord, diff, 11),     NMEAZ_FIELD(GgaRecord, diff_units, 12),
    NMEAZ_FIELD(GgaRecord, dgps_age, 13), NMEAZ_FIELD(GgaRecord, dgps_sid, 14),
};

inline constexpr FieldLayout kRmcFields[] = {
    NMEAZ_FIELD(RmcRecord, utc, 1),       NMEAZ_FIELD(RmcRecord, status, 2),
    NMEAZ_FIELD(RmcRecord, latitude, 3),  NMEAZ_FIELD(RmcRecord, ns, 4),
    NMEAZ_FIELD(RmcRecord, longitude, 5), NMEAZ_FIELD(RmcRecord, ew, 6),
    NMEAZ_FIELD(RmcRecord, sog, 7),       NMEAZ_FIELD(RmcRecord, cog, 8),
    NMEAZ_FIELD(RmcRecord, date, 9),      NMEAZ_FIELD(RmcRecord, mag_var, 10),
    NMEAZ_FIELD(RmcRecord, ew2, 11),      NMEAZ_FIELD(RmcRecord, mode, 12),
};

inline constexpr FieldLayout kGllFields[] = {
    NMEAZ_FIELD(GllRecord, latitude, 1),  NMEAZ_FIELD(GllRecord, ns, 2),
    NMEAZ_FIELD(GllRecord, longitude, 3), NMEAZ_FIELD(GllRecord, ew, 4),
    NMEAZ_FIELD(GllRecord, utc, 5),       NMEAZ_FIELD(GllRecord, status, 6),
    NMEAZ_FIELD(GllRecord, mode, 7),
};

inline constexpr FieldLayout kDptFields[] = {
    NMEAZ_FIELD(DptRecord, water_depth, 1),
    NMEAZ_FIELD(DptRecord, offset, 2),
    NMEAZ_FIELD(DptRecord, max_range_scale, 3),
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
    NMEAZ_FIELD(GsaRecord, PDOP, -3),
    NMEAZ_FIELD(GsaRecord, HDOP, -2),
    NMEAZ_FIELD(GsaRecord, VDOP, -1),
};

inline constexpr FieldLayout kVdmFields[] = {
    NMEAZ_FIELD(VdmRecord, fragment_total, 1), NMEAZ_FIELD(VdmRecord, fragment_number, 2),
    NMEAZ_FIELD(VdmRecord, sequence_id, 3),    NMEAZ_FIELD(VdmRecord, channel, 4),
    NMEAZ_FIELD(VdmRecord, payload, 5),        NMEAZ_FIELD(VdmRecord, fill_bits, 6),
};

inline constexpr FieldLayout kHdgFields[] = {
    NMEAZ_FIELD(HdgRecord, mag_sen_head, 1),      NMEAZ_FIELD(HdgRecord, mag_deviation, 2),
    NMEAZ_FIELD(HdgRecord, mag_deviation_dir, 3), NMEAZ_FIELD(HdgRecord, mag_variation, 4),
    NMEAZ_FIELD(HdgRecord, mag_variation_dir, 5),
};

inline constexpr FieldLayout kMtwFields[] = {
    NMEAZ_FIELD(MtwRecord, temperature, 1),
    NMEAZ_FIELD(MtwRecord, temperature_unit, 2),
};

inline constexpr FieldLayout kMwdFields[] = {
    NMEAZ_FIELD(MwdRecord, wind_dir_true, 1),   NMEAZ_FIELD(MwdRecord, wind_dir_true_unit, 2),
    NMEAZ_FIELD(MwdRecord, wind_dir_mag, 3),    NMEAZ_FIELD(MwdRecord, wind_dir_mag_unit, 4),
    NMEAZ_FIELD(MwdRecord, wind_speed_knot, 5), NMEAZ_FIELD(MwdRecord, wind_speed_knot_unit, 6),
    NMEAZ_FIELD(MwdRecord, wind_speed_ms, 7),   NMEAZ_FIELD(MwdRecord, wind_speed_ms_unit, 8),
};

inline constexpr FieldLayout kRmaFields[] = {
    NMEAZ_FIELD(RmaRecord, status, 1),       NMEAZ_FIELD(RmaRecord, latitude, 2),
    NMEAZ_FIELD(RmaRecord, ns, 3),           NMEAZ_FIELD(RmaRecord, longitude, 4),
    NMEAZ_FIELD(RmaRecord, ew, 5),           NMEAZ_FIELD(RmaRecord, time_dif_a, 6),
    NMEAZ_FIELD(RmaRecord, time_dif_b, 7),   NMEAZ_FIELD(RmaRecord, sog, 8),
    NMEAZ_FIELD(RmaRecord, cog, 9),          NMEAZ_FIELD(RmaRecord, mag_var, 10),
    NMEAZ_FIELD(RmaRecord, mag_var_dir, 11), NMEAZ_FIELD(RmaRecord, mode, 12),
};

inline constexpr FieldLayout kRsaFields[] = {
    NMEAZ_FIELD(RsaRecord, sre, 1),
    NMEAZ_FIELD(RsaRecord, sre_status, 2),
    NMEAZ_FIELD(RsaRecord, prs, 3),
    NMEAZ_FIELD(RsaRecord, prs_status, 4),
};

inline constexpr FieldLayout kVhwFields[] = {
    NMEAZ_FIELD(VhwRecord, heading_true, 1), NMEAZ_FIELD(VhwRecord, heading_true_unit, 2),
    NMEAZ_FIELD(VhwRecord, heading_mag, 3),  NMEAZ_FIELD(VhwRecord, heading_mag_unit, 4),
    NMEAZ_FIELD(VhwRecord, speed_knot, 5),   NMEAZ_FIELD(VhwRecord, speed_knot_unit, 6),
    NMEAZ_FIELD(VhwRecord, speed_ms, 7),     NMEAZ_FIELD(VhwRecord, speed_ms_unit, 8),
};

inline constexpr FieldLayout kVlwFields[] = {
    NMEAZ_FIELD(VlwRecord, tcwd, 1), NMEAZ_FIELD(VlwRecord, tcwd_unit, 2),
    NMEAZ_FIELD(VlwRecord, wdsr, 3), NMEAZ_FIELD(VlwRecord, wdsr_unit, 4),
    NMEAZ_FIELD(VlwRecord, tcgd, 5), NMEAZ_FIELD(VlwRecord, tcgd_unit, 6),
    NMEAZ_FIELD(VlwRecord, gdsr, 7), NMEAZ_FIELD(VlwRecord, gdsr_unit, 8),
};

inline constexpr FieldLayout kXteFields[] = {
    NMEAZ_FIELD(XteRecord, status1, 1), NMEAZ_FIELD(XteRecord, status2, 2),
    NMEAZ_FIELD(XteRecord, mag_ct, 3),  NMEAZ_FIELD(XteRecord, dir_steer, 4),
    NMEAZ_FIELD(XteRecord, units, 5),   NMEAZ_FIELD(XteRecord, mode, 6),
};

inline constexpr FieldLayout kZdaFields[] = {
    NMEAZ_FIELD(ZdaRecord, utc, 1),  NMEAZ_FIELD(ZdaRecord, day, 2),
    NMEAZ_FIELD(ZdaRecord, mon, 3),  NMEAZ_FIELD(ZdaRecord, year, 4),
    NMEAZ_FIELD(ZdaRecord, hour, 5), NMEAZ_FIELD(ZdaRecord, min, 6),
};

inline constexpr FieldLayout kApbFields[] = {
    NMEAZ_FIELD(ApbRecord, status1, 1),
    NMEAZ_FIELD(ApbRecord, status2, 2),
    NMEAZ_FIELD(ApbRecord, mag_ct, 3),
    NMEAZ_FIELD(ApbRecord, dir_steer, 4),
    NMEAZ_FIELD(ApbRecord, units, 5),
    NMEAZ_FIELD(ApbRecord, arrival_status, 6),
    NMEAZ_FIELD(ApbRecord, perpendicular_status, 7),
    NMEAZ_FIELD(ApbRecord, bearing_origin_dest, 8),
    NMEAZ_FIELD(ApbRecord, bearing_origin_dest_ref, 9),
    NMEAZ_FIELD(ApbRecord, dest_id, 10),
    NMEAZ_FIELD(ApbRecord, bearing_present_dest, 11),
    NMEAZ_FIELD(ApbRecord, bearing_present_dest_ref, 12),
    NMEAZ_FIELD(ApbRecord, heading_steer, 13),
    NMEAZ_FIELD(ApbRecord, heading_steer_ref, 14),
    NMEAZ_FIELD(ApbRecord, mode, 15),
};

inline constexpr FieldLayout kDbtFields[] = {
    NMEAZ_FIELD(DbtRecord, depth_feet, 1),    NMEAZ_FIELD(DbtRecord, depth_feet_unit, 2),
    NMEAZ_FIELD(DbtRecord, depth_metres, 3),  NMEAZ_FIELD(DbtRecord, depth_metres_unit, 4),
    NMEAZ_FIELD(DbtRecord, depth_fathoms, 5), NMEAZ_FIELD(DbtRecord, depth_fathoms_unit, 6),
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
    NMEAZ_FIELD(HdtRecord, heading, 1),
    NMEAZ_FIELD(HdtRecord, heading_unit, 2),
};

inline constexpr FieldLayout kHscFields[] = {
    NMEAZ_FIELD(HscRecord, heading1, 1),
    NMEAZ_FIELD(HscRecord, heading1_unit, 2),
    NMEAZ_FIELD(HscRecord, heading2, 3),
    NMEAZ_FIELD(HscRecord, heading2_unit, 4),
};

inline constexpr FieldLayout kMwvFields[] = {
    NMEAZ_FIELD(MwvRecord, wind_angle, 1), NMEAZ_FIELD(MwvRecord, wind_angle_ref, 2),
    NMEAZ_FIELD(MwvRecord, wind_speed, 3), NMEAZ_FIELD(MwvRecord, wind_speed_unit, 4),
    NMEAZ_FIELD(MwvRecord, status, 5),
};

inline constexpr FieldLayout kRotFields[] = {
    NMEAZ_FIELD(RotRecord, rot, 1),
    NMEAZ_FIELD(RotRecord, status, 2),
};

inline constexpr FieldLayout kRpmFields[] = {
    NMEAZ_FIELD(RpmRecord, source, 1), NMEAZ_FIELD(RpmRecord, number, 2),
    NMEAZ_FIELD(RpmRecord, speed, 3),  NMEAZ_FIELD(RpmRecord, propeller, 4),
    NMEAZ_FIELD(RpmRecord, status, 5),
};

inline constexpr FieldLayout kVbwFields[] = {
    NMEAZ_FIELD(VbwRecord, lws, 1),     NMEAZ_FIELD(VbwRecord, tws, 2),
    NMEAZ_FIELD(VbwRecord, status1, 3), NMEAZ_FIELD(VbwRecord, lgs, 4),
    NMEAZ_FIELD(VbwRecord, tgs, 5),     NMEAZ_FIELD(VbwRecord, status2, 6),
    NMEAZ_FIELD(VbwRecord, stws, 7),    NMEAZ_FIELD(VbwRecord, status3, 8),
    NMEAZ_FIELD(VbwRecord, stgs, 9),    NMEAZ_FIELD(VbwRecord, status, 10),
};

inline constexpr FieldLayout kVdrFields[] = {
    NMEAZ_FIELD(VdrRecord, dir1, 1),          NMEAZ_FIELD(VdrRecord, dir1_unit, 2),
    NMEAZ_FIELD(VdrRecord, dir2, 3),          NMEAZ_FIELD(VdrRecord, dir2_unit, 4),
    NMEAZ_FIELD(VdrRecord, current_speed, 5), NMEAZ_FIELD(VdrRecord, current_speed_unit, 6),
};

inline constexpr FieldLayout kVtgFields[] = {
    NMEAZ_FIELD(VtgRecord, cog1, 1), NMEAZ_FIELD(VtgRecord, cog1_unit, 2),
    NMEAZ_FIELD(VtgRecord, cog2, 3), NMEAZ_FIELD(VtgRecord, cog2_unit, 4),
    NMEAZ_FIELD(VtgRecord, sog1, 5), NMEAZ_FIELD(VtgRecord, sog1_unit, 6),
    NMEAZ_FIELD(VtgRecord, sog2, 7), NMEAZ_FIELD(VtgRecord, sog2_unit, 8),
    NMEAZ_FIELD(VtgRecord, mode, 9),
};

#undef NMEAZ_FIELD
#undef NMEAZ_SLOT

#define NMEAZ_SENTENCE(FORMATTER, Code, parser, record, fields)  \
    ::nmeaz::SentenceLayout {                                    \
        FORMATTER, Code, parser, &record, sizeof(record), fields \
    }

// The 26 types in registration order.
inline constexpr SentenceLayout kSentenceLayouts[] = {
    NMEAZ_SENTENCE("GLL", kCodeGll, parseGll, gllRecord, kGllFields),
    NMEAZ_SENTENCE("RMC", kCodeRmc, parseRmc, rmcRecord, kRmcFields),
    NMEAZ_SENTENCE("GGA", kCodeGga, parseGga, ggaRecord, kGgaFields),
    NMEAZ_SENTENCE("DPT", kCodeDpt, parseDpt, dptRecord, kDptFields),
    NMEAZ_SENTENCE("GSA", kCodeGsa, parseGsa, gsaRecord, kGsaFields),
    NMEAZ_SENTENCE("VDM", kCodeVdm, parseVdmFields, vdmRecord, kVdmFields),
    NMEAZ_SENTENCE("HDG", kCodeHdg, parseHdg, hdgRecord, kHdgFields),
    NMEAZ_SENTENCE("MTW", kCodeMtw, parseMtw, mtwRecord, kMtwFields),
    NMEAZ_SENTENCE("MWD", kCodeMwd, parseMwd, mwdRecord, kMwdFields),
    NMEAZ_SENTENCE("RMA", kCodeRma, parseRma, rmaRecord, kRmaFields),
    NMEAZ_SENTENCE("RSA", kCodeRsa, parseRsa, rsaRecord, kRsaFields),
    NMEAZ_SENTENCE("VHW", kCodeVhw, parseVhw, vhwRecord, kVhwFields),
    NMEAZ_SENTENCE("VLW", kCodeVlw, parseVlw, vlwRecord, kVlwFields),
    NMEAZ_SENTENCE("XTE", kCodeXte, parseXte, xteRecord, kXteFields),
    NMEAZ_SENTENCE("ZDA", kCodeZda, parseZda, zdaRecord, kZdaFields),
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
};

#undef NMEAZ_SENTENCE

inline constexpr int kSentenceTypeCount = 26;
static_assert(std::size(kSentenceLayouts) == kSentenceTypeCount);

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

// The layout of the type with this parse code (an AIS code 50 + n gives VDM's), or
// null for a code no sentence type has.
constexpr const SentenceLayout* layoutFor(int code) {
    if (code > kCodeAisBase)
        code = kCodeVdm;
    for (const SentenceLayout& layout : kSentenceLayouts) {
        if (layout.code == code)
            return &layout;
    }
    return nullptr;
}

}  // namespace nmeaz
