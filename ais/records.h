// The records of the decoded AIS messages. Every record holds the raw field values in
// the units of the message: nothing is scaled and no sentinel value (heading 511,
// longitude 181 degrees ...) is treated specially.
//
// Storage kinds, used the same way in every record:
// - unsigned fields: std::uint32_t; signed fields (longitude, latitude in 1/10,000
//   minute, rate of turn): std::int32_t;
// - flags and other small fields: char holding the first decimal digit of the value
//   ('0' to '9'; the leading digit for values of 10 or more), NUL when not decoded;
// - texts: the six-bit text unchanged ('@' fill and trailing spaces kept), followed
//   by a terminator;
// - binary application data: lower-case hexadecimal digits, four bits each (the last
//   digit padded with zero bits), a terminator, and the number of bits beside it.
//
// The records after message 24 also hold payload_bits, the bits the payload carried
// (less its fill bits): a field that lies beyond them was not sent, and readers mark it
// as missing instead of showing the zero it reads as.
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

// Hexadecimal digits kept for the binary data of each message: enough for the bits the
// longest message of its kind can carry after its header.
constexpr int kMessage6DataChars = 230;   // 920 bits after bit 88 of 1,008
constexpr int kMessage8DataChars = 238;   // 952 bits after bit 56 of 1,008
constexpr int kMessage17DataChars = 184;  // 736 bits after bit 80 of 816
constexpr int kMessage25DataChars = 32;   // 128 bits after bit 40 of 168
constexpr int kMessage26DataChars = 251;  // 1,004 bits between bit 40 and the last 20 of 1,064

// Message 6: addressed binary message.
struct AisMessage6 {
    std::uint32_t message_type;
    char repeat_indicator;
    std::uint32_t mmsi;
    std::uint32_t sequence_number;
    std::uint32_t destination_id;
    char retransmit_flag;
    char spare;
    std::uint32_t dac;
    std::uint32_t fid;
    std::uint32_t data_bits;
    char data[kMessage6DataChars + 1];
    std::uint32_t payload_bits;
};

// Messages 7 and 13: binary and safety related acknowledgement, one to four
// destinations; the destinations a short message does not carry are missing.
struct AisAcknowledgement {
    std::uint32_t message_type;
    char repeat_indicator;
    std::uint32_t mmsi;
    char spare;
    std::uint32_t destination_id_1;
    std::uint32_t sequence_number_1;
    std::uint32_t destination_id_2;
    std::uint32_t sequence_number_2;
    std::uint32_t destination_id_3;
    std::uint32_t sequence_number_3;
    std::uint32_t destination_id_4;
    std::uint32_t sequence_number_4;
    std::uint32_t payload_bits;
};

// Message 8: binary broadcast message. The meteorological and hydrographic fields
// are filled when met_hydro is '1' (application DAC 1, FID 31) or '2' (the older
// weather message, DAC 1 FID 11, which leaves position_accuracy and
// horizontal_visibility_greater empty). Positions there are in 1/1,000 minute; every
// other value is the raw code of its field, as the layout's scales describe.
struct AisMessage8 {
    std::uint32_t message_type;
    char repeat_indicator;
    std::uint32_t mmsi;
    char spare;
    std::uint32_t dac;
    std::uint32_t fid;
    std::uint32_t data_bits;
    char data[kMessage8DataChars + 1];
    char met_hydro;  // '1' for DAC 1 FID 31, '2' for DAC 1 FID 11, '0' otherwise
    std::int32_t longitude;
    std::int32_t latitude;
    char position_accuracy;
    std::uint32_t utc_day;
    std::uint32_t utc_hour;
    std::uint32_t utc_minute;
    std::uint32_t average_wind_speed;
    std::uint32_t wind_gust;
    std::uint32_t wind_direction;
    std::uint32_t wind_gust_direction;
    std::int32_t air_temperature;  // 1/10 degree Celsius
    std::uint32_t relative_humidity;
    std::int32_t dew_point;      // 1/10 degree Celsius
    std::uint32_t air_pressure;  // hPa above 799
    std::uint32_t air_pressure_tendency;
    char horizontal_visibility_greater;
    std::uint32_t horizontal_visibility;  // 1/10 nautical mile
    std::uint32_t water_level;            // 1/100 metre above -10 m
    std::uint32_t water_level_trend;
    std::uint32_t surface_current_speed;  // 1/10 knot
    std::uint32_t surface_current_direction;
    std::uint32_t current_speed_2;
    std::uint32_t current_direction_2;
    std::uint32_t current_measuring_level_2;
    std::uint32_t current_speed_3;
    std::uint32_t current_direction_3;
    std::uint32_t current_measuring_level_3;
    std::uint32_t significant_wave_height;  // 1/10 metre
    std::uint32_t wave_period;
    std::uint32_t wave_direction;
    std::uint32_t swell_height;
    std::uint32_t swell_period;
    std::uint32_t swell_direction;
    std::uint32_t sea_state;
    std::int32_t water_temperature;  // 1/10 degree Celsius
    std::uint32_t precipitation_type;
    std::uint32_t salinity;  // 1/10 per mille
    std::uint32_t ice;
    std::uint32_t met_spare;
    std::uint32_t payload_bits;
};

// Message 10: UTC and date inquiry.
struct AisMessage10 {
    std::uint32_t message_type;
    char repeat_indicator;
    std::uint32_t mmsi;
    char spare;
    std::uint32_t destination_id;
    char spare_2;
    std::uint32_t payload_bits;
};

