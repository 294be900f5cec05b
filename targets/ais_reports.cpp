#include "targets/ais_reports.h"

#include "ais/records.h"

namespace targets {

namespace {

// Latitude and longitude travel in 1/10,000 minute; 91 and 181 degrees mean "not
// available".
constexpr std::int32_t kLatitudeNotAvailable = 91 * 600000;
constexpr std::int32_t kLongitudeNotAvailable = 181 * 600000;

void setPosition(std::int32_t longitude, std::int32_t latitude, Report& report) {
    if (latitude == kLatitudeNotAvailable || longitude == kLongitudeNotAvailable) {
        return;
    }
    const double lat = latitude / 600000.0;
    const double lon = longitude / 600000.0;
    if (lat < -90.0 || lat > 90.0 || lon < -180.0 || lon > 180.0) {
        report.positionOutOfRange = true;
        return;
    }
    report.latitude.set(lat);
    report.longitude.set(lon);
}

// Speed in 1/10 knot (1023 not available; 1022 means 102.2 knots or more).
void setTenthsSpeed(std::uint32_t sog, Report& report) {
    if (sog < 1023) {
        report.sog.set(sog / 10.0);
    }
}

// Course in 1/10 degree; 3600 is "not available", anything above is not a course.
void setCourse(std::uint32_t cog, Report& report) {
    if (cog < 3600) {
        report.cog.set(cog / 10.0);
    }
}

void setHeading(std::uint32_t heading, Report& report) {
    if (heading < 360) {
        report.heading.set(static_cast<int>(heading));
    }
}

// Six-bit text: '@' ends it, trailing spaces are padding.
void copyText(const char* text, int size, char (&out)[kTextSize]) {
    int length = 0;
    while (length < size && length < kTextSize - 1 && text[length] != '\0' && text[length] != '@') {
        out[length] = text[length];
        ++length;
    }
    while (length > 0 && out[length - 1] == ' ') {
        --length;
    }
    out[length] = '\0';
}

template <int N>
void copyText(const char (&text)[N], char (&out)[kTextSize]) {
    copyText(text, N, out);
}

void setDimensions(std::uint32_t bow, std::uint32_t stern, std::uint32_t port,
                   std::uint32_t starboard, Report& report) {
    // All zero is the "not available" form of the reference-point block.
    if (bow == 0 && stern == 0 && port == 0 && starboard == 0) {
        return;
    }
    report.toBow.set(static_cast<int>(bow));
    report.toStern.set(static_cast<int>(stern));
    report.toPort.set(static_cast<int>(port));
    report.toStarboard.set(static_cast<int>(starboard));
}

void setShipType(std::uint32_t type, Report& report) {
    if (type != 0) {
        report.shipType.set(static_cast<int>(type));
    }
}

// Messages 1, 2 and 3 share every field the table reads.
template <typename Record>
void fromClassAPosition(const Record& r, Report& report) {
    report.targetClass = TargetClass::A;
    setPosition(r.longitude, r.latitude, report);
    setTenthsSpeed(r.speed_over_ground, report);
    setCourse(r.course_over_ground, report);
    setHeading(r.true_heading, report);
    if (r.rate_of_turn != -128) {
        report.turn.set(r.rate_of_turn);
    }
    report.status.set(static_cast<int>(r.navigation_status));
}

void fromMessage4(const ais::AisMessage4& r, Report& report) {
    report.targetClass = TargetClass::BaseStation;
    setPosition(r.longitude, r.latitude, report);
}

void fromMessage5(const ais::AisMessage5& r, Report& report) {
    report.targetClass = TargetClass::A;
    copyText(r.ship_name, report.shipName);
    copyText(r.call_sign, report.callSign);
    copyText(r.destination, report.destination);
    if (r.imo_number != 0) {
        report.imo.set(r.imo_number);
    }
    setShipType(r.ship_type, report);
    setDimensions(r.dimension_to_bow, r.dimension_to_stern, r.dimension_to_port,
                  r.dimension_to_starboard, report);
    if (r.draught != 0) {
        report.draught.set(r.draught / 10.0);
    }
    // Month 0 is the "not available" ETA (sent as all zero or with hour 24, minute 60).
    const std::uint32_t month = (r.eta >> 16) & 0xF;
    if (month >= 1 && month <= 12) {
        report.eta.set(r.eta);
    }
}

void fromMessage9(const ais::AisMessage9& r, Report& report) {
    report.targetClass = TargetClass::Sar;
    setPosition(r.longitude, r.latitude, report);
    if (r.speed_over_ground < 1023) {  // whole knots in this message
        report.sog.set(r.speed_over_ground);
    }
    setCourse(r.course_over_ground, report);
}

template <typename Record>
void fromClassBPosition(const Record& r, Report& report) {
    report.targetClass = TargetClass::B;
    setPosition(r.longitude, r.latitude, report);
    setTenthsSpeed(r.speed_over_ground, report);
    setCourse(r.course_over_ground, report);
    setHeading(r.true_heading, report);
}

void fromMessage19(const ais::AisMessage19& r, Report& report) {
    fromClassBPosition(r, report);
    copyText(r.ship_name, report.shipName);
    setShipType(r.ship_type, report);
    setDimensions(r.dimension_to_bow, r.dimension_to_stern, r.dimension_to_port,
                  r.dimension_to_starboard, report);
}

void fromMessage21(const ais::AisMessage21& r, Report& report) {
    report.targetClass = TargetClass::AtoN;
    setPosition(r.longitude, r.latitude, report);
    copyText(r.name, report.shipName);
    report.aidType.set(static_cast<int>(r.aid_type));
    setDimensions(r.dimension_to_bow, r.dimension_to_stern, r.dimension_to_port,
                  r.dimension_to_starboard, report);
    // The off-position flag means something only while the station's clock is good.
    if (r.time_stamp <= 59) {
        report.offPosition.set(r.off_position == '1');
    }
}

void fromMessage24(const ais::AisMessage24& r, Report& report) {
    report.targetClass = TargetClass::B;
    if (r.part_number == '0') {
        copyText(r.ship_name, report.shipName);
        return;
    }
    if (r.part_number != '1') {  // parts 2 and 3 are not defined: nothing to trust
        return;
    }
    setShipType(r.ship_type, report);
    copyText(r.call_sign, report.callSign);
    setDimensions(r.dimension_to_bow, r.dimension_to_stern, r.dimension_to_port,
                  r.dimension_to_starboard, report);
}

// Long-range broadcast: position in 1/10 minute (91 and 181 degrees not available),
// speed in whole knots (63 not available) and course in whole degrees (511 not
// available). The class is left to what other messages said: both class A and
// class B stations send it.
void fromMessage27(const ais::AisMessage27& r, Report& report) {
    constexpr std::int32_t kScale = 1000;  // 1/10 minute to 1/10,000 minute
    const bool latitudeKnown = r.latitude != 91 * 600;
    const bool longitudeKnown = r.longitude != 181 * 600;
    if (latitudeKnown && longitudeKnown) {
        setPosition(r.longitude * kScale, r.latitude * kScale, report);
    }
    if (r.speed_over_ground < 63) {
        report.sog.set(r.speed_over_ground);
    }
    if (r.course_over_ground < 360) {
        report.cog.set(r.course_over_ground);
    }
    report.status.set(static_cast<int>(r.navigation_status));
}

// A weather and hydrographic report (message 8, DAC 1 FID 31 or 11) comes from a
// station at a place: the station is a target there, and its values are shown with it.
// Its position is in 1/1,000 minute.
bool fromMetReport(const ais::AisMessage8& r, Report& report) {
    if (r.met_hydro != '1' && r.met_hydro != '2') {
        return false;
    }
    constexpr std::int32_t kLatitudeNa = 91 * 60000;
    constexpr std::int32_t kLongitudeNa = 181 * 60000;
    if (r.latitude != kLatitudeNa && r.longitude != kLongitudeNa) {
        setPosition(r.longitude * 10, r.latitude * 10, report);
    }
    return true;
}

}  // namespace

bool reportFromAis(int messageType, const void* record, bool ownShip, Report& report) {
    report = Report{};
    report.messageType = messageType;
    report.ownShip = ownShip;
    switch (messageType) {
        case 1:
        case 2: {
            const auto& r = *static_cast<const ais::AisPositionReport*>(record);
            report.mmsi = r.mmsi;
            fromClassAPosition(r, report);
            break;
        }
        case 3: {
            const auto& r = *static_cast<const ais::AisMessage3*>(record);
            report.mmsi = r.mmsi;
            fromClassAPosition(r, report);
            break;
        }
        case 4: {
            const auto& r = *static_cast<const ais::AisMessage4*>(record);
            report.mmsi = r.mmsi;
            fromMessage4(r, report);
            break;
        }
        case 11: {
            // Laid out as a base station report, but sent by whichever station answers
            // a UTC inquiry, mobiles included: take the position, keep the class.
            const auto& r = *static_cast<const ais::AisMessage4*>(record);
            report.mmsi = r.mmsi;
            setPosition(r.longitude, r.latitude, report);
            break;
        }
        case 5: {
            const auto& r = *static_cast<const ais::AisMessage5*>(record);
            report.mmsi = r.mmsi;
            fromMessage5(r, report);
            break;
        }
        case 9: {
            const auto& r = *static_cast<const ais::AisMessage9*>(record);
            report.mmsi = r.mmsi;
            fromMessage9(r, report);
            break;
        }
        case 18: {
            const auto& r = *static_cast<const ais::AisMessage18*>(record);
            report.mmsi = r.mmsi;
            fromClassBPosition(r, report);
            break;
        }
        case 19: {
            const auto& r = *static_cast<const ais::AisMessage19*>(record);
            report.mmsi = r.mmsi;
            fromMessage19(r, report);
            break;
        }
        case 21: {
            const auto& r = *static_cast<const ais::AisMessage21*>(record);
            report.mmsi = r.mmsi;
            fromMessage21(r, report);
            break;
        }
        case 8: {
            const auto& r = *static_cast<const ais::AisMessage8*>(record);
            report.mmsi = r.mmsi;
            if (!fromMetReport(r, report)) {
                return false;
            }
            break;
        }
        case 27: {
            const auto& r = *static_cast<const ais::AisMessage27*>(record);
            report.mmsi = r.mmsi;
            fromMessage27(r, report);
            break;
        }
        case 24: {
            const auto& r = *static_cast<const ais::AisMessage24*>(record);
            report.mmsi = r.mmsi;
            fromMessage24(r, report);
            break;
        }
        default:
            return false;
    }
    if (ownShip) {
        report.targetClass = TargetClass::OwnShip;
    }
    return true;
}

}  // namespace targets
