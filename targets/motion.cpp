#include "targets/motion.h"

#include <cmath>
#include <numbers>

namespace targets {

namespace {

constexpr double kRadians = std::numbers::pi / 180.0;

struct Vector {
    double east;
    double north;
};

// The target's offset from own ship in nautical miles; longitude differences take the
// short way round the date line.
Vector offset(double fromLat, double fromLon, double toLat, double toLon) {
    double dLon = toLon - fromLon;
    if (dLon > 180.0) {
        dLon -= 360.0;
    } else if (dLon < -180.0) {
        dLon += 360.0;
    }
    const double meanLat = (fromLat + toLat) / 2.0 * kRadians;
    return {dLon * 60.0 * std::cos(meanLat), (toLat - fromLat) * 60.0};
}

Vector velocity(double sog, double cog) {
    return {sog * std::sin(cog * kRadians), sog * std::cos(cog * kRadians)};
}

}  // namespace

RangeBearing rangeAndBearing(double fromLat, double fromLon, double toLat, double toLon) {
    const Vector d = offset(fromLat, fromLon, toLat, toLon);
    double bearing = std::atan2(d.east, d.north) / kRadians;
    if (bearing < 0.0) {
        bearing += 360.0;
    }
    if (bearing >= 360.0) {
        bearing -= 360.0;
    }
    return {std::hypot(d.east, d.north), bearing};
}

Approach closestApproach(const Kinematics& own, const Kinematics& target) {
    const Vector p = offset(own.latitude, own.longitude, target.latitude, target.longitude);
    const Vector vo = velocity(own.sog, own.cog);
    const Vector vt = velocity(target.sog, target.cog);
    const Vector v{vt.east - vo.east, vt.north - vo.north};
    const double speedSquared = v.east * v.east + v.north * v.north;
    // Below a thousandth of a knot of closing the geometry is undefined noise.
    if (speedSquared < 1e-6) {
        return {std::hypot(p.east, p.north), 0.0};
    }
    const double hours = -(p.east * v.east + p.north * v.north) / speedSquared;
    const double east = p.east + v.east * hours;
    const double north = p.north + v.north * hours;
    return {std::hypot(east, north), hours * 60.0};
}

}  // namespace targets
