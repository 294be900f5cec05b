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
// Messages after 24 use more gates: message 8's met_hydro ('1' for the meteorological
// and hydrographic application), message 22's addressed flag, and the form digit of
// messages 25 and 26 (2 * addressed + structured), which moves their data.
//
// Those later messages also record payload_bits, the bits their payload carried. A
// field of theirs is present when its gate was open and the payload reached its last
// bit (aisFieldPresent); readers write a listed field that is not present as missing:
// an empty result-list entry, null in the named output. The eleven messages before
// them have every listed field present, as their fixed lists require.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

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
    Hex,           // char[textChars + 1]: the bits from firstBit to the end of the payload
                   // less its fill bits and the field's tailBits (at most `width`), as
                   // lower-case hexadecimal, four bits a digit, the last padded with zeros
    BitCount,      // std::uint32_t: how many bits the Hex field at the same firstBit holds
    PayloadBits,   // std::uint32_t: the payload's bits less its fill bits, up to the
                   // nominal length
    Matches,       // char: '1' when the field's unsigned value is matchValue, '2' when it
                   // is matchValue2 (when that is not 0), else '0'
    FromEnd,       // std::uint32_t: `width` bits starting firstBit bits before the end of
                   // the payload (less its fill bits)
};

// How a result list writes a field.
enum class AisListWay : std::uint8_t {
    Integer,    // decimal, minus sign when negative
    Character,  // the single character stored (NUL when the field was not decoded)
    Text,       // the stored characters up to the terminator, unchanged
    Degrees,    // value / 10000 / 60 as a double, fixed notation with 5 decimals
    Tenths,     // value / 10 in integer arithmetic, written as an integer

    // Positions in other units, written as Degrees writes the same angle: value * 1,000
    // for 1/10 minute, value * 10 for 1/1,000 minute.
    Degrees10,
    Degrees1000,
};

// When a field is decoded or listed, by the digit in the message's gate field. Past
// Always, every value is a set of digits: bit d stands for the digit d.
enum class AisGate : std::uint8_t {
    Always,
    GateIsZero,  // only when the gate field holds '0'
    GateIsOne,   // only when the gate field holds '1'
    GateIsTwo = 4,
    GateIsNotThree = 7,
    GateIsThree = 8,
    GateIsTwoOrThree = 12,
    // Decoded, never listed: a field that only steers the others (a gate), or, when it
    // has a named way other than Omit, a value that only the named output writes.
    Never = 0x80,
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
    // The ways of the messages after 24; each writes null for its "not available" code.
    Latitude10,     // 1/10 minute -> decimal degrees; 91 degrees (54,600) is not available
    Longitude10,    // 1/10 minute -> decimal degrees; 181 degrees (108,600) is not available
    Latitude1000,   // 1/1,000 minute -> decimal degrees; 91 degrees (5,460,000) is n/a
    Longitude1000,  // 1/1,000 minute -> decimal degrees; 181 degrees (10,860,000) is n/a
    Speed27,        // whole knots as they are; 63 is not available
    Course27,       // whole degrees as they are; 511 is not available
    WholeKnots,     // speed in whole knots (message 9); 1023 is not available
    Scaled,         // (raw + addend) / divisor in the field's unit (AisScale); null outside
                    // the raw range the field defines
    Eta,            // message 5's packed month, day, hour and minute: four named values
                    // (eta_month, eta_day, eta_hour, eta_minute), each null when n/a
};

// How a Scaled field turns its raw code into a value: (raw + addend) / divisor. Raw
// codes outside [least, most] are "not available" or reserved and have no value.
struct AisScale {
    std::int16_t addend = 0;
    std::uint16_t divisor = 1;
    std::int16_t least = 0;
    std::int16_t most = 0;
    const char* unit = nullptr;  // the readable view's unit symbol; nullptr: none
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
    // Hex and BitCount: bits at the end of the payload that belong to later fields.
    std::uint16_t tailBits = 0;
    // Matches: the value that gives '1', and the one that gives '2' (0: none).
    std::uint32_t matchValue = 0;
    std::uint32_t matchValue2 = 0;
    AisScale scale = {};
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
    // Index in `fields` of the PayloadBits field, -1 for the messages up to 24.
    int payloadBitsField = -1;
};

constexpr bool aisGateOpen(AisGate gate, char gateDigit) {
    if (gate == AisGate::Always) {
        return true;
    }
    if (gate == AisGate::Never || gateDigit < '0' || gateDigit > '6') {
        return false;
    }
    return (static_cast<unsigned>(gate) >> (gateDigit - '0')) & 1u;
}

// The message types with a decoder, in ascending order.
inline constexpr int kAisDecodedTypes[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14,
                                           15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27};
inline constexpr int kAisLayoutCount = 27;
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
    TW_AIS_U(AisMessage5, eta, 274, 20, nullptr, AisNamedWay::Eta),
    // 1/10 metre; 0 is not available, 255 means 25.5 m or more.
    TW_AIS_U(AisMessage5, draught, 294, 8, nullptr, AisNamedWay::Scaled, 0, 0, 0,
             {0, 10, 1, 255, "m"}),
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

