// Range, bearing and closest approach against hand-worked geometry. A minute of
// latitude is one nautical mile; at the equator so is a minute of longitude.
#include <gtest/gtest.h>

#include "targets/motion.h"

namespace {

using targets::Kinematics;

constexpr double kMinute = 1.0 / 60.0;

struct ApproachCase {
    const char* name;
    Kinematics own;
    Kinematics target;
    double cpaNm;
    double tcpaMin;
};

// Each case: relative position p and relative velocity v (target minus own, east and
// north in NM and knots); TCPA = -(p.v)/|v|^2 hours, CPA = |p + v*TCPA|.
const ApproachCase kApproaches[] = {
    // p (0, 6), v (0, -20): closing at 20 kn over 6 NM = 18 min, straight through.
    {"head-on", {0, 0, 10, 0}, {6 * kMinute, 0, 10, 180}, 0.0, 18.0},
    // p (6, 0), v (-10, -10): p.v = -60, |v|^2 = 200 -> 0.3 h; there p + v t = (3, -3).
    {"crossing from starboard", {0, 0, 10, 0}, {0, 6 * kMinute, 10, 270}, 4.242641, 18.0},
    // p (0.3, -1), v (0, 10): 0.1 h; passes 0.3 NM abeam.
    {"overtaking", {0, 0, 5, 0}, {-1 * kMinute, 0.3 * kMinute, 15, 0}, 0.3, 6.0},
    // p (6, 0), v (20, 0): p.v = 120 -> -0.3 h; they were closest 18 minutes ago.
    {"diverging", {0, 0, 10, 270}, {0, 6 * kMinute, 10, 90}, 0.0, -18.0},
    // p (3, 4), v (-6, 0): p.v = -18, |v|^2 = 36 -> 0.5 h; there p + v t = (0, 4).
    {"stationary own ship", {0, 0, 0, 0}, {4 * kMinute, 3 * kMinute, 6, 270}, 4.0, 30.0},
    // Same course and speed: the distance never changes, closest is now.
    {"parallel same speed", {0, 0, 8, 45}, {0, 2 * kMinute, 8, 45}, 2.0, 0.0},
    // Far from the equator a degree of longitude shrinks with the mean latitude of the
    // two: at 60 N it is 30 NM, so p (60, 120), v (0, -20) -> 6 h; there (60, 0).
    {"59 N to 61 N", {59, 0, 0, 0}, {61, 2, 20, 180}, 60.0, 360.0},
    // Either side of 180 degrees: p (6, 0) the short way round, v (-10, 0) -> 0.6 h.
    {"across the date line", {0, 179.95, 0, 0}, {0, -179.95, 10, 270}, 0.0, 36.0},
    {"across the date line westward", {0, -179.95, 10, 270}, {0, 179.95, 0, 0}, 0.0, 36.0},
};

TEST(ClosestApproach, WorkedExamples) {
    for (const ApproachCase& c : kApproaches) {
        const targets::Approach a = targets::closestApproach(c.own, c.target);
        EXPECT_NEAR(a.cpaNm, c.cpaNm, 1e-3) << c.name;
        EXPECT_NEAR(a.tcpaMin, c.tcpaMin, 1e-2) << c.name;
    }
}

struct RangeCase {
    const char* name;
    double fromLat, fromLon, toLat, toLon;
    double rangeNm, bearingDeg;
};

const RangeCase kRanges[] = {
    {"due north", 50, 5, 50.1, 5, 6.0, 0.0},
    // At 60 degrees a degree of longitude is 30 NM (cos 60 = 0.5); the great circle
    // leaves (0.2 / 2) sin 60 = 0.0866 degrees north of east.
    {"east at 60 N", 60, 10, 60, 10.2, 6.0, 89.9134},
    {"south-west at the equator", 0, 0, -3 * kMinute, -3 * kMinute, 4.242641, 225.0},
    {"across the date line", 0, 179.95, 0, -179.95, 6.0, 90.0},
    {"same point", 10, 10, 10, 10, 0.0, 0.0},
};

TEST(RangeAndBearing, HandComputed) {
    for (const RangeCase& c : kRanges) {
        const targets::RangeBearing rb =
            targets::rangeAndBearing(c.fromLat, c.fromLon, c.toLat, c.toLon);
        EXPECT_NEAR(rb.rangeNm, c.rangeNm, 2e-3) << c.name;
        EXPECT_NEAR(rb.bearingDeg, c.bearingDeg, 0.05) << c.name;
    }
}

}  // namespace
