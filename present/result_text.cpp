#include "present/result_text.h"

#include <array>
#include <cstdlib>
#include <initializer_list>
#include <string_view>

#include "nmea/sentence_parsers.h"
#include "present/nmea_fields.h"

namespace present {

namespace {

using namespace nmeaz;

constexpr int kMaxPlaceholders = 17;

struct TextFormat {
    int code;
    std::string_view templ;
    // Record fields in placeholder order: %1 is the first.
    std::array<std::string_view, kMaxPlaceholders> fields;
    int fieldCount;
};

constexpr TextFormat format(int code, std::string_view templ,
                            std::initializer_list<std::string_view> fields) {
    TextFormat f{code, templ, {}, static_cast<int>(fields.size())};
    int i = 0;
    for (std::string_view field : fields) {
        f.fields[i++] = field;
    }
    return f;
}

// The spacing of these texts (single spaces, missing spaces, GSV's trailing space) is
// what receivers of sendParse have always been given; keep it.
constexpr std::array kFormats = {
    format(kCodeGga,
           "\nGGA::\nTime:%1  Latitude:%2%3  Longtitude:%4%5  sig:%6  sati:%7  HDOP:%8  "
           "elv:%9%10  dif:%11%12dpgs_age:%13  dgps_sid:%14",
           {"utc", "latitude", "ns", "longitude", "ew", "sig", "satinuse", "HDOP", "elv",
            "elv_units", "diff", "diff_units", "dgps_age", "dgps_sid"}),
    format(kCodeRmc,
           "\nRMC::\nTime:%1  status:%2  Lat:%3%4  Lon:%5%6  Sog:%7  Cog:%8  Date:%9  "
           "Mag_var:%10%11  Mode:%12",
           {"utc", "status", "latitude", "ns", "longitude", "ew", "sog", "cog", "date", "mag_var",
            "ew2", "mode"}),
    format(kCodeGll, "\nGLL::\n  Time:%1  Latitude:%2%3  Longtitude:%4%5  status:%6  mode:%7",
           {"utc", "latitude", "ns", "longitude", "ew", "status", "mode"}),
    format(kCodeDpt, "\nDPT::\n  Water Depth:%1  Offset:%2  Max range scale:%3",
           {"water_depth", "offset", "max_range_scale"}),
    format(kCodeGsa,
           "\nGSA::\n  fix_mode:%1  fix_type:%2  PDOP:%3  HDOP:%4  VDOP:%5  sat0:%6  sat1:%7  "
           "sat2:%8  sat3:%9  sat4:%10 sat5:%11  sat6:%12  sat7:%13  sat8:%14  sat9:%15 "
           "sat10:%16  sat11:%17",
           {"fix_mode", "fix_type", "PDOP", "HDOP", "VDOP", "sat0", "sat1", "sat2", "sat3", "sat4",
            "sat5", "sat6", "sat7", "sat8", "sat9", "sat10", "sat11"}),
    format(kCodeHdg, "\nHDG\n mag_sen_head:%1  mag_deviation:%2%3  mag_variation:%4%5",
           {"mag_sen_head", "mag_deviation", "mag_deviation_dir", "mag_variation",
            "mag_variation_dir"}),
    format(kCodeMtw, "\nMTW\n  temperature:%1%2", {"temperature", "temperature_unit"}),
    format(kCodeMwd,
           "\nMWD\n  wind_dir_true:%1%2  wind_dir_mag:%3%4  wind_speed_knot:%5%6  "
           "wind_speed_ms:%7%8",
           {"wind_dir_true", "wind_dir_true_unit", "wind_dir_mag", "wind_dir_mag_unit",
            "wind_speed_knot", "wind_speed_knot_unit", "wind_speed_ms", "wind_speed_ms_unit"}),
    format(kCodeRma,
           "\nRMA\n  status:%1  latitude:%2%3  longitude:%4%5  time_dif_a:%6  time_dif_b:%7  "
           "sog:%8  cog:%9  mag_var:%10%11  mode:%12",
           {"status", "latitude", "ns", "longitude", "ew", "time_dif_a", "time_dif_b", "sog", "cog",
            "mag_var", "mag_var_dir", "mode"}),
    format(kCodeRsa, "\nRSA\n  sre:%1%2  prs:%3%4", {"sre", "sre_status", "prs", "prs_status"}),
    format(kCodeVhw, "\nVHW\n  heading_true:%1%2  heading_mag:%3%4  speed_knot:%5%6  speed_ms:%7%8",
           {"heading_true", "heading_true_unit", "heading_mag", "heading_mag_unit", "speed_knot",
            "speed_knot_unit", "speed_ms", "speed_ms_unit"}),
    format(kCodeVlw, "\nVLW\n  tcwd:%1%2  wdsr:%3%4  tcgd:%5%6  gdsr:%7%8",
           {"tcwd", "tcwd_unit", "wdsr", "wdsr_unit", "tcgd", "tcgd_unit", "gdsr", "gdsr_unit"}),
    format(kCodeXte, "\nXTE\n  status1:%1  status2:%2  mag_ct:%3  dir_steer:%4  units:%5  mode:%6",
           {"status1", "status2", "mag_ct", "dir_steer", "units", "mode"}),
    format(kCodeZda, "\nZDA\n  utc: %1  day:%2  mon:%3  year:%4  hour:%5  min:%6",
           {"utc", "day", "mon", "year", "hour", "min"}),
    format(kCodeDbt, "\nDBT\n  water_depth:%1%2  water_depth:%3%4  water_depth:%5%6",
           {"depth_feet", "depth_feet_unit", "depth_metres", "depth_metres_unit", "depth_fathoms",
            "depth_fathoms_unit"}),
    format(kCodeGsv, "\nGSV\n  pack_count:%1  pack_index:%2  sat_count:%3 ",
           {"pack_count", "pack_index", "sat_count"}),
    format(kCodeHdt, "\nHDT\n  heading:%1%2", {"heading", "heading_unit"}),
    format(kCodeHsc, "\nHSC\n  heading1:%1%2  heading2:%3%4",
           {"heading1", "heading1_unit", "heading2", "heading2_unit"}),
    format(kCodeMwv, "\nMWV\n  wind_angle:%1%2  wind_speed:%3%4  status:%5",
           {"wind_angle", "wind_angle_ref", "wind_speed", "wind_speed_unit", "status"}),
    format(kCodeRot, "\nROT\n  rot:%1  status:%2", {"rot", "status"}),
    format(kCodeRpm, "\nRPM\n  source:%1  number:%2  speed:%3  propeller:%4  status:%5",
           {"source", "number", "speed", "propeller", "status"}),
    format(kCodeVbw,
           "\nVBW\n  lws:%1  tws:%2  status1:%3  lgs:%4  tgs:%5  status2:%6stws:%7  status3:%8  "
           "stgs:%9  status:%10",
           {"lws", "tws", "status1", "lgs", "tgs", "status2", "stws", "status3", "stgs", "status"}),
    format(kCodeVdr, "\nVDR\n  dir1:%1%2  dir2:%3%4  current_speed:%5%6",
           {"dir1", "dir1_unit", "dir2", "dir2_unit", "current_speed", "current_speed_unit"}),
    format(kCodeVtg, "\nVTG\n  cog1:%1%2  cog2:%3%4  sog1:%5%6  sog2:%7%8  mode:%9",
           {"cog1", "cog1_unit", "cog2", "cog2_unit", "sog1", "sog1_unit", "sog2", "sog2_unit",
            "mode"}),
};
static_assert(kFormats.size() == 24, "VDM and APB have no result text");

constexpr int placeholderCount(std::string_view templ) {
    int count = 0;
    for (char c : templ) {
        count += c == '%';
    }
    return count;
}

constexpr bool placeholdersMatchFields() {
    for (const TextFormat& f : kFormats) {
        if (placeholderCount(f.templ) != f.fieldCount) {
            return false;
        }
    }
    return true;
}
static_assert(placeholdersMatchFields());

// A template cut at its placeholders: literal k precedes placeholder k, the last
// literal ends the text. Placeholders are numbered 1 to N in ascending order in every
// template (checked when the formats are resolved). Filling the gaps of a template cut
// once gives what replacing one placeholder after the other would: no template has a
// character field directly followed by a digit or by another placeholder, so no value
// can combine with the text after it into a placeholder of its own.
struct SplitTemplate {
    std::array<QString, kMaxPlaceholders + 1> literals;
    std::array<int, kMaxPlaceholders> numbers{};
    int count = 0;
};

// Reads "%N" and "%NN" (two digits read whole); other percent signs stay literal.
SplitTemplate splitTemplate(QStringView templ) {
    SplitTemplate split;
    QString literal;
    const qsizetype n = templ.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = templ[i];
        if (c == u'%' && i + 1 < n && templ[i + 1].isDigit() && split.count < kMaxPlaceholders) {
            int number = templ[i + 1].digitValue();
            qsizetype next = i + 2;
            if (next < n && templ[next].isDigit()) {
                number = number * 10 + templ[next].digitValue();
                ++next;
            }
            split.literals[split.count] = literal;
            split.numbers[split.count] = number;
            ++split.count;
            literal.clear();
            i = next - 1;
            continue;
        }
        literal += c;
    }
    split.literals[split.count] = literal;
    return split;
}

// A template resolved against the record layout once, so building a text appends
// prepared literals and field values without looking anything up.
struct ResolvedFormat {
    SplitTemplate split;
    std::array<std::string, kMaxPlaceholders + 1> latin1Literals;
    std::array<NmeaFieldRef, kMaxPlaceholders> fields{};
    qsizetype reserve = 0;
};

struct ResolvedFormats {
    std::array<const ResolvedFormat*, 100> byCode{};
    std::array<ResolvedFormat, kFormats.size()> storage;

