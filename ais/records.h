// The records of the eleven decoded AIS messages. Every record holds the raw field
// values in the units of the message: nothing is scaled and no sentinel value
// (heading 511, longitude 181 degrees ...) is treated specially.
//
// Storage kinds, used the same way in every record:
// - unsigned fields: std::uint32_t; signed fields (longitude, latitude in 1/10,000
//   minute, rate of turn): std::int32_t;
// - flags and other small fields: char holding the first decimal digit of the value
//   ('0' to '9'; the leading digit for values of 10 or more), NUL when not decoded;
// - texts: the six-bit text unchanged ('@' fill and trailing spaces kept), followed
//   by a terminator.
#pragma once

#include <cstdint>

namespace ais {

// Messages 1 and 2 (communication state SOTDMA).
struct AisPositionReport {
    std::uint32_t message_type;
    char repeat_indicator;
    std::uint32_t mmsi;
    std::uint32_t navigation_status;
    std::int32_t rate_of_turn;
    std::uint32_t speed_over_ground;  // 1/10 knot
    char position_accuracy;
    std::int32_t longitude;
    std::int32_t latitude;
    std::uint32_t course_over_ground;  // 1/10 degree
    std::uint32_t true_heading;
    std::uint32_t time_stamp;
    std::uint32_t regional_bits;
    char spare;
    char raim_flag;
    char sotdma_sync_state;
    char sotdma_slot_timeout;
    std::uint32_t sotdma_sub_message;
};

// Message 3 (communication state ITDMA).
struct AisMessage3 {
    std::uint32_t message_type;
    char repeat_indicator;
    std::uint32_t mmsi;
    std::uint32_t navigation_status;
    std::int32_t rate_of_turn;
    std::uint32_t speed_over_ground;
    char position_accuracy;
    std::int32_t longitude;
    std::int32_t latitude;
    std::uint32_t course_over_ground;
    std::uint32_t true_heading;
    std::uint32_t time_stamp;
    std::uint32_t regional_bits;
    char spare;
    char raim_flag;
    char itdma_sync_state;
    std::uint32_t itdma_slot_increment;
    char itdma_number_of_slots;
    char itdma_keep_flag;
};

// Message 4: base station report.
struct AisMessage4 {
    std::uint32_t message_type;
    char repeat_indicator;
    std::uint32_t mmsi;
    std::uint32_t utc_year;
    std::uint32_t utc_month;
    std::uint32_t utc_day;
    std::uint32_t utc_hour;
    std::uint32_t utc_minute;
    std::uint32_t utc_second;
    char position_accuracy;
    std::int32_t longitude;
    std::int32_t latitude;
    std::uint32_t position_fix_type;
    std::uint32_t spare;
    char raim_flag;
    char sotdma_sync_state;
    char sotdma_slot_timeout;
    std::uint32_t sotdma_sub_message;
};

// Message 5: static and voyage related data.
struct AisMessage5 {
    std::uint32_t message_type;
    char repeat_indicator;
    std::uint32_t mmsi;
    char ais_version;
    std::uint32_t imo_number;
    char call_sign[8];
    char ship_name[21];
    std::uint32_t ship_type;
    std::uint32_t dimension_to_bow;
    std::uint32_t dimension_to_stern;
    std::uint32_t dimension_to_port;
    std::uint32_t dimension_to_starboard;
    std::uint32_t position_fix_type;
    std::uint32_t eta;      // month, day, hour, minute packed in 20 bits, not split
    std::uint32_t draught;  // 1/10 metre
    char destination[21];
    char dte_flag;
    char spare;
};

// Message 9: search and rescue aircraft position report.
struct AisMessage9 {
    std::uint32_t message_type;
    char repeat_indicator;
    std::uint32_t mmsi;
    std::uint32_t altitude;
    std::uint32_t speed_over_ground;  // whole knots in this message
    char position_accuracy;
    std::int32_t longitude;
    std::int32_t latitude;
    std::uint32_t course_over_ground;
    std::uint32_t time_stamp;
    std::uint32_t regional_bits;
    char dte_flag;
    char spare;
    char raim_flag;
    char sotdma_sync_state;
    char sotdma_slot_timeout;
    std::uint32_t sotdma_sub_message;
};

// Message 14: safety related broadcast. The text has one character per complete
// six-bit group after bit 40, at most 161 for the nominal 1,008 bits.
constexpr int kSafetyTextSize = 167;
struct AisMessage14 {
    std::uint32_t message_type;
    char repeat_indicator;
    std::uint32_t mmsi;
    char spare;
    char safety_text[kSafetyTextSize];
};

// Message 18: standard class B position report. Carries both forms of the
// communication state; the ITDMA fields are filled only when the selector is '1'.
struct AisMessage18 {
    std::uint32_t message_type;
    char repeat_indicator;
    std::uint32_t mmsi;
    std::uint32_t regional_bits_1;
    std::uint32_t speed_over_ground;
    char position_accuracy;
    std::int32_t longitude;
    std::int32_t latitude;
    std::uint32_t course_over_ground;
    std::uint32_t true_heading;
    std::uint32_t time_stamp;
    std::uint32_t regional_bits_2;
    char spare;
    char raim_flag;
    char comm_state_selector;
    char sotdma_sync_state;
    char sotdma_slot_timeout;
    std::uint32_t sotdma_sub_message;
    char itdma_sync_state;
    std::uint32_t itdma_slot_increment;
    char itdma_number_of_slots;
    char itdma_keep_flag;
};

// Message 19: extended class B position report.
struct AisMessage19 {
    std::uint32_t message_type;
    char repeat_indicator;
    std::uint32_t mmsi;
    std::uint32_t regional_bits_1;
    std::uint32_t speed_over_ground;
    char position_accuracy;
    std::int32_t longitude;
    std::int32_t latitude;
    std::uint32_t course_over_ground;
    std::uint32_t true_heading;
    std::uint32_t time_stamp;
    std::uint32_t regional_bits_2;
    char ship_name[21];
    std::uint32_t ship_type;
    std::uint32_t dimension_to_bow;
    std::uint32_t dimension_to_stern;
    std::uint32_t dimension_to_port;
    std::uint32_t dimension_to_starboard;
    std::uint32_t position_fix_type;
    char raim_flag;
    char dte_flag;
    char spare;
};

// Message 21: aid-to-navigation report (the name extension is not read).
struct AisMessage21 {
    std::uint32_t message_type;
    char repeat_indicator;
    std::uint32_t mmsi;
    std::uint32_t aid_type;
    char name[21];
    char position_accuracy;
    std::int32_t longitude;
    std::int32_t latitude;
    std::uint32_t dimension_to_bow;
    std::uint32_t dimension_to_stern;
    std::uint32_t dimension_to_port;
    std::uint32_t dimension_to_starboard;
    std::uint32_t position_fix_type;
    std::uint32_t time_stamp;
    char off_position;
    std::uint32_t regional_bits;
    char raim_flag;
    char spare;
};

// Message 24: static data report. Part A ('0') fills the ship name, part B ('1')
// the fields from ship_type to spare; the part number is held twice.
struct AisMessage24 {
    std::uint32_t message_type;
    char repeat_indicator;
    std::uint32_t mmsi;
    char part_number;
    char ship_name[21];
    std::uint32_t ship_type;
    char vendor_id[8];
    char call_sign[8];
    std::uint32_t dimension_to_bow;
    std::uint32_t dimension_to_stern;
    std::uint32_t dimension_to_port;
    std::uint32_t dimension_to_starboard;
    char spare;
    char part_number_copy;
};

}  // namespace ais
