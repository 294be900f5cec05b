// Range, bearing and closest point of approach between own ship and a target. The
// approach is worked on a flat local chart (one minute of latitude is one nautical
// mile, a minute of longitude cos(mean latitude) of one): within the range where an
// approach matters this is far closer than the positions themselves.
#pragma once

namespace targets {

struct Kinematics {
    double latitude = 0.0;   // decimal degrees
    double longitude = 0.0;  // decimal degrees
    double sog = 0.0;        // knots
    double cog = 0.0;        // degrees true
};

struct RangeBearing {
    double rangeNm;
    double bearingDeg;  // true, 0 <= b < 360
};

// Beyond this range the straight-line approach of a flat chart means nothing.
constexpr double kApproachRangeNm = 100.0;

struct Approach {
    double cpaNm;
    double tcpaMin;  // negative when the closest point is already past
};

// East and north components on the flat local chart.
struct ChartVector {
    double east;
    double north;
};

// Where a position lies from another on the flat chart, in nautical miles; longitude
// differences take the short way round the date line.
ChartVector chartOffsetNm(double fromLat, double fromLon, double toLat, double toLon);
// A ship's velocity in knots from its speed and course over ground.
ChartVector velocityKn(double sog, double cog);

RangeBearing rangeAndBearing(double fromLat, double fromLon, double toLat, double toLon);

// Both ships keep their course and speed. Ships without relative motion keep their
// distance: the closest point is now (TCPA 0, CPA the current range).
Approach closestApproach(const Kinematics& own, const Kinematics& target);

}  // namespace targets
