#include "targets/n2k_reports.h"

#include <cmath>
#include <string_view>

namespace targets {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegreesPerRadian = 180.0 / kPi;
constexpr double kKnotsPerMetrePerSecond = 3600.0 / 1852.0;

// Reads the values of one decoded PGN by field Id (outside the repeating sets).
class Values {
public:
    Values(const n2k::PgnDatabase& database, const n2k::DecodedPgn& decoded)
        : db_(database), decoded_(decoded) {}

    const n2k::FieldValue* find(std::string_view id) const {
        for (int i = 0; i < decoded_.count; ++i) {
            const n2k::FieldValue& v = decoded_.values[i];
            if (v.set == 0 && v.field != nullptr && v.kind != n2k::ValueKind::Missing &&
                db_.text(v.field->id) == id) {
                return &v;
            }
        }
        return nullptr;
    }
    bool number(std::string_view id, double& out) const {
        const n2k::FieldValue* v = find(id);
        if (v == nullptr) {
            return false;
        }
        if (v->kind == n2k::ValueKind::Number) {
            out = v->number;
        } else if (v->kind == n2k::ValueKind::Unsigned || v->kind == n2k::ValueKind::Name) {
            out = static_cast<double>(v->raw);
        } else {
            return false;
        }
        return std::isfinite(out);
    }
    // A whole number: an MMSI, a lookup key, a count.
    bool whole(std::string_view id, std::uint64_t& out) const {
        const n2k::FieldValue* v = find(id);
        if (v == nullptr) {
            return false;
        }
        if (v->kind == n2k::ValueKind::Unsigned || v->kind == n2k::ValueKind::Name) {
            out = v->raw;
            return true;
        }
        if (v->kind == n2k::ValueKind::Number && v->number >= 0 && v->number < 4294967296.0) {
            out = static_cast<std::uint64_t>(v->number);
            return true;
        }
        return false;
    }
    // AIS text: padding '@' and spaces dropped from the end.
    void text(std::string_view id, char (&out)[kTextSize]) const {
        const n2k::FieldValue* v = find(id);
        if (v == nullptr || v->kind != n2k::ValueKind::Text) {
            return;
        }
        std::string_view t = v->text;
        while (!t.empty() && (t.back() == '@' || t.back() == ' ' || t.back() == '\0')) {
            t.remove_suffix(1);
        }
        std::size_t n = 0;
        for (const char c : t) {
            if (n + 1 >= kTextSize) {
                break;
            }
            out[n++] = c == '\0' ? ' ' : c;
        }
        out[n] = '\0';
    }

private:
    const n2k::PgnDatabase& db_;
    const n2k::DecodedPgn& decoded_;
};

void setPosition(const Values& v, Report& report) {
    double latitude = 0;
    double longitude = 0;
    if (!v.number("latitude", latitude) || !v.number("longitude", longitude)) {
        return;
    }
    if (std::fabs(latitude) > 90.0 || std::fabs(longitude) > 180.0) {
        report.positionOutOfRange = true;
        return;
    }
    report.latitude.set(latitude);
    report.longitude.set(longitude);
}

void setMotion(const Values& v, Report& report) {
    double sog = 0;
    double cog = 0;
    if (v.number("sog", sog)) {
        report.sog.set(sog * kKnotsPerMetrePerSecond);
    }
    if (v.number("cog", cog)) {
        report.cog.set(std::fmod(cog * kDegreesPerRadian, 360.0));
    }
}

void setHeading(const Values& v, std::string_view id, Report& report) {
    double heading = 0;
    if (v.number(id, heading)) {
        report.heading.set(static_cast<int>(std::lround(heading * kDegreesPerRadian)) % 360);
    }
}

// Length and beam with the reference point's distances from bow and starboard give the
// four AIS dimensions.
void setDimensions(const Values& v, std::string_view lengthId, std::string_view beamId,
                   std::string_view starboardId, std::string_view bowId, Report& report) {
    double length = 0;
    double beam = 0;
    double starboard = 0;
    double bow = 0;
    if (!v.number(lengthId, length) || !v.number(beamId, beam) ||
        !v.number(starboardId, starboard) || !v.number(bowId, bow)) {
        return;
    }
    if (length <= 0 || beam <= 0 || bow > length || starboard > beam) {
        return;
    }
    report.toBow.set(static_cast<int>(std::lround(bow)));
    report.toStern.set(static_cast<int>(std::lround(length - bow)));
    report.toStarboard.set(static_cast<int>(std::lround(starboard)));
    report.toPort.set(static_cast<int>(std::lround(beam - starboard)));
}

// Position, course, speed and heading: what every position report carries.
void setKinematics(const Values& v, std::string_view headingId, Report& report) {
    setPosition(v, report);
    setMotion(v, report);
    setHeading(v, headingId, report);
}

void setShipType(const Values& v, Report& report) {
    std::uint64_t type = 0;
    if (v.whole("typeOfShip", type) && type != 0 && type < 100) {
        report.shipType.set(static_cast<int>(type));
    }
}

}  // namespace