// The messages after 24. Every field names itself for the named output.
#define TW_AISX_MEMBER(R, m) #m, offsetof(R, m), sizeof(R::m)
#define TW_AISX(R, m, first, width, store, way, chars, decodeWhen, listWhen, named, namedWay) \
    { TW_AISX_MEMBER(R, m), first, width, store, way, chars, decodeWhen, listWhen, named, namedWay }
#define TW_AISX_U(R, m, first, width)                                                        \
    TW_AISX(R, m, first, width, AisStore::Unsigned, AisListWay::Integer, 0, AisGate::Always, \
            AisGate::Always, nullptr, AisNamedWay::Plain)
#define TW_AISX_FLAG(R, m, first, width)                                                        \
    TW_AISX(R, m, first, width, AisStore::Character, AisListWay::Character, 0, AisGate::Always, \
            AisGate::Always, nullptr, AisNamedWay::Plain)
#define TW_AISX_SPARE(R, m, first, width)                                                       \
    TW_AISX(R, m, first, width, AisStore::Character, AisListWay::Character, 0, AisGate::Always, \
            AisGate::Always, nullptr, AisNamedWay::Omit)
#define TW_AISX_SPARE_U(R, m, first, width)                                                  \
    TW_AISX(R, m, first, width, AisStore::Unsigned, AisListWay::Integer, 0, AisGate::Always, \
            AisGate::Always, nullptr, AisNamedWay::Omit)
#define TW_AISX_NAMED(R, m, first, width, named)                                             \
    TW_AISX(R, m, first, width, AisStore::Unsigned, AisListWay::Integer, 0, AisGate::Always, \
            AisGate::Always, named, AisNamedWay::Plain)
#define TW_AISX_HEADER(R)                                                                       \
    TW_AISX(R, message_type, 0, 6, AisStore::Unsigned, AisListWay::Integer, 0, AisGate::Always, \
            AisGate::Always, "type", AisNamedWay::Plain),                                       \
        TW_AISX(R, repeat_indicator, 6, 2, AisStore::Character, AisListWay::Character, 0,       \
                AisGate::Always, AisGate::Always, "repeat", AisNamedWay::Plain),                \
        TW_AISX_NAMED(R, mmsi, 8, 30, "mmsi")
// A position in 1/10 minute: longitude 18 bits, latitude 17.
#define TW_AISX_LON10(R, m, first, named, gate)                                                 \
    TW_AISX(R, m, first, 18, AisStore::Signed, AisListWay::Degrees10, 0, gate, AisGate::Always, \
            named, AisNamedWay::Longitude10)
#define TW_AISX_LAT10(R, m, first, named, gate)                                                 \
    TW_AISX(R, m, first, 17, AisStore::Signed, AisListWay::Degrees10, 0, gate, AisGate::Always, \
            named, AisNamedWay::Latitude10)
// Binary data from `first` on: its bit count, then its hexadecimal digits.
#define TW_AISX_TAILED(R, m, first, width, store, way, chars, gate, named, tail)  \
    {                                                                             \
        TW_AISX_MEMBER(R, m), first, width, store, way, chars, gate, gate, named, \
            AisNamedWay::Plain, tail                                              \
    }
#define TW_AISX_DATA(R, first, width, tail, gate)                                                 \
    TW_AISX_TAILED(R, data_bits, first, width, AisStore::BitCount, AisListWay::Integer, 0, gate,  \
                   "data_bits", tail),                                                            \
        TW_AISX_TAILED(R, data, first, width, AisStore::Hex, AisListWay::Text, ((width) + 3) / 4, \
                       gate, "data", tail)
#define TW_AISX_PAYLOAD_BITS(R)                                                                    \
    TW_AISX(R, payload_bits, 0, 0, AisStore::PayloadBits, AisListWay::Integer, 0, AisGate::Always, \
            AisGate::Never, nullptr, AisNamedWay::Omit)

inline constexpr AisField kMessage6[] = {
    TW_AISX_HEADER(AisMessage6),
    TW_AISX_U(AisMessage6, sequence_number, 38, 2),
    TW_AISX_U(AisMessage6, destination_id, 40, 30),
    TW_AISX_FLAG(AisMessage6, retransmit_flag, 70, 1),
    TW_AISX_SPARE(AisMessage6, spare, 71, 1),
    TW_AISX_NAMED(AisMessage6, dac, 72, 10, "dac"),
    TW_AISX_NAMED(AisMessage6, fid, 82, 6, "fid"),
    TW_AISX_DATA(AisMessage6, 88, 920, 0, AisGate::Always),
    TW_AISX_PAYLOAD_BITS(AisMessage6),
};

inline constexpr AisField kAcknowledgement[] = {
    TW_AISX_HEADER(AisAcknowledgement),
    TW_AISX_SPARE(AisAcknowledgement, spare, 38, 2),
    TW_AISX_U(AisAcknowledgement, destination_id_1, 40, 30),
    TW_AISX_U(AisAcknowledgement, sequence_number_1, 70, 2),
    TW_AISX_U(AisAcknowledgement, destination_id_2, 72, 30),
    TW_AISX_U(AisAcknowledgement, sequence_number_2, 102, 2),
    TW_AISX_U(AisAcknowledgement, destination_id_3, 104, 30),
    TW_AISX_U(AisAcknowledgement, sequence_number_3, 134, 2),
    TW_AISX_U(AisAcknowledgement, destination_id_4, 136, 30),
    TW_AISX_U(AisAcknowledgement, sequence_number_4, 166, 2),
    TW_AISX_PAYLOAD_BITS(AisAcknowledgement),
};

