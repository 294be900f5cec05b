// The result records of the 26 sentence types. Each record is a plain structure
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

// Start character and address of the sentence parsed last ("$GPGGA"), with "_MSG"
// and the message number appended when a VDM sentence completed an AIS message
// ("!AIVDM_MSG18"). 12 characters and a terminating NUL.
constexpr int kSentenceNameSize = 13;
extern char currentSentenceName[kSentenceNameSize];

}  // namespace nmeaz