// Message 12: addressed safety related message. At most 156 characters.
constexpr int kAddressedTextSize = 157;
struct AisMessage12 {
    std::uint32_t message_type;
    char repeat_indicator;
    std::uint32_t mmsi;
    std::uint32_t sequence_number;
    std::uint32_t destination_id;
    char retransmit_flag;
    char spare;
    char safety_related_text[kAddressedTextSize];
    std::uint32_t payload_bits;
};

// Message 15: interrogation of one station for two messages, or of two stations.
struct AisMessage15 {
    std::uint32_t message_type;
    char repeat_indicator;
    std::uint32_t mmsi;
    char spare;
    std::uint32_t destination_id_1;
    std::uint32_t message_id_1_1;
    std::uint32_t slot_offset_1_1;
    char spare_2;
    std::uint32_t message_id_1_2;
    std::uint32_t slot_offset_1_2;
    char spare_3;
    std::uint32_t destination_id_2;
    std::uint32_t message_id_2_1;
    std::uint32_t slot_offset_2_1;
    char spare_4;
    std::uint32_t payload_bits;
};

// Message 16: assigned mode command for one or two stations. The spare bits that
// pad the one-station form overlap the second station and are not read.
struct AisMessage16 {
    std::uint32_t message_type;
    char repeat_indicator;
    std::uint32_t mmsi;
    char spare;
    std::uint32_t destination_id_a;
    std::uint32_t offset_a;
    std::uint32_t increment_a;
    std::uint32_t destination_id_b;
    std::uint32_t offset_b;
    std::uint32_t increment_b;
    std::uint32_t payload_bits;
};

// Message 17: GNSS broadcast binary message; the reference station's position in 1/10
// minute, the correction data as hexadecimal.
struct AisMessage17 {
    std::uint32_t message_type;
    char repeat_indicator;
    std::uint32_t mmsi;
    char spare;
    std::int32_t longitude;
    std::int32_t latitude;
    std::uint32_t spare_2;
    std::uint32_t data_bits;
    char data[kMessage17DataChars + 1];
    std::uint32_t payload_bits;
};

// Message 20: data link management, one to four reservations (the padding after
// fewer than four is not read).
struct AisMessage20 {
    std::uint32_t message_type;
    char repeat_indicator;
    std::uint32_t mmsi;
    char spare;
    std::uint32_t offset_number_1;
    std::uint32_t number_of_slots_1;
    std::uint32_t timeout_1;
    std::uint32_t increment_1;
    std::uint32_t offset_number_2;
    std::uint32_t number_of_slots_2;
    std::uint32_t timeout_2;
    std::uint32_t increment_2;
    std::uint32_t offset_number_3;
    std::uint32_t number_of_slots_3;
    std::uint32_t timeout_3;
    std::uint32_t increment_3;
    std::uint32_t offset_number_4;
    std::uint32_t number_of_slots_4;
    std::uint32_t timeout_4;
    std::uint32_t increment_4;
    std::uint32_t payload_bits;
};

// Message 22: channel management. The same bits carry either a region (broadcast,
// addressed '0', corners in 1/10 minute) or two destinations (addressed '1').
struct AisMessage22 {
    std::uint32_t message_type;
    char repeat_indicator;
    std::uint32_t mmsi;
    char spare;
    std::uint32_t channel_a;
    std::uint32_t channel_b;
    std::uint32_t tx_rx_mode;
    char power;
    char addressed;
    std::int32_t longitude_1;
    std::int32_t latitude_1;
    std::int32_t longitude_2;
    std::int32_t latitude_2;
    std::uint32_t destination_id_1;
    std::uint32_t spare_2;
    std::uint32_t destination_id_2;
    std::uint32_t spare_3;
    char channel_a_bandwidth;
    char channel_b_bandwidth;
    std::uint32_t transitional_zone_size;
    std::uint32_t spare_4;
    std::uint32_t payload_bits;
};

// Message 23: group assignment command for the stations in a region (1/10 minute).
struct AisMessage23 {
    std::uint32_t message_type;
    char repeat_indicator;
    std::uint32_t mmsi;
    char spare;
    std::int32_t longitude_1;
    std::int32_t latitude_1;
    std::int32_t longitude_2;
    std::int32_t latitude_2;
    std::uint32_t station_type;
    std::uint32_t ship_type;
    std::uint32_t spare_2;
    std::uint32_t tx_rx_mode;
    std::uint32_t reporting_interval;
    std::uint32_t quiet_time;
    std::uint32_t spare_3;
    std::uint32_t payload_bits;
};

// Messages 25 and 26: single and multiple slot binary messages. The destination is
// sent only when addressed, the application identifier only when structured; the data
// follows what was sent. Message 26 ends with its communication state (the last 20
// bits, whatever the length), which message 25 does not have.
struct AisSlotBinary {
    std::uint32_t message_type;
    char repeat_indicator;
    std::uint32_t mmsi;
    char form;  // addressed and structured as one digit: 2 * addressed + structured
    char addressed;
    char structured;
    std::uint32_t destination_id;
    std::uint32_t dac;
    std::uint32_t fid;
    std::uint32_t data_bits;
    char data[kMessage26DataChars + 1];
    std::uint32_t comm_state_selector;
    std::uint32_t communication_state;
    std::uint32_t payload_bits;
};

// Message 27: long-range position report. Position in 1/10 minute, speed in whole
// knots (63: not available), course in whole degrees (511: not available).
struct AisMessage27 {
    std::uint32_t message_type;
    char repeat_indicator;
    std::uint32_t mmsi;
    char position_accuracy;
    char raim_flag;
    std::uint32_t navigation_status;
    std::int32_t longitude;
    std::int32_t latitude;
    std::uint32_t speed_over_ground;
    std::uint32_t course_over_ground;
    char position_latency;
    char spare;
    std::uint32_t payload_bits;
};

}  // namespace ais