// The meteorological and hydrographic application (DAC 1 FID 31): listed after the
// data, and only when met_hydro says the message carries it ('1'). Every value is
// scaled by its definition: (raw + addend) / divisor, raw codes outside [least, most]
// being "not available" or reserved.
#define TW_AISX_MET(m, first, width, store, way, named, namedWay)                                \
    TW_AISX(AisMessage8, m, first, width, store, way, 0, AisGate::GateIsOne, AisGate::GateIsOne, \
            named, namedWay)
#define TW_AISX_MET_SCALED(m, first, width, store, addend, divisor, least, most, unit)       \
    {                                                                                        \
        TW_AISX_MEMBER(AisMessage8, m), first, width, store, AisListWay::Integer, 0,         \
            AisGate::GateIsOne, AisGate::GateIsOne, nullptr, AisNamedWay::Scaled, 0, 0, 0, { \
            addend, divisor, least, most, unit                                               \
        }                                                                                    \
    }
#define TW_AISX_MET_U(m, first, width, addend, divisor, least, most, unit) \
    TW_AISX_MET_SCALED(m, first, width, AisStore::Unsigned, addend, divisor, least, most, unit)
#define TW_AISX_MET_S(m, first, width, addend, divisor, least, most, unit) \
    TW_AISX_MET_SCALED(m, first, width, AisStore::Signed, addend, divisor, least, most, unit)
// The older weather message (DAC 1 FID 11, met_hydro '2') fills the same members
// from its own places and codes. It only reaches the named output: the result list
// of such a message stays as it was (header, DAC, FID, data).
#define TW_AISX_WX(m, first, width, addend, divisor, least, most, unit)                           \
    {                                                                                             \
        TW_AISX_MEMBER(AisMessage8, m), first, width, AisStore::Unsigned, AisListWay::Integer, 0, \
            AisGate::GateIsTwo, AisGate::Never, nullptr, AisNamedWay::Scaled, 0, 0, 0, {          \
            addend, divisor, least, most, unit                                                    \
        }                                                                                         \
    }

// The day and time, the wind, and the currents, waves and swell: the same fields and
// codes in both forms, from a different first bit. F is the form's field macro.
#define TW_AISX_MET_TIME(F, b)                                                  \
    F(utc_day, b, 5, 0, 1, 1, 31, nullptr),                                     \
        F(utc_hour, (b) + 5, 5, 0, 1, 0, 23, nullptr),                          \
        F(utc_minute, (b) + 10, 6, 0, 1, 0, 59, nullptr)
#define TW_AISX_MET_WIND(F, b)                                                  \
    F(average_wind_speed, b, 7, 0, 1, 0, 126, "kn"),                            \
        F(wind_gust, (b) + 7, 7, 0, 1, 0, 126, "kn"),                           \
        F(wind_direction, (b) + 14, 9, 0, 1, 0, 359, "°"),                      \
        F(wind_gust_direction, (b) + 23, 9, 0, 1, 0, 359, "°")
#define TW_AISX_MET_SEA(F, b)                                                   \
    F(surface_current_speed, b, 8, 0, 10, 0, 250, "kn"),                        \
        F(surface_current_direction, (b) + 8, 9, 0, 1, 0, 359, "°"),            \
        F(current_speed_2, (b) + 17, 8, 0, 10, 0, 250, "kn"),                   \
        F(current_direction_2, (b) + 25, 9, 0, 1, 0, 359, "°"),                 \
        F(current_measuring_level_2, (b) + 34, 5, 0, 1, 0, 30, "m"),            \
        F(current_speed_3, (b) + 39, 8, 0, 10, 0, 250, "kn"),                   \
        F(current_direction_3, (b) + 47, 9, 0, 1, 0, 359, "°"),                 \
        F(current_measuring_level_3, (b) + 56, 5, 0, 1, 0, 30, "m"),            \
        F(significant_wave_height, (b) + 61, 8, 0, 10, 0, 250, "m"),            \
        F(wave_period, (b) + 69, 6, 0, 1, 0, 60, "s"),                          \
        F(wave_direction, (b) + 75, 9, 0, 1, 0, 359, "°"),                      \
        F(swell_height, (b) + 84, 8, 0, 10, 0, 250, "m"),                       \
        F(swell_period, (b) + 92, 6, 0, 1, 0, 60, "s"),                         \
        F(swell_direction, (b) + 98, 9, 0, 1, 0, 359, "°")

