#include "targets/nmea_fixes.h"

#include <cmath>

#include "nmea/records.h"
#include "nmea/sentence_parsers.h"

namespace targets {

namespace {

// ddmm.mmmm with a hemisphere letter to signed decimal degrees.
double degreesFrom(double ddmm, char hemisphere) {
    const double degrees = std::floor(ddmm / 100.0);
    const double value = degrees + (ddmm - degrees * 100.0) / 60.0;
    return (hemisphere == 'S' || hemisphere == 'W') ? -value : value;
}

// A receiver without a fix sends empty fields, which read as zero with no hemisphere.
bool applyPosition(double lat, char ns, double lon, char ew, TargetTable& table,
                   std::int64_t nowMs) {
    if (ns == '\0' || ew == '\0') {
        return false;
    }
    const double latitude = degreesFrom(lat, ns);
    const double longitude = degreesFrom(lon, ew);
    if (std::fabs(latitude) > 90.0 || std::fabs(longitude) > 180.0) {
        return false;
    }
    table.ownPositionFromFix(latitude, longitude, nowMs);
    return true;
}

}  // namespace

void applyNavigationFix(int code, const void* record, TargetTable& table, std::int64_t nowMs) {
    switch (code) {
        case nmeaz::kCodeGga: {
            const auto& r = *static_cast<const nmeaz::GgaRecord*>(record);
            if (r.sig > 0) {
                applyPosition(r.latitude, r.ns, r.longitude, r.ew, table, nowMs);
            }
            break;
        }
        case nmeaz::kCodeRmc: {
            const auto& r = *static_cast<const nmeaz::RmcRecord*>(record);
            if (r.status == 'A' &&
                applyPosition(r.latitude, r.ns, r.longitude, r.ew, table, nowMs)) {
                table.ownMotionFromFix(r.sog, r.cog, nowMs);
            }
            break;
        }
        case nmeaz::kCodeVtg: {
            const auto& r = *static_cast<const nmeaz::VtgRecord*>(record);
            // Modes N (not valid) mark a receiver without a fix.
            if (r.mode != 'N' && r.cog1_unit == 'T' && r.sog1_unit == 'N') {
                table.ownMotionFromFix(r.sog1, r.cog1, nowMs);
            }
            break;
        }
        default:
            break;
    }
}

}  // namespace targets
