#include "targets/motion.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace targets {

namespace {

constexpr double kRadians = std::numbers::pi / 180.0;

}  // namespace

ChartVector chartOffsetNm(double fromLat, double fromLon, double toLat, double toLon) {
    double dLon = toLon - fromLon;
    if (dLon > 180.0) {
        dLon -= 360.0;
    } else if (dLon < -180.0) {
        dLon += 360.0;
    }
    const double meanLat = (fromLat + toLat) / 2.0 * kRadians;
    return {dLon * 60.0 * std::cos(meanLat), (toLat - fromLat) * 60.0};
}

ChartVector velocityKn(double sog, double cog) {
    return {sog * std::sin(cog * kRadians), sog * std::cos(cog * kRadians)};
}

// Great circle on a sphere whose minute of arc is one nautical mile: identical to the
// flat chart nearby, and still right for a station across an ocean.
RangeBearing rangeAndBearing(double fromLat, double fromLon, double toLat, double toLon) {
    constexpr double kEarthRadiusNm = 60.0 * 180.0 / std::numbers::pi;
    const double lat1 = fromLat * kRadians;
    const double lat2 = toLat * kRadians;
    const double dLat = lat2 - lat1;
    const double dLon = (toLon - fromLon) * kRadians;
    const double h = std::sin(dLat / 2) * std::sin(dLat / 2) +
                     std::cos(lat1) * std::cos(lat2) * std::sin(dLon / 2) * std::sin(dLon / 2);
    const double range = 2.0 * kEarthRadiusNm * std::asin(std::sqrt(std::min(1.0, h)));
    const double y = std::sin(dLon) * std::cos(lat2);
    const double x =
        std::cos(lat1) * std::sin(lat2) - std::sin(lat1) * std::cos(lat2) * std::cos(dLon);
    double bearing = range == 0.0 ? 0.0 : std::atan2(y, x) / kRadians;
    if (bearing < 0.0) {
        bearing += 360.0;
    }
    if (bearing >= 360.0) {
        bearing -= 360.0;
    }
    return {range, bearing};
}

Approach closestApproach(const Kinematics& own, const Kinematics& target) {
    const ChartVector p =
        chartOffsetNm(own.latitude, own.longitude, target.latitude, target.longitude);
    const ChartVector vo = velocityKn(own.sog, own.cog);
    const ChartVector vt = velocityKn(target.sog, target.cog);
    const ChartVector v{vt.east - vo.east, vt.north - vo.north};
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
