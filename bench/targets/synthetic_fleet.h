// A crowded sea for the target benchmarks: position reports of `count` vessels
// scattered over about a degree around 54N 8E, under way on assorted courses, in a
// shuffled order so that MMSIs arrive as on a busy network feed.
#pragma once

#include <algorithm>
#include <random>
#include <vector>

#include "ais/records.h"

namespace bench {

inline std::vector<ais::AisPositionReport> syntheticFleet(int count, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> jitter(-300000, 300000);
    std::vector<ais::AisPositionReport> reports(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        ais::AisPositionReport& r = reports[static_cast<std::size_t>(i)];
        r.message_type = 1;
        r.mmsi = 200000000 + static_cast<std::uint32_t>(i) * 7919u % 500000000u;
        r.rate_of_turn = -128;
        r.speed_over_ground = static_cast<std::uint32_t>(50 + i % 150);
        r.latitude = 54 * 600000 + jitter(random);
        r.longitude = 8 * 600000 + jitter(random);
        r.course_over_ground = static_cast<std::uint32_t>(i * 37 % 3600);
        r.true_heading = 511;
    }
    std::shuffle(reports.begin(), reports.end(), random);
    return reports;
}

}  // namespace bench
