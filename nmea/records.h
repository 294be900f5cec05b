// The result records of the 49 sentence types. Each record is a plain structure
// filled by its field parser; values stay in NMEA notation (times hhmmss.ss, dates
// ddmmyy, positions ddmm.mmmm), nothing is scaled. There is one global instance per
// type; it starts zero-filled and a parser only overwrites the fields its sentence
// reaches, so fields beyond a short sentence keep the values of an earlier one.
#pragma once

namespace nmeaz {

struct GgaRecord {
    double utc;
    double latitude;
    char ns;
    double longitude;
    char ew;
    int sig;
    int satinuse;
    double HDOP;
    double elv;
    char elv_units;
    double diff;
    char diff_units;
    double dgps_age;
    int dgps_sid;
};

struct RmcRecord {
    double utc;
    char status;
    double latitude;
    char ns;
    double longitude;
    char ew;
    double sog;
    double cog;
    double date;
    double mag_var;
    char ew2;
    char mode;
};

struct GllRecord {
    double latitude;
    char ns;
    double longitude;
    char ew;
    double utc;
    char status;
    char mode;
};

struct DptRecord {
    double water_depth;
    double offset;
    double max_range_scale;
};

struct GsaRecord {
    char fix_mode;
    int fix_type;
    int sat[12];
    double PDOP;
    double HDOP;
    double VDOP;
    // Not a field of the table: the GNSS system ID that NMEA 4.10 appends after VDOP
    // (1 GPS, 2 GLONASS, 3 Galileo, 4 BeiDou, 5 QZSS, 6 NavIC), 0 when absent.
    int system_id;
};

struct VdmRecord {
    int fragment_total;
    int fragment_number;
    int sequence_id;
    char channel;
    // Points into the parser context's sentence text: valid only during the parse
    // call. Never left pointing at an earlier sentence (empty when field 5 is absent).
    const char* payload;
    int fill_bits;
};

struct HdgRecord {
    double mag_sen_head;
    double mag_deviation;
    char mag_deviation_dir;
    double mag_variation;
    char mag_variation_dir;
};

struct MtwRecord {
    double temperature;
    char temperature_unit;
};

struct MwdRecord {
    double wind_dir_true;
    char wind_dir_true_unit;
    double wind_dir_mag;
    char wind_dir_mag_unit;
    double wind_speed_knot;
    char wind_speed_knot_unit;
    double wind_speed_ms;
    char wind_speed_ms_unit;
};

struct RmaRecord {
    char status;
    double latitude;
    char ns;
    double longitude;
    char ew;
    double time_dif_a;
    double time_dif_b;
    double sog;
    double cog;
    double mag_var;
    char mag_var_dir;
    char mode;
};

struct RsaRecord {
    double sre;
    char sre_status;
    double prs;
    char prs_status;
};

struct VhwRecord {
    double heading_true;
    char heading_true_unit;
    double heading_mag;
    char heading_mag_unit;
    double speed_knot;
    char speed_knot_unit;
    double speed_ms;  // km/h, whatever the name says
    char speed_ms_unit;
};

struct VlwRecord {
    double tcwd;
    char tcwd_unit;
    double wdsr;
    char wdsr_unit;
    double tcgd;
    char tcgd_unit;
    double gdsr;
    char gdsr_unit;
};

struct XteRecord {
    char status1;
    char status2;
    double mag_ct;
    char dir_steer;
    char units;
    char mode;
};

struct ZdaRecord {
    double utc;
    int day;
    int mon;
    int year;
    int hour;
    int min;
};

struct ApbRecord {
    char status1;
    char status2;
    double mag_ct;
    char dir_steer;
    char units;
    char arrival_status;
    char perpendicular_status;
    double bearing_origin_dest;
    char bearing_origin_dest_ref;
    int dest_id;
    double bearing_present_dest;
    char bearing_present_dest_ref;
    double heading_steer;
    char heading_steer_ref;
    char mode;
};

struct DbtRecord {
    double depth_feet;
    char depth_feet_unit;
    double depth_metres;
    char depth_metres_unit;
    double depth_fathoms;
    char depth_fathoms_unit;
};

struct GsvRecord {
    int pack_count;
    int pack_index;
    int sat_count;
    int sat_data[20];
    // Not fields of the table, they describe the slots: how many satellite fields
    // this sentence carried (slots from there on hold an earlier sentence's values),
    // a bit per slot that was empty (an untracked satellite has an empty SNR, which
    // reads 0 like a real 0), and the NMEA 4.10 signal ID that follows the last
    // satellite (a hexadecimal digit; 0 when absent).
    int sat_fields;
    unsigned empty_fields;
    int signal_id;
};

struct HdtRecord {
    double heading;
    char heading_unit;
};

struct HscRecord {
    double heading1;
    char heading1_unit;
    double heading2;
    char heading2_unit;
};

struct MwvRecord {
    double wind_angle;
    char wind_angle_ref;
    double wind_speed;
    char wind_speed_unit;
    char status;
};

struct RotRecord {
    double rot;
    char status;
};

struct RpmRecord {
    char source;
    int number;
    double speed;
    double propeller;
    char status;
};

struct VbwRecord {
    double lws;
    double tws;
    char status1;
    double lgs;
    double tgs;
    char status2;
    double stws;
    char status3;
    double stgs;
    char status;
};

struct VdrRecord {
    double dir1;
    char dir1_unit;
    double dir2;
    char dir2_unit;
    double current_speed;
    char current_speed_unit;
};

struct VtgRecord {
    double cog1;
    char cog1_unit;
    double cog2;
    char cog2_unit;
    double sog1;
    char sog1_unit;
    double sog2;
    char sog2_unit;
    char mode;
};

// The types below clear every field their sentence does not reach, so a short (older)
// form of a sentence leaves its newer fields empty instead of stale. Their text fields
// point into the parser context's sentence text like VdmRecord::payload: valid only
// during the parse call and never left naming an earlier sentence.

struct HdmRecord {
    double heading;
    char heading_unit;
};

struct ThsRecord {
    double heading;
    char mode;
};

// VWR (relative) and VWT (true) wind.
struct WindRecord {
    double wind_angle;  // 0 to 180 degrees off the bow
    char wind_side;     // L or R
    double speed_knots;
    char speed_knots_unit;
    double speed_ms;
    char speed_ms_unit;
    double speed_kmh;
    char speed_kmh_unit;
};

struct VpwRecord {
    double speed_knots;
    char speed_knots_unit;
    double speed_ms;
    char speed_ms_unit;
};

struct WcvRecord {
    double velocity;
    char velocity_unit;
    const char* waypoint_id;
    char mode;
};

struct RmbRecord {
    char status;
    double xte;
    char dir_steer;
    const char* origin_id;
    const char* dest_id;
    double dest_latitude;
    char dest_ns;
    double dest_longitude;
    char dest_ew;
    double range;
    double bearing;
    double closing_velocity;
    char arrival_status;
    char mode;
};

struct BodRecord {
    double bearing_true;
    char bearing_true_unit;
    double bearing_mag;
    char bearing_mag_unit;
    const char* dest_id;
    const char* origin_id;
};

// BWC (great circle) and BWR (rhumb line).
struct BearingRecord {
    double utc;
    double latitude;
    char ns;
    double longitude;
    char ew;
    double bearing_true;
    char bearing_true_unit;
    double bearing_mag;
    char bearing_mag_unit;
    double distance;
    char distance_unit;
    const char* waypoint_id;
    char mode;
};

struct AamRecord {
    char arrival_status;
    char perpendicular_status;
    double radius;
    char radius_unit;
    const char* waypoint_id;
};

constexpr int kRteWaypoints = 19;  // fields 5 to 23
struct RteRecord {
    int sentence_count;
    int sentence_number;
    char route_mode;
    const char* route_id;
    const char* waypoint[kRteWaypoints];
};

struct WplRecord {
    double latitude;
    char ns;
    double longitude;
    char ew;
    const char* waypoint_id;
};

// One transducer group of XDR: type, value, unit, name.
struct XdrMeasurement {
    char type;
    double value;
    char unit;
    const char* name;
};
constexpr int kXdrGroups = 5;  // fields 1 to 20
struct XdrRecord {
    XdrMeasurement group[kXdrGroups];
};

struct MdaRecord {
    double pressure_inches;
    char pressure_inches_unit;
    double pressure_bars;
    char pressure_bars_unit;
    double air_temperature;
    char air_temperature_unit;
    double water_temperature;
    char water_temperature_unit;
    double relative_humidity;
    double absolute_humidity;
    double dew_point;
    char dew_point_unit;
    double wind_dir_true;
    char wind_dir_true_unit;
    double wind_dir_mag;
    char wind_dir_mag_unit;
    double wind_speed_knots;
    char wind_speed_knots_unit;
    double wind_speed_ms;
    char wind_speed_ms_unit;
};

struct TxtRecord {
    int sentence_count;
    int sentence_number;
    int text_id;
    const char* text;
};

struct GnsRecord {
    double utc;
    double latitude;
    char ns;
    double longitude;
    char ew;
    const char* mode;  // one letter per constellation
    int satinuse;
    double hdop;
    double altitude;
    double geoid_separation;
    double dgps_age;
    int dgps_sid;
    char nav_status;
};

struct GstRecord {
    double utc;
    double rms;
    double semi_major;
    double semi_minor;
    double orientation;
    double lat_error;
    double lon_error;
    double alt_error;
};

struct GbsRecord {
    double utc;
    double lat_error;
    double lon_error;
    double alt_error;
    int failed_satellite;
    double missed_probability;
    double bias;
    double bias_deviation;
    int system_id;
    char signal_id;  // one hexadecimal digit
};

struct GrsRecord {
    double utc;
    int mode;
    double residual[12];
    int system_id;
    char signal_id;
};

struct DtmRecord {
    const char* datum;
    const char* subdivision;
    double lat_offset;
    char ns;
    double lon_offset;
    char ew;
    double alt_offset;
    const char* reference_datum;
};

// The process-wide records, one per type.
extern GgaRecord ggaRecord;
extern RmcRecord rmcRecord;
extern GllRecord gllRecord;
extern DptRecord dptRecord;
extern GsaRecord gsaRecord;
extern VdmRecord vdmRecord;
extern HdgRecord hdgRecord;
extern MtwRecord mtwRecord;
extern MwdRecord mwdRecord;
extern RmaRecord rmaRecord;
extern RsaRecord rsaRecord;
extern VhwRecord vhwRecord;
extern VlwRecord vlwRecord;
extern XteRecord xteRecord;
extern ZdaRecord zdaRecord;
extern ApbRecord apbRecord;
extern DbtRecord dbtRecord;
extern GsvRecord gsvRecord;
extern HdtRecord hdtRecord;
extern HscRecord hscRecord;
extern MwvRecord mwvRecord;
extern RotRecord rotRecord;
extern RpmRecord rpmRecord;
extern VbwRecord vbwRecord;
extern VdrRecord vdrRecord;
extern VtgRecord vtgRecord;
extern HdmRecord hdmRecord;
extern ThsRecord thsRecord;
extern WindRecord vwrRecord;
extern WindRecord vwtRecord;
extern VpwRecord vpwRecord;
extern WcvRecord wcvRecord;
extern RmbRecord rmbRecord;
extern BodRecord bodRecord;
extern BearingRecord bwcRecord;
extern BearingRecord bwrRecord;
extern AamRecord aamRecord;
extern RteRecord rteRecord;
extern WplRecord wplRecord;
extern XdrRecord xdrRecord;
extern MdaRecord mdaRecord;
extern TxtRecord txtRecord;
extern GnsRecord gnsRecord;
extern GstRecord gstRecord;
extern GbsRecord gbsRecord;
extern GrsRecord grsRecord;
extern DtmRecord dtmRecord;
extern DbtRecord dbsRecord;  // depth below surface: DBT's layout
extern DbtRecord dbkRecord;  // depth below keel: DBT's layout

// Start character and address of the sentence parsed last ("$GPGGA"), with "_MSG"
// and the message number appended when a VDM sentence completed an AIS message
// ("!AIVDM_MSG18"). 12 characters and a terminating NUL.
constexpr int kSentenceNameSize = 13;
extern char currentSentenceName[kSentenceNameSize];

}  // namespace nmeaz