inline constexpr AisField kMessage8[] = {
    TW_AISX_HEADER(AisMessage8),
    TW_AISX_SPARE(AisMessage8, spare, 38, 2),
    TW_AISX_NAMED(AisMessage8, dac, 40, 10, "dac"),
    TW_AISX_NAMED(AisMessage8, fid, 50, 6, "fid"),
    TW_AISX_DATA(AisMessage8, 56, 952, 0, AisGate::Always),
    // DAC and FID read as one 16-bit number: 1 * 64 + 31, 1 * 64 + 11.
    {TW_AISX_MEMBER(AisMessage8, met_hydro), 40, 16, AisStore::Matches, AisListWay::Character, 0,
     AisGate::Always, AisGate::Never, nullptr, AisNamedWay::Omit, 0, 1 * 64 + 31, 1 * 64 + 11},
    TW_AISX_MET(longitude, 56, 25, AisStore::Signed, AisListWay::Degrees1000, "lon",
                AisNamedWay::Longitude1000),
    TW_AISX_MET(latitude, 81, 24, AisStore::Signed, AisListWay::Degrees1000, "lat",
                AisNamedWay::Latitude1000),
    TW_AISX_MET(position_accuracy, 105, 1, AisStore::Character, AisListWay::Character, nullptr,
                AisNamedWay::Plain),
    TW_AISX_MET_TIME(TW_AISX_MET_U, 106),
    TW_AISX_MET_WIND(TW_AISX_MET_U, 122),
    TW_AISX_MET_S(air_temperature, 154, 11, 0, 10, -600, 600, "°C"),
    TW_AISX_MET_U(relative_humidity, 165, 7, 0, 1, 0, 100, "%"),
    TW_AISX_MET_S(dew_point, 172, 10, 0, 10, -200, 500, "°C"),
    // 0 is 799 hPa or less, 402 is 1201 hPa or more.
    TW_AISX_MET_U(air_pressure, 182, 9, 799, 1, 0, 402, "hPa"),
    TW_AISX_MET_U(air_pressure_tendency, 191, 2, 0, 1, 0, 2, nullptr),
    TW_AISX_MET(horizontal_visibility_greater, 193, 1, AisStore::Character, AisListWay::Character,
                nullptr, AisNamedWay::Plain),
    TW_AISX_MET_U(horizontal_visibility, 194, 7, 0, 10, 0, 126, "NM"),
    // Above -10 m of the local chart datum, in centimetres.
    TW_AISX_MET_U(water_level, 201, 12, -1000, 100, 0, 4000, "m"),
    TW_AISX_MET_U(water_level_trend, 213, 2, 0, 1, 0, 2, nullptr),
    TW_AISX_MET_SEA(TW_AISX_MET_U, 215),
    TW_AISX_MET_U(sea_state, 322, 4, 0, 1, 0, 12, nullptr),  // Beaufort
    TW_AISX_MET_S(water_temperature, 326, 10, 0, 10, -100, 500, "°C"),
    TW_AISX_MET_U(precipitation_type, 336, 3, 0, 1, 0, 6, nullptr),
    TW_AISX_MET_U(salinity, 339, 9, 0, 10, 0, 500, "‰"),
    TW_AISX_MET_U(ice, 348, 2, 0, 1, 0, 2, nullptr),
    TW_AISX_MET(met_spare, 350, 10, AisStore::Unsigned, AisListWay::Integer, nullptr,
                AisNamedWay::Omit),
    // FID 11: the position in 1/1,000 minute, latitude first; temperatures, the dew
    // point and the water level from fixed offsets, pressure from 800 hPa.
    {TW_AISX_MEMBER(AisMessage8, latitude), 56, 24, AisStore::Signed, AisListWay::Degrees1000, 0,
     AisGate::GateIsTwo, AisGate::Never, "lat", AisNamedWay::Latitude1000},
    {TW_AISX_MEMBER(AisMessage8, longitude), 80, 25, AisStore::Signed, AisListWay::Degrees1000, 0,
     AisGate::GateIsTwo, AisGate::Never, "lon", AisNamedWay::Longitude1000},
    TW_AISX_MET_TIME(TW_AISX_WX, 105),
    TW_AISX_MET_WIND(TW_AISX_WX, 121),
    TW_AISX_WX(air_temperature, 153, 11, -600, 10, 0, 1200, "°C"),
    TW_AISX_WX(relative_humidity, 164, 7, 0, 1, 0, 100, "%"),
    TW_AISX_WX(dew_point, 171, 10, -200, 10, 0, 700, "°C"),
    TW_AISX_WX(air_pressure, 181, 9, 800, 1, 0, 400, "hPa"),
    TW_AISX_WX(air_pressure_tendency, 190, 2, 0, 1, 0, 2, nullptr),
    TW_AISX_WX(horizontal_visibility, 192, 8, 0, 10, 0, 250, "NM"),
    TW_AISX_WX(water_level, 200, 9, -100, 10, 0, 400, "m"),
    TW_AISX_WX(water_level_trend, 209, 2, 0, 1, 0, 2, nullptr),
    TW_AISX_MET_SEA(TW_AISX_WX, 211),
    TW_AISX_WX(sea_state, 318, 4, 0, 1, 0, 12, nullptr),
    TW_AISX_WX(water_temperature, 322, 10, -100, 10, 0, 600, "°C"),
    TW_AISX_WX(precipitation_type, 332, 3, 0, 1, 0, 6, nullptr),
    TW_AISX_WX(salinity, 335, 9, 0, 10, 0, 500, "‰"),
    TW_AISX_WX(ice, 344, 2, 0, 1, 0, 2, nullptr),
    TW_AISX_PAYLOAD_BITS(AisMessage8),
};