    ResolvedFormats() {
        for (std::size_t i = 0; i < kFormats.size(); ++i) {
            const TextFormat& f = kFormats[i];
            ResolvedFormat& r = storage[i];
            r.split = splitTemplate(QString::fromLatin1(f.templ.data(), f.templ.size()));
            if (r.split.count != f.fieldCount) {
                std::abort();
            }
            for (int k = 0; k < f.fieldCount; ++k) {
                // Values are substituted lowest placeholder first; every template
                // numbers its placeholders 1, 2, 3 ... in reading order.
                if (r.split.numbers[k] != k + 1) {
                    std::abort();
                }
                r.fields[k] = nmeaField(f.code, f.fields[k]);
            }
            r.reserve = static_cast<qsizetype>(f.templ.size()) + 12 * f.fieldCount;
            for (int k = 0; k <= r.split.count; ++k) {
                r.latin1Literals[k] = r.split.literals[k].toLatin1().toStdString();
            }
            byCode[f.code] = &r;
        }
    }
};

const ResolvedFormat* resolvedFormat(int code) {
    static const ResolvedFormats formats;
    if (code < 0 || code >= static_cast<int>(formats.byCode.size())) {
        return nullptr;
    }
    return formats.byCode[code];
}

}  // namespace

bool hasResultText(int code) {
    return resolvedFormat(code) != nullptr;
}

QString resultText(int code, const void* record) {
    const ResolvedFormat* f = resolvedFormat(code);
    if (f == nullptr || record == nullptr) {
        return QString();
    }
    QString out;
    out.reserve(f->reserve);
    for (int k = 0; k < f->split.count; ++k) {
        out += f->split.literals[k];
        appendNmeaField(out, f->fields[k], record);
    }
    out += f->split.literals[f->split.count];
    return out;
}

bool resultTextPieces(int code, ResultTextPieces& pieces) {
    const ResolvedFormat* f = resolvedFormat(code);
    if (f == nullptr) {
        return false;
    }
    pieces.literals = f->latin1Literals.data();
    pieces.fields = f->fields.data();
    pieces.count = f->split.count;
    return true;
}

}  // namespace present
