// The bit layout of every decoded AIS message, declared once as data. The generic
// decoder (aisDecode), the result lists and the inspector's row catalogue all walk
// these tables; nothing else repeats a bit offset.
//
// A table lists a record's fields in record order. Each field gives where its bits
// lie in the message, how the decoder stores them, how a result list writes them,
// and when it is decoded and listed. Two messages have gated fields, keyed by the
// digit stored in the message's gate field (AisMessageLayout::gateField):
// - message 18, gate = communication state selector: the SOTDMA state is always
//   decoded but listed only for '0'; the ITDMA state re-reads the same bits
//   149..167 and is decoded and listed only for '1';
// - message 24, gate = part number: part A fields are decoded only for '0', part B
//   fields only for '1'; both are always listed (the other part's fields are
//   zero or empty).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "ais/records.h"

namespace ais {

// How a field's bits are stored in the record.
enum class AisStore : std::uint8_t {
    Unsigned,      // std::uint32_t
    Signed,        // std::int32_t, two's complement of the field
    Character,     // char: first character of the field's unsigned value in decimal
    Text,          // char[textChars + 1]: textChars six-bit characters and a terminator
    TrailingText,  // like Text, but from firstBit to the end of the payload (at most
                   // `width` bits); the character count follows from the payload length
};

// How a result list writes a field.
enum class AisListWay : std::uint8_t {
    Integer,    // decimal, minus sign when negative
    Character,  // the single character stored (NUL when the field was not decoded)
    Text,       // the stored characters up to the terminator, unchanged
    Degrees,    // value / 10000 / 60 as a double, fixed notation with 5 decimals
    Tenths,     // value / 10 in integer arithmetic, written as an integer
};

// When a field is decoded or listed, by the digit in the message's gate field.
enum class AisGate : std::uint8_t {
    Always,
    GateIsZero,  // only when the gate field holds '0'
    GateIsOne,   // only when the gate field holds '1'
};

// How the named output (JSON with names and units) and the readable view present a
// field. Every way but Plain and Omit has a "not available" code that is written as
// null, never as a number.
enum class AisNamedWay : std::uint8_t {
    Plain,      // the stored value as it is: a number (Character: its digit), or the text
                // without its '@' padding and trailing spaces
    Latitude,   // 1/10,000 minute -> decimal degrees; 91 degrees is not available
    Longitude,  // 1/10,000 minute -> decimal degrees; 181 degrees is not available
    Speed,      // 1/10 knot -> knots; 1023 is not available
    Course,     // 1/10 degree -> degrees; 3600 is not available
    Heading,    // whole degrees; 511 is not available
    Turn,       // rate-of-turn indicator; -128 is not available
    Omit,       // not written (spare bits, a repeated gate)
    WholeKnots, // speed in whole knots (message 9); 1023 is not available
};

struct AisField {
    const char* name;    // the record member's name
    std::size_t offset;  // of the member in the record
    std::size_t size;    // of the member in the record
    std::uint16_t firstBit;
    std::uint16_t width;  // bits; for TrailingText the most it can span
    AisStore store;
    AisListWay way;
    std::uint16_t textChars = 0;  // Text: characters kept; TrailingText: the most kept
    AisGate decodeWhen = AisGate::Always;
    AisGate listWhen = AisGate::Always;
    // The field's name in the named output (lower snake case); nullptr: the member name.
    const char* named = nullptr;
    AisNamedWay namedWay = AisNamedWay::Plain;
};

struct AisMessageLayout {
    int messageType;
    const char* recordName;
    // Bits the decoder reads at most; the work copy holds nominalBits + 1 characters
    // and bits that a short payload does not supply read as 0.
    int nominalBits;
    std::size_t recordSize;
    std::span<const AisField> fields;
    int gateField;       // index in `fields` of the gate, -1 for messages without gated fields
    int maxListEntries;  // the longest result list, i.e. the inspector's row count
};

// The message types with a decoder, in ascending order.
inline constexpr int kAisDecodedTypes[] = {1, 2, 3, 4, 5, 9, 14, 18, 19, 21, 24};
inline constexpr int kAisLayoutCount = 11;
static_assert(std::size(kAisDecodedTypes) == kAisLayoutCount);

namespace layout_detail {

#define TW_AIS_MEMBER(Record, member) #member, offsetof(Record, member), sizeof(Record::member)
#define TW_AIS_HEADER(Record)                                                             \
    {TW_AIS_MEMBER(Record, message_type), 0, 6, AisStore::Unsigned, AisListWay::Integer,  \
     0, AisGate::Always, AisGate::Always, "type"},                                        \
        {TW_AIS_MEMBER(Record, repeat_indicator), 6, 2, AisStore::Character,              \
         AisListWay::Character, 0, AisGate::Always, AisGate::Always, "repeat"},           \
    {                                                                                     \
        TW_AIS_MEMBER(Record, mmsi), 8, 30, AisStore::Unsigned, AisListWay::Integer       \
    }
#define TW_AIS_U(Record, member, first, width, ...)                                    \
    { TW_AIS_MEMBER(Record, member), first, width, AisStore::Unsigned, AisListWay::Integer, \
      0, AisGate::Always, AisGate::Always __VA_OPT__(, ) __VA_ARGS__ }
#define TW_AIS_S(Record, member, first, width, ...)                                    \
    { TW_AIS_MEMBER(Record, member), first, width, AisStore::Signed, AisListWay::Integer, \
      0, AisGate::Always, AisGate::Always __VA_OPT__(, ) __VA_ARGS__ }
#define TW_AIS_C(Record, member, first, width, ...)                                    \
    { TW_AIS_MEMBER(Record, member), first, width, AisStore::Character, AisListWay::Character, \
      0, AisGate::Always, AisGate::Always __VA_OPT__(, ) __VA_ARGS__ }
#define TW_AIS_T(Record, member, first, width, ...)                                         \
    { TW_AIS_MEMBER(Record, member), first, width, AisStore::Text, AisListWay::Text, (width) / 6, \
      AisGate::Always, AisGate::Always __VA_OPT__(, ) __VA_ARGS__ }
#define TW_AIS_DEG(Record, member, first, width, ...)                                    \
    { TW_AIS_MEMBER(Record, member), first, width, AisStore::Signed, AisListWay::Degrees, \
      0, AisGate::Always, AisGate::Always __VA_OPT__(, ) __VA_ARGS__ }
#define TW_AIS_TENTHS(Record, member, first, width, ...)                                    \
    { TW_AIS_MEMBER(Record, member), first, width, AisStore::Unsigned, AisListWay::Tenths, \
      0, AisGate::Always, AisGate::Always __VA_OPT__(, ) __VA_ARGS__ }

// Messages 1, 2 and 3 share everything up to the RAIM flag.
#define TW_AIS_POSITION_REPORT_COMMON(R)                                                       \
    TW_AIS_HEADER(R), TW_AIS_U(R, navigation_status, 38, 4, "status"),                         \
        TW_AIS_S(R, rate_of_turn, 42, 8, "turn", AisNamedWay::Turn),                           \
        TW_AIS_TENTHS(R, speed_over_ground, 50, 10, "sog", AisNamedWay::Speed),                \
        TW_AIS_C(R, position_accuracy, 60, 1),                                                 \
        TW_AIS_DEG(R, longitude, 61, 28, "lon", AisNamedWay::Longitude),                       \
        TW_AIS_DEG(R, latitude, 89, 27, "lat", AisNamedWay::Latitude),                         \
        TW_AIS_TENTHS(R, course_over_ground, 116, 12, "cog", AisNamedWay::Course),             \
        TW_AIS_U(R, true_heading, 128, 9, "heading", AisNamedWay::Heading),                    \
        TW_AIS_U(R, time_stamp, 137, 6, "second"), TW_AIS_U(R, regional_bits, 143, 4),         \
        TW_AIS_C(R, spare, 147, 1, nullptr, AisNamedWay::Omit), TW_AIS_C(R, raim_flag, 148, 1, "raim")

#define TW_AIS_SOTDMA(R)                                                              \
    TW_AIS_C(R, sotdma_sync_state, 149, 2), TW_AIS_C(R, sotdma_slot_timeout, 151, 3), \
        TW_AIS_U(R, sotdma_sub_message, 154, 14)

inline constexpr AisField kPositionReport[] = {
    TW_AIS_POSITION_REPORT_COMMON(AisPositionReport),
    TW_AIS_SOTDMA(AisPositionReport),
};

inline constexpr AisField kMessage3[] = {
    TW_AIS_POSITION_REPORT_COMMON(AisMessage3),
    TW_AIS_C(AisMessage3, itdma_sync_state, 149, 2),
    TW_AIS_U(AisMessage3, itdma_slot_increment, 151, 13),
    TW_AIS_C(AisMessage3, itdma_number_of_slots, 164, 3),
    TW_AIS_C(AisMessage3, itdma_keep_flag, 167, 1),
};

inline constexpr AisField kMessage4[] = {
    TW_AIS_HEADER(AisMessage4),
    TW_AIS_U(AisMessage4, utc_year, 38, 14),
    TW_AIS_U(AisMessage4, utc_month, 52, 4),
    TW_AIS_U(AisMessage4, utc_day, 56, 5),
    TW_AIS_U(AisMessage4, utc_hour, 61, 5),
    TW_AIS_U(AisMessage4, utc_minute, 66, 6),
    TW_AIS_U(AisMessage4, utc_second, 72, 6),
    TW_AIS_C(AisMessage4, position_accuracy, 78, 1),
    TW_AIS_DEG(AisMessage4, longitude, 79, 28, "lon", AisNamedWay::Longitude),
    TW_AIS_DEG(AisMessage4, latitude, 107, 27, "lat", AisNamedWay::Latitude),
    TW_AIS_U(AisMessage4, position_fix_type, 134, 4),
    TW_AIS_U(AisMessage4, spare, 138, 10, nullptr, AisNamedWay::Omit),
    TW_AIS_C(AisMessage4, raim_flag, 148, 1, "raim"),
    TW_AIS_SOTDMA(AisMessage4),
};

inline constexpr AisField kMessage5[] = {
    TW_AIS_HEADER(AisMessage5),
    TW_AIS_C(AisMessage5, ais_version, 38, 2),
    TW_AIS_U(AisMessage5, imo_number, 40, 30, "imo"),
    TW_AIS_T(AisMessage5, call_sign, 70, 42, "callsign"),
    TW_AIS_T(AisMessage5, ship_name, 112, 120, "shipname"),
    TW_AIS_U(AisMessage5, ship_type, 232, 8, "shiptype"),
    TW_AIS_U(AisMessage5, dimension_to_bow, 240, 9),
    TW_AIS_U(AisMessage5, dimension_to_stern, 249, 9),
    TW_AIS_U(AisMessage5, dimension_to_port, 258, 6),
    TW_AIS_U(AisMessage5, dimension_to_starboard, 264, 6),
    TW_AIS_U(AisMessage5, position_fix_type, 270, 4),
    TW_AIS_U(AisMessage5, eta, 274, 20),
    TW_AIS_U(AisMessage5, draught, 294, 8),
    TW_AIS_T(AisMessage5, destination, 302, 120),
    TW_AIS_C(AisMessage5, dte_flag, 422, 1),
    TW_AIS_C(AisMessage5, spare, 423, 1, nullptr, AisNamedWay::Omit),
};

inline constexpr AisField kMessage9[] = {
    TW_AIS_HEADER(AisMessage9),
    TW_AIS_U(AisMessage9, altitude, 38, 12),
    TW_AIS_U(AisMessage9, speed_over_ground, 50, 10, "sog", AisNamedWay::WholeKnots),  // whole knots: listed as an integer
    TW_AIS_C(AisMessage9, position_accuracy, 60, 1),
    TW_AIS_DEG(AisMessage9, longitude, 61, 28, "lon", AisNamedWay::Longitude),
    TW_AIS_DEG(AisMessage9, latitude, 89, 27, "lat", AisNamedWay::Latitude),
    TW_AIS_TENTHS(AisMessage9, course_over_ground, 116, 12, "cog", AisNamedWay::Course),
    TW_AIS_U(AisMessage9, time_stamp, 128, 6, "second"),
    TW_AIS_U(AisMessage9, regional_bits, 134, 8),
    TW_AIS_C(AisMessage9, dte_flag, 142, 1),
    TW_AIS_C(AisMessage9, spare, 143, 5, nullptr, AisNamedWay::Omit),
    TW_AIS_C(AisMessage9, raim_flag, 148, 1, "raim"),
    TW_AIS_SOTDMA(AisMessage9),
};

inline constexpr AisField kMessage14[] = {
    TW_AIS_HEADER(AisMessage14),
    TW_AIS_C(AisMessage14, spare, 38, 2, nullptr, AisNamedWay::Omit),
    {TW_AIS_MEMBER(AisMessage14, safety_text), 40, 968, AisStore::TrailingText, AisListWay::Text,
     161, AisGate::Always, AisGate::Always, "text"},
};

inline constexpr AisField kMessage18[] = {
    TW_AIS_HEADER(AisMessage18),
    TW_AIS_U(AisMessage18, regional_bits_1, 38, 8),
    TW_AIS_TENTHS(AisMessage18, speed_over_ground, 46, 10, "sog", AisNamedWay::Speed),
    TW_AIS_C(AisMessage18, position_accuracy, 56, 1),
    TW_AIS_DEG(AisMessage18, longitude, 57, 28, "lon", AisNamedWay::Longitude),
    TW_AIS_DEG(AisMessage18, latitude, 85, 27, "lat", AisNamedWay::Latitude),
    TW_AIS_TENTHS(AisMessage18, course_over_ground, 112, 12, "cog", AisNamedWay::Course),
    TW_AIS_U(AisMessage18, true_heading, 124, 9, "heading", AisNamedWay::Heading),
    TW_AIS_U(AisMessage18, time_stamp, 133, 6, "second"),
    TW_AIS_U(AisMessage18, regional_bits_2, 139, 4),
    TW_AIS_C(AisMessage18, spare, 143, 4, nullptr, AisNamedWay::Omit),
    TW_AIS_C(AisMessage18, raim_flag, 147, 1, "raim"),
    TW_AIS_C(AisMessage18, comm_state_selector, 148, 1),
    {TW_AIS_MEMBER(AisMessage18, sotdma_sync_state), 149, 2, AisStore::Character,
     AisListWay::Character, 0, AisGate::Always, AisGate::GateIsZero},
    {TW_AIS_MEMBER(AisMessage18, sotdma_slot_timeout), 151, 3, AisStore::Character,
     AisListWay::Character, 0, AisGate::Always, AisGate::GateIsZero},
    {TW_AIS_MEMBER(AisMessage18, sotdma_sub_message), 154, 14, AisStore::Unsigned,
     AisListWay::Integer, 0, AisGate::Always, AisGate::GateIsZero},
    {TW_AIS_MEMBER(AisMessage18, itdma_sync_state), 149, 2, AisStore::Character,
     AisListWay::Character, 0, AisGate::GateIsOne, AisGate::GateIsOne},
    {TW_AIS_MEMBER(AisMessage18, itdma_slot_increment), 151, 13, AisStore::Unsigned,
     AisListWay::Integer, 0, AisGate::GateIsOne, AisGate::GateIsOne},
    {TW_AIS_MEMBER(AisMessage18, itdma_number_of_slots), 164, 3, AisStore::Character,
     AisListWay::Character, 0, AisGate::GateIsOne, AisGate::GateIsOne},
    {TW_AIS_MEMBER(AisMessage18, itdma_keep_flag), 167, 1, AisStore::Character,
     AisListWay::Character, 0, AisGate::GateIsOne, AisGate::GateIsOne},
};

inline constexpr AisField kMessage19[] = {
    TW_AIS_HEADER(AisMessage19),
    TW_AIS_U(AisMessage19, regional_bits_1, 38, 8),
    TW_AIS_TENTHS(AisMessage19, speed_over_ground, 46, 10, "sog", AisNamedWay::Speed),
    TW_AIS_C(AisMessage19, position_accuracy, 56, 1),
    TW_AIS_DEG(AisMessage19, longitude, 57, 28, "lon", AisNamedWay::Longitude),
    TW_AIS_DEG(AisMessage19, latitude, 85, 27, "lat", AisNamedWay::Latitude),
    TW_AIS_TENTHS(AisMessage19, course_over_ground, 112, 12, "cog", AisNamedWay::Course),
    TW_AIS_U(AisMessage19, true_heading, 124, 9, "heading", AisNamedWay::Heading),
    TW_AIS_U(AisMessage19, time_stamp, 133, 6, "second"),
    TW_AIS_U(AisMessage19, regional_bits_2, 139, 4),
    TW_AIS_T(AisMessage19, ship_name, 143, 120, "shipname"),
    TW_AIS_U(AisMessage19, ship_type, 263, 8, "shiptype"),
    TW_AIS_U(AisMessage19, dimension_to_bow, 271, 9),
    TW_AIS_U(AisMessage19, dimension_to_stern, 280, 9),
    TW_AIS_U(AisMessage19, dimension_to_port, 289, 6),
    TW_AIS_U(AisMessage19, dimension_to_starboard, 295, 6),
    TW_AIS_U(AisMessage19, position_fix_type, 301, 4),
    TW_AIS_C(AisMessage19, raim_flag, 305, 1, "raim"),
    TW_AIS_C(AisMessage19, dte_flag, 306, 1),
    TW_AIS_C(AisMessage19, spare, 307, 5, nullptr, AisNamedWay::Omit),
};

inline constexpr AisField kMessage21[] = {
    TW_AIS_HEADER(AisMessage21),
    TW_AIS_U(AisMessage21, aid_type, 38, 5),
    TW_AIS_T(AisMessage21, name, 43, 120),
    TW_AIS_C(AisMessage21, position_accuracy, 163, 1),
    TW_AIS_DEG(AisMessage21, longitude, 164, 28, "lon", AisNamedWay::Longitude),
    TW_AIS_DEG(AisMessage21, latitude, 192, 27, "lat", AisNamedWay::Latitude),
    TW_AIS_U(AisMessage21, dimension_to_bow, 219, 9),
    TW_AIS_U(AisMessage21, dimension_to_stern, 228, 9),
    TW_AIS_U(AisMessage21, dimension_to_port, 237, 6),
    TW_AIS_U(AisMessage21, dimension_to_starboard, 243, 6),
    TW_AIS_U(AisMessage21, position_fix_type, 249, 4),
    TW_AIS_U(AisMessage21, time_stamp, 253, 6, "second"),
    TW_AIS_C(AisMessage21, off_position, 259, 1),
    TW_AIS_U(AisMessage21, regional_bits, 260, 8),
    TW_AIS_C(AisMessage21, raim_flag, 268, 1, "raim"),
    TW_AIS_C(AisMessage21, spare, 269, 3, nullptr, AisNamedWay::Omit),
};

#define TW_AIS_PART(R, member, first, width, store, way, chars, gate, ...) \
    { TW_AIS_MEMBER(R, member), first, width, store, way, chars, gate, AisGate::Always __VA_OPT__(, ) __VA_ARGS__ }

inline constexpr AisField kMessage24[] = {
    TW_AIS_HEADER(AisMessage24),
    TW_AIS_C(AisMessage24, part_number, 38, 2),
    TW_AIS_PART(AisMessage24, ship_name, 40, 120, AisStore::Text, AisListWay::Text, 20,
                AisGate::GateIsZero, "shipname"),
    TW_AIS_PART(AisMessage24, ship_type, 40, 8, AisStore::Unsigned, AisListWay::Integer, 0,
                AisGate::GateIsOne, "shiptype"),
    TW_AIS_PART(AisMessage24, vendor_id, 48, 42, AisStore::Text, AisListWay::Text, 7,
                AisGate::GateIsOne),
    TW_AIS_PART(AisMessage24, call_sign, 90, 42, AisStore::Text, AisListWay::Text, 7,
                AisGate::GateIsOne, "callsign"),
    TW_AIS_PART(AisMessage24, dimension_to_bow, 132, 9, AisStore::Unsigned, AisListWay::Integer, 0,
                AisGate::GateIsOne),
    TW_AIS_PART(AisMessage24, dimension_to_stern, 141, 9, AisStore::Unsigned, AisListWay::Integer,
                0, AisGate::GateIsOne),
    TW_AIS_PART(AisMessage24, dimension_to_port, 150, 6, AisStore::Unsigned, AisListWay::Integer, 0,
                AisGate::GateIsOne),
    TW_AIS_PART(AisMessage24, dimension_to_starboard, 156, 6, AisStore::Unsigned,
                AisListWay::Integer, 0, AisGate::GateIsOne),
    TW_AIS_PART(AisMessage24, spare, 162, 6, AisStore::Character, AisListWay::Character, 0,
                AisGate::GateIsOne, nullptr, AisNamedWay::Omit),
    // The part number again, as the record's last field.
    TW_AIS_C(AisMessage24, part_number_copy, 38, 2, nullptr, AisNamedWay::Omit),
};

#undef TW_AIS_PART
#undef TW_AIS_SOTDMA
#undef TW_AIS_POSITION_REPORT_COMMON
#undef TW_AIS_TENTHS
#undef TW_AIS_DEG
#undef TW_AIS_T
#undef TW_AIS_C
#undef TW_AIS_S
#undef TW_AIS_U
#undef TW_AIS_HEADER
#undef TW_AIS_MEMBER

static_assert(std::size(kPositionReport) == 18);
static_assert(std::size(kMessage3) == 19);
static_assert(std::size(kMessage4) == 18);
static_assert(std::size(kMessage5) == 18);
static_assert(std::size(kMessage9) == 17);
static_assert(std::size(kMessage14) == 5);
static_assert(std::size(kMessage18) == 22);
static_assert(std::size(kMessage19) == 22);
static_assert(std::size(kMessage21) == 18);
static_assert(std::size(kMessage24) == 14);

}  // namespace layout_detail

// One layout per decoded type, in the order of kAisDecodedTypes. Message 18 lists
// 15 fields and then 3 (selector '0') or 4 (selector '1'), hence 19 rows at most.
inline constexpr AisMessageLayout kAisLayouts[kAisLayoutCount] = {
    {1, "AisPositionReport", 168, sizeof(AisPositionReport), layout_detail::kPositionReport, -1,
     18},
    {2, "AisPositionReport", 168, sizeof(AisPositionReport), layout_detail::kPositionReport, -1,
     18},
    {3, "AisMessage3", 168, sizeof(AisMessage3), layout_detail::kMessage3, -1, 19},
    {4, "AisMessage4", 168, sizeof(AisMessage4), layout_detail::kMessage4, -1, 18},
    {5, "AisMessage5", 424, sizeof(AisMessage5), layout_detail::kMessage5, -1, 18},
    {9, "AisMessage9", 168, sizeof(AisMessage9), layout_detail::kMessage9, -1, 17},
    {14, "AisMessage14", 1008, sizeof(AisMessage14), layout_detail::kMessage14, -1, 5},
    {18, "AisMessage18", 168, sizeof(AisMessage18), layout_detail::kMessage18, 14, 19},
    {19, "AisMessage19", 312, sizeof(AisMessage19), layout_detail::kMessage19, -1, 22},
    {21, "AisMessage21", 272, sizeof(AisMessage21), layout_detail::kMessage21, -1, 18},
    {24, "AisMessage24", 296, sizeof(AisMessage24), layout_detail::kMessage24, 3, 14},
};

// The layout of a message type, or nullptr for a type without a decoder.
constexpr const AisMessageLayout* aisLayoutFor(int messageType) {
    for (const AisMessageLayout& layout : kAisLayouts) {
        if (layout.messageType == messageType) {
            return &layout;
        }
    }
    return nullptr;
}

// The digit stored in the gate field of a decoded record, or NUL for a message
// without gated fields.
inline char aisGateDigit(const AisMessageLayout& layout, const void* record) {
    if (layout.gateField < 0) {
        return '\0';
    }
    return static_cast<const char*>(record)[layout.fields[layout.gateField].offset];
}

constexpr bool aisGateOpen(AisGate gate, char gateDigit) {
    switch (gate) {
        case AisGate::Always:
            return true;
        case AisGate::GateIsZero:
            return gateDigit == '0';
        case AisGate::GateIsOne:
            return gateDigit == '1';
    }
    return false;
}

// Whether a result list includes `field` of a decoded `record` of this layout.
inline bool aisFieldListed(const AisMessageLayout& layout, const AisField& field,
                           const void* record) {
    return aisGateOpen(field.listWhen, aisGateDigit(layout, record));
}

// The number of result-list entries for a decoded record.
inline int aisListEntryCount(const AisMessageLayout& layout, const void* record) {
    int count = 0;
    for (const AisField& field : layout.fields) {
        count += aisFieldListed(layout, field, record) ? 1 : 0;
    }
    return count;
}

}  // namespace ais