inline constexpr AisField kMessage10[] = {
    TW_AISX_HEADER(AisMessage10),
    TW_AISX_SPARE(AisMessage10, spare, 38, 2),
    TW_AISX_U(AisMessage10, destination_id, 40, 30),
    TW_AISX_SPARE(AisMessage10, spare_2, 70, 2),
    TW_AISX_PAYLOAD_BITS(AisMessage10),
};

inline constexpr AisField kMessage12[] = {
    TW_AISX_HEADER(AisMessage12),
    TW_AISX_U(AisMessage12, sequence_number, 38, 2),
    TW_AISX_U(AisMessage12, destination_id, 40, 30),
    TW_AISX_FLAG(AisMessage12, retransmit_flag, 70, 1),
    TW_AISX_SPARE(AisMessage12, spare, 71, 1),
    TW_AISX(AisMessage12, safety_related_text, 72, 936, AisStore::TrailingText, AisListWay::Text,
            156, AisGate::Always, AisGate::Always, nullptr, AisNamedWay::Plain),
    TW_AISX_PAYLOAD_BITS(AisMessage12),
};

inline constexpr AisField kMessage15[] = {
    TW_AISX_HEADER(AisMessage15),
    TW_AISX_SPARE(AisMessage15, spare, 38, 2),
    TW_AISX_U(AisMessage15, destination_id_1, 40, 30),
    TW_AISX_U(AisMessage15, message_id_1_1, 70, 6),
    TW_AISX_U(AisMessage15, slot_offset_1_1, 76, 12),
    TW_AISX_SPARE(AisMessage15, spare_2, 88, 2),
    TW_AISX_U(AisMessage15, message_id_1_2, 90, 6),
    TW_AISX_U(AisMessage15, slot_offset_1_2, 96, 12),
    TW_AISX_SPARE(AisMessage15, spare_3, 108, 2),
    TW_AISX_U(AisMessage15, destination_id_2, 110, 30),
    TW_AISX_U(AisMessage15, message_id_2_1, 140, 6),
    TW_AISX_U(AisMessage15, slot_offset_2_1, 146, 12),
    TW_AISX_SPARE(AisMessage15, spare_4, 158, 2),
    TW_AISX_PAYLOAD_BITS(AisMessage15),
};

inline constexpr AisField kMessage16[] = {
    TW_AISX_HEADER(AisMessage16),
    TW_AISX_SPARE(AisMessage16, spare, 38, 2),
    TW_AISX_U(AisMessage16, destination_id_a, 40, 30),
    TW_AISX_U(AisMessage16, offset_a, 70, 12),
    TW_AISX_U(AisMessage16, increment_a, 82, 10),
    TW_AISX_U(AisMessage16, destination_id_b, 92, 30),
    TW_AISX_U(AisMessage16, offset_b, 122, 12),
    TW_AISX_U(AisMessage16, increment_b, 134, 10),
    TW_AISX_PAYLOAD_BITS(AisMessage16),
};

inline constexpr AisField kMessage17[] = {
    TW_AISX_HEADER(AisMessage17),
    TW_AISX_SPARE(AisMessage17, spare, 38, 2),
    TW_AISX_LON10(AisMessage17, longitude, 40, "lon", AisGate::Always),
    TW_AISX_LAT10(AisMessage17, latitude, 58, "lat", AisGate::Always),
    TW_AISX_SPARE_U(AisMessage17, spare_2, 75, 5),
    TW_AISX_DATA(AisMessage17, 80, 736, 0, AisGate::Always),
    TW_AISX_PAYLOAD_BITS(AisMessage17),
};