bool isAisPgn(std::uint32_t pgn) {
    switch (pgn) {
        case 129038:
        case 129039:
        case 129040:
        case 129041:
        case 129793:
        case 129794:
        case 129798:
        case 129809:
        case 129810:
            return true;
        default:
            return false;
    }
}

bool reportFromPgn(const n2k::PgnDatabase& database, const n2k::Message& message,
                   const n2k::DecodedPgn& decoded, Report& report) {
    if (!isAisPgn(message.pgn) || decoded.definition == nullptr) {
        return false;
    }
    const Values v(database, decoded);
    std::uint64_t mmsi = 0;
    if (!v.whole("userId", mmsi) || mmsi == 0 || mmsi > 999999999) {
        return false;
    }
    report = Report{};
    report.mmsi = static_cast<std::uint32_t>(mmsi);
    std::uint64_t messageId = 0;
    if (v.whole("messageId", messageId) && messageId >= 1 && messageId <= 27) {
        report.messageType = static_cast<int>(messageId);
    }
    switch (message.pgn) {
        case 129038: {
            report.targetClass = TargetClass::A;
            setKinematics(v, "heading", report);
            std::uint64_t status = 0;
            if (v.whole("navStatus", status) && status < 16) {
                report.status.set(static_cast<int>(status));
            }
            break;
        }
        case 129039:
            report.targetClass = TargetClass::B;
            setKinematics(v, "heading", report);
            break;
        case 129040:
            report.targetClass = TargetClass::B;
            setKinematics(v, "trueHeading", report);
            v.text("name", report.shipName);
            setShipType(v, report);
            setDimensions(v, "length", "beam", "positionReferenceFromStarboard",
                          "positionReferenceFromBow", report);
            break;
        case 129041: {
            report.targetClass = TargetClass::AtoN;
            setPosition(v, report);
            v.text("atonName", report.shipName);
            std::uint64_t type = 0;
            if (v.whole("atonType", type)) {
                report.aidType.set(static_cast<int>(type));
            }
            std::uint64_t off = 0;
            if (v.whole("offPositionIndicator", off) && off <= 1) {
                report.offPosition.set(off == 1);
            }
            break;
        }
        case 129793:
            report.targetClass = TargetClass::BaseStation;
            setPosition(v, report);
            break;
        case 129794: {
            report.targetClass = TargetClass::A;
            v.text("name", report.shipName);
            v.text("callsign", report.callSign);
            v.text("destination", report.destination);
            std::uint64_t imo = 0;
            if (v.whole("imoNumber", imo) && imo != 0 && imo <= 0xFFFFFFFFu) {
                report.imo.set(static_cast<std::uint32_t>(imo));
            }
            setShipType(v, report);
            setDimensions(v, "length", "beam", "positionReferenceFromStarboard",
                          "positionReferenceFromBow", report);
            double draught = 0;
            if (v.number("draft", draught) && draught > 0) {
                report.draught.set(draught);
            }
            break;
        }
        case 129798:
            report.targetClass = TargetClass::Sar;
            setPosition(v, report);
            setMotion(v, report);
            break;
        case 129809:
            report.targetClass = TargetClass::B;
            v.text("name", report.shipName);
            break;
        case 129810:
            report.targetClass = TargetClass::B;
            v.text("callsign", report.callSign);
            setShipType(v, report);
            setDimensions(v, "length", "beam", "positionReferenceFromStarboard",
                          "positionReferenceFromBow", report);
            break;
        default:
            return false;
    }
    if (report.messageType == 0) {
        report.messageType = message.pgn == 129809 || message.pgn == 129810 ? 24 : 0;
    }
    return true;
}

bool applyPgnFix(const n2k::PgnDatabase& database, const n2k::DecodedPgn& decoded,
                 TargetTable& table, std::int64_t nowMs) {
    if (decoded.definition == nullptr) {
        return false;
    }
    const Values v(database, decoded);
    switch (decoded.definition->pgn) {
        case 129025:
        case 129029: {
            double latitude = 0;
            double longitude = 0;
            if (!v.number("latitude", latitude) || !v.number("longitude", longitude) ||
                std::fabs(latitude) > 90.0 || std::fabs(longitude) > 180.0) {
                return false;
            }
            table.ownPositionFromFix(latitude, longitude, nowMs);
            return true;
        }
        case 129026: {
            double sog = 0;
            double cog = 0;
            std::uint64_t reference = 0;
            // Reference 0 is true north; a magnetic course is not what the table keeps.
            if (!v.number("sog", sog) || !v.number("cog", cog) ||
                (v.whole("cogReference", reference) && reference != 0)) {
                return false;
            }
            table.ownMotionFromFix(sog * kKnotsPerMetrePerSecond,
                                   std::fmod(cog * kDegreesPerRadian, 360.0), nowMs);
            return true;
        }
        default:
            return false;
    }
}

}  // namespace targets