#define TW_AISX_RESERVATION(n, first)                                \
    TW_AISX_U(AisMessage20, offset_number_##n, first, 12),           \
        TW_AISX_U(AisMessage20, number_of_slots_##n, first + 12, 4), \
        TW_AISX_U(AisMessage20, timeout_##n, first + 16, 3),         \
        TW_AISX_U(AisMessage20, increment_##n, first + 19, 11)

inline constexpr AisField kMessage20[] = {
    TW_AISX_HEADER(AisMessage20),       TW_AISX_SPARE(AisMessage20, spare, 38, 2),
    TW_AISX_RESERVATION(1, 40),         TW_AISX_RESERVATION(2, 70),
    TW_AISX_RESERVATION(3, 100),        TW_AISX_RESERVATION(4, 130),
    TW_AISX_PAYLOAD_BITS(AisMessage20),
};

// The addressed flag (bit 139) is read before the fields it chooses between.
#define TW_AISX_ADDRESSED(m, first, width, named, namedWay)                            \
    TW_AISX(AisMessage22, m, first, width, AisStore::Unsigned, AisListWay::Integer, 0, \
            AisGate::GateIsOne, AisGate::Always, named, namedWay)

inline constexpr AisField kMessage22[] = {
    TW_AISX_HEADER(AisMessage22),
    TW_AISX_SPARE(AisMessage22, spare, 38, 2),
    TW_AISX_U(AisMessage22, channel_a, 40, 12),
    TW_AISX_U(AisMessage22, channel_b, 52, 12),
    TW_AISX_U(AisMessage22, tx_rx_mode, 64, 4),
    TW_AISX_FLAG(AisMessage22, power, 68, 1),
    TW_AISX_FLAG(AisMessage22, addressed, 139, 1),
    TW_AISX_LON10(AisMessage22, longitude_1, 69, nullptr, AisGate::GateIsZero),
    TW_AISX_LAT10(AisMessage22, latitude_1, 87, nullptr, AisGate::GateIsZero),
    TW_AISX_LON10(AisMessage22, longitude_2, 104, nullptr, AisGate::GateIsZero),
    TW_AISX_LAT10(AisMessage22, latitude_2, 122, nullptr, AisGate::GateIsZero),
    TW_AISX_ADDRESSED(destination_id_1, 69, 30, nullptr, AisNamedWay::Plain),
    TW_AISX_ADDRESSED(spare_2, 99, 5, nullptr, AisNamedWay::Omit),
    TW_AISX_ADDRESSED(destination_id_2, 104, 30, nullptr, AisNamedWay::Plain),
    TW_AISX_ADDRESSED(spare_3, 134, 5, nullptr, AisNamedWay::Omit),
    TW_AISX_FLAG(AisMessage22, channel_a_bandwidth, 140, 1),
    TW_AISX_FLAG(AisMessage22, channel_b_bandwidth, 141, 1),
    TW_AISX_U(AisMessage22, transitional_zone_size, 142, 3),
    TW_AISX_SPARE_U(AisMessage22, spare_4, 145, 23),
    TW_AISX_PAYLOAD_BITS(AisMessage22),
};

inline constexpr AisField kMessage23[] = {
    TW_AISX_HEADER(AisMessage23),
    TW_AISX_SPARE(AisMessage23, spare, 38, 2),
    TW_AISX_LON10(AisMessage23, longitude_1, 40, nullptr, AisGate::Always),
    TW_AISX_LAT10(AisMessage23, latitude_1, 58, nullptr, AisGate::Always),
    TW_AISX_LON10(AisMessage23, longitude_2, 75, nullptr, AisGate::Always),
    TW_AISX_LAT10(AisMessage23, latitude_2, 93, nullptr, AisGate::Always),
    TW_AISX_U(AisMessage23, station_type, 110, 4),
    TW_AISX_NAMED(AisMessage23, ship_type, 114, 8, "shiptype"),
    TW_AISX_SPARE_U(AisMessage23, spare_2, 122, 22),
    TW_AISX_U(AisMessage23, tx_rx_mode, 144, 2),
    TW_AISX_U(AisMessage23, reporting_interval, 146, 4),
    TW_AISX_U(AisMessage23, quiet_time, 150, 4),
    TW_AISX_SPARE_U(AisMessage23, spare_3, 154, 6),
    TW_AISX_PAYLOAD_BITS(AisMessage23),
};

// Messages 25 and 26 by their form digit: the destination (30 bits, no padding) comes
// only when addressed (2, 3), the application identifier only when structured (1, 3).
// Each form lists one DAC, one FID and one data field, at the same places in the list.
#define TW_AISX_FORM(R, m, first, width, decodeWhen, listWhen, named)                             \
    TW_AISX(R, m, first, width, AisStore::Unsigned, AisListWay::Integer, 0, decodeWhen, listWhen, \
            named, AisNamedWay::Plain)
#define TW_AISX_SLOT_BINARY(end, tail)                                                        \
    TW_AISX_HEADER(AisSlotBinary),                                                            \
        TW_AISX(AisSlotBinary, form, 38, 2, AisStore::Character, AisListWay::Character, 0,    \
                AisGate::Always, AisGate::Never, nullptr, AisNamedWay::Omit),                 \
        TW_AISX_FLAG(AisSlotBinary, addressed, 38, 1),                                        \
        TW_AISX_FLAG(AisSlotBinary, structured, 39, 1),                                       \
        TW_AISX_FORM(AisSlotBinary, destination_id, 40, 30, AisGate::GateIsTwoOrThree,        \
                     AisGate::Always, nullptr),                                               \
        TW_AISX_FORM(AisSlotBinary, dac, 40, 10, AisGate::GateIsOne, AisGate::GateIsNotThree, \
                     "dac"),                                                                  \
        TW_AISX_FORM(AisSlotBinary, dac, 70, 10, AisGate::GateIsThree, AisGate::GateIsThree,  \
                     "dac"),                                                                  \
        TW_AISX_FORM(AisSlotBinary, fid, 50, 6, AisGate::GateIsOne, AisGate::GateIsNotThree,  \
                     "fid"),                                                                  \
        TW_AISX_FORM(AisSlotBinary, fid, 80, 6, AisGate::GateIsThree, AisGate::GateIsThree,   \
                     "fid"),                                                                  \
        TW_AISX_DATA(AisSlotBinary, 40, (end)-40, tail, AisGate::GateIsZero),                 \
        TW_AISX_DATA(AisSlotBinary, 56, (end)-56, tail, AisGate::GateIsOne),                  \
        TW_AISX_DATA(AisSlotBinary, 70, (end)-70, tail, AisGate::GateIsTwo),                  \
        TW_AISX_DATA(AisSlotBinary, 86, (end)-86, tail, AisGate::GateIsThree)

inline constexpr AisField kMessage25[] = {
    TW_AISX_SLOT_BINARY(168, 0),
    TW_AISX_PAYLOAD_BITS(AisSlotBinary),
};

inline constexpr AisField kMessage26[] = {
    TW_AISX_SLOT_BINARY(1044, 20),
    TW_AISX(AisSlotBinary, comm_state_selector, 20, 1, AisStore::FromEnd, AisListWay::Integer, 0,
            AisGate::Always, AisGate::Always, nullptr, AisNamedWay::Plain),
    TW_AISX(AisSlotBinary, communication_state, 19, 19, AisStore::FromEnd, AisListWay::Integer, 0,
            AisGate::Always, AisGate::Always, nullptr, AisNamedWay::Plain),
    TW_AISX_PAYLOAD_BITS(AisSlotBinary),
};

inline constexpr AisField kMessage27[] = {
    TW_AISX_HEADER(AisMessage27),
    TW_AISX_FLAG(AisMessage27, position_accuracy, 38, 1),
    TW_AISX_FLAG(AisMessage27, raim_flag, 39, 1),
    TW_AISX_NAMED(AisMessage27, navigation_status, 40, 4, "status"),
    TW_AISX_LON10(AisMessage27, longitude, 44, "lon", AisGate::Always),
    TW_AISX_LAT10(AisMessage27, latitude, 62, "lat", AisGate::Always),
    TW_AISX(AisMessage27, speed_over_ground, 79, 6, AisStore::Unsigned, AisListWay::Integer, 0,
            AisGate::Always, AisGate::Always, "sog", AisNamedWay::Speed27),
    TW_AISX(AisMessage27, course_over_ground, 85, 9, AisStore::Unsigned, AisListWay::Integer, 0,
            AisGate::Always, AisGate::Always, "cog", AisNamedWay::Course27),
    TW_AISX_FLAG(AisMessage27, position_latency, 94, 1),
    TW_AISX_SPARE(AisMessage27, spare, 95, 1),
    TW_AISX_PAYLOAD_BITS(AisMessage27),
};

#undef TW_AISX_SLOT_BINARY
#undef TW_AISX_FORM
#undef TW_AISX_ADDRESSED
#undef TW_AISX_RESERVATION
#undef TW_AISX_WX
#undef TW_AISX_MET_SEA
#undef TW_AISX_MET_WIND
#undef TW_AISX_MET_TIME
#undef TW_AISX_MET_SCALED
#undef TW_AISX_MET_S
#undef TW_AISX_MET_U
#undef TW_AISX_MET
#undef TW_AISX_PAYLOAD_BITS
#undef TW_AISX_DATA
#undef TW_AISX_TAILED
#undef TW_AISX_LAT10
#undef TW_AISX_LON10
#undef TW_AISX_HEADER
#undef TW_AISX_NAMED
#undef TW_AISX_SPARE_U
#undef TW_AISX_SPARE
#undef TW_AISX_FLAG
#undef TW_AISX_U
#undef TW_AISX
#undef TW_AISX_MEMBER

// The index of the field called `name`, -1 when there is none.
constexpr int fieldIndex(std::span<const AisField> fields, std::string_view name) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].name == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// The most fields a record of this table lists, over every digit its gate can hold.
constexpr int longestList(std::span<const AisField> fields) {
    int longest = 0;
    for (char digit : {'\0', '0', '1', '2', '3'}) {
        int count = 0;
        for (const AisField& field : fields) {
            count += aisGateOpen(field.listWhen, digit) ? 1 : 0;
        }
        longest = std::max(longest, count);
    }
    return longest;
}

// The layout of a message after 24, its gate and list length taken from its table.
constexpr AisMessageLayout laterLayout(int type, const char* recordName, int nominalBits,
                                       std::size_t recordSize, std::span<const AisField> fields,
                                       std::string_view gate = {}) {
    return {type,
            recordName,
            nominalBits,
            recordSize,
            fields,
            gate.empty() ? -1 : fieldIndex(fields, gate),
            longestList(fields),
            fieldIndex(fields, "payload_bits")};
}

static_assert(std::size(kMessage6) == 12 && std::size(kAcknowledgement) == 13);
static_assert(std::size(kMessage8) == 49 + 36 && std::size(kMessage12) == 9);
static_assert(std::size(kMessage20) == 21 && std::size(kMessage22) == 22);
static_assert(std::size(kMessage25) == 20 && std::size(kMessage26) == 22);

}  // namespace layout_detail

// One layout per decoded type, in the order of kAisDecodedTypes. Message 18 lists
// 15 fields and then 3 (selector '0') or 4 (selector '1'), hence 19 rows at most.
// Message 11 is laid out, listed and named as message 4.
inline constexpr AisMessageLayout kAisLayouts[kAisLayoutCount] = {
    {1, "AisPositionReport", 168, sizeof(AisPositionReport), layout_detail::kPositionReport, -1,
     18},
    {2, "AisPositionReport", 168, sizeof(AisPositionReport), layout_detail::kPositionReport, -1,
     18},
    {3, "AisMessage3", 168, sizeof(AisMessage3), layout_detail::kMessage3, -1, 19},
    {4, "AisMessage4", 168, sizeof(AisMessage4), layout_detail::kMessage4, -1, 18},
    {5, "AisMessage5", 424, sizeof(AisMessage5), layout_detail::kMessage5, -1, 18},
    layout_detail::laterLayout(6, "AisMessage6", 1008, sizeof(AisMessage6),
                               layout_detail::kMessage6),
    layout_detail::laterLayout(7, "AisAcknowledgement", 168, sizeof(AisAcknowledgement),
                               layout_detail::kAcknowledgement),
    layout_detail::laterLayout(8, "AisMessage8", 1008, sizeof(AisMessage8),
                               layout_detail::kMessage8, "met_hydro"),
    {9, "AisMessage9", 168, sizeof(AisMessage9), layout_detail::kMessage9, -1, 17},
    layout_detail::laterLayout(10, "AisMessage10", 72, sizeof(AisMessage10),
                               layout_detail::kMessage10),
    {11, "AisMessage4", 168, sizeof(AisMessage4), layout_detail::kMessage4, -1, 18},
    layout_detail::laterLayout(12, "AisMessage12", 1008, sizeof(AisMessage12),
                               layout_detail::kMessage12),
    layout_detail::laterLayout(13, "AisAcknowledgement", 168, sizeof(AisAcknowledgement),
                               layout_detail::kAcknowledgement),
    {14, "AisMessage14", 1008, sizeof(AisMessage14), layout_detail::kMessage14, -1, 5},
    layout_detail::laterLayout(15, "AisMessage15", 160, sizeof(AisMessage15),
                               layout_detail::kMessage15),
    layout_detail::laterLayout(16, "AisMessage16", 144, sizeof(AisMessage16),
                               layout_detail::kMessage16),
    layout_detail::laterLayout(17, "AisMessage17", 816, sizeof(AisMessage17),
                               layout_detail::kMessage17),
    {18, "AisMessage18", 168, sizeof(AisMessage18), layout_detail::kMessage18, 14, 19},
    {19, "AisMessage19", 312, sizeof(AisMessage19), layout_detail::kMessage19, -1, 22},
    layout_detail::laterLayout(20, "AisMessage20", 160, sizeof(AisMessage20),
                               layout_detail::kMessage20),
    {21, "AisMessage21", 272, sizeof(AisMessage21), layout_detail::kMessage21, -1, 18},
    layout_detail::laterLayout(22, "AisMessage22", 168, sizeof(AisMessage22),
                               layout_detail::kMessage22, "addressed"),
    layout_detail::laterLayout(23, "AisMessage23", 160, sizeof(AisMessage23),
                               layout_detail::kMessage23),
    {24, "AisMessage24", 296, sizeof(AisMessage24), layout_detail::kMessage24, 3, 14},
    layout_detail::laterLayout(25, "AisSlotBinary", 168, sizeof(AisSlotBinary),
                               layout_detail::kMessage25, "form"),
    layout_detail::laterLayout(26, "AisSlotBinary", 1064, sizeof(AisSlotBinary),
                               layout_detail::kMessage26, "form"),
    layout_detail::laterLayout(27, "AisMessage27", 96, sizeof(AisMessage27),
                               layout_detail::kMessage27),
};

// The layout of a message type, or nullptr for a type without a decoder. Every type
// from 1 to 27 has one, at index type - 1.
constexpr const AisMessageLayout* aisLayoutFor(int messageType) {
    if (messageType < 1 || messageType > kAisLayoutCount) {
        return nullptr;
    }
    return &kAisLayouts[messageType - 1];
}
static_assert(std::ranges::all_of(kAisDecodedTypes, [](int type) {
    return aisLayoutFor(type)->messageType == type;
}));

// The digit stored in the gate field of a decoded record, or NUL for a message
// without gated fields.
inline char aisGateDigit(const AisMessageLayout& layout, const void* record) {
    if (layout.gateField < 0) {
        return '\0';
    }
    return static_cast<const char*>(record)[layout.fields[layout.gateField].offset];
}

// Whether a result list includes `field` of a decoded `record` of this layout.
inline bool aisFieldListed(const AisMessageLayout& layout, const AisField& field,
                           const void* record) {
    return aisGateOpen(field.listWhen, aisGateDigit(layout, record));
}

// Whether a decoded record holds `field`: always for the messages up to 24; for the
// later ones, when the field's gate was open and the payload reached its last bit. A
// field counted from the end of the payload is there when it does not reach back into
// the first 40 bits; data fields are there even when they hold no bits.
inline bool aisFieldPresent(const AisMessageLayout& layout, const AisField& field,
                            const void* record) {
    if (layout.payloadBitsField < 0) {
        return true;
    }
    if (!aisGateOpen(field.decodeWhen, aisGateDigit(layout, record))) {
        return false;
    }
    std::uint32_t payloadBits;
    std::memcpy(&payloadBits,
                static_cast<const char*>(record) + layout.fields[layout.payloadBitsField].offset,
                sizeof payloadBits);
    switch (field.store) {
        case AisStore::Hex:
        case AisStore::BitCount:
        case AisStore::PayloadBits:
        case AisStore::TrailingText:
            return true;
        case AisStore::FromEnd:
            return payloadBits >= 40u + field.firstBit;
        default:
            return payloadBits >= 0u + field.firstBit + field.width;
    }
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
