// The targets: one per MMSI, merged from every report about it, aged on the caller's
// clock, capped in number. Storage is allocated once, at construction; merging a
// report allocates nothing, so a national-network feed costs the same per message as
// a single boat.
#pragma once

#include <cstdint>
#include <vector>

#include "targets/motion.h"
#include "targets/report.h"
#include "targets/target.h"

namespace targets {

struct TableSettings {
    int capacity = 20000;                 // the oldest target leaves when a new one needs room
    std::int64_t staleAfterMs = 180000;   // grey after this long without a position
    std::int64_t removeAfterMs = 600000;  // gone after this long without any message
    double cpaAlarmNm = 0.5;
    double tcpaAlarmMin = 20.0;
};

struct OwnShip {
    bool hasPosition = false;
    bool hasMotion = false;
    Kinematics kinematics;
    std::int64_t positionMs = 0;
    bool fromTransponder = false;  // VDO reports outrank the navigation receiver
    bool fixed = false;            // given by the user; nothing received overrides it
};

// A target seen from own ship; every part is absent when its inputs are.
struct Relation {
    bool hasRange = false;
    RangeBearing rangeBearing{};
    bool hasApproach = false;
    Approach approach{};
    bool dangerous = false;  // CPA and TCPA both under their alarm limits, ahead in time
};

class TargetTable {
public:
    explicit TargetTable(const TableSettings& settings = {});

    // Merges a report received at `nowMs`; returns its target.
    const Target& merge(const Report& report, std::int64_t nowMs);

    // Own ship from the navigation receiver; ignored while the own transponder's
    // position is fresh and when own ship is fixed.
    void ownPositionFromFix(double latitude, double longitude, std::int64_t nowMs);
    void ownMotionFromFix(double sog, double cog, std::int64_t nowMs);
    void fixOwnShip(const OwnShip& own);
    const OwnShip& ownShip() const { return own_; }

    // Removes the targets silent for longer than their removal age; returns how many.
    int expire(std::int64_t nowMs);
    bool isStale(const Target& target, std::int64_t nowMs) const;
    Relation relate(const Target& target) const;

    const Target* find(std::uint32_t mmsi) const;
    int size() const { return count_; }
    const TableSettings& settings() const { return settings_; }
    // Targets pushed out by the cap so far.
    std::uint64_t evicted() const { return evicted_; }
    // Counts every change (merge, removal, own ship), for views that redraw lazily.
    std::uint64_t generation() const { return generation_; }

    // Every target, oldest message first.
    template <typename Visit>
    void forEach(Visit visit) const {
        for (int i = oldest_; i >= 0; i = links_[i].newer) {
            visit(slots_[i]);
        }
    }
    std::vector<const Target*> sortedByMmsi() const;

private:
    struct Link {
        int older = -1;
        int newer = -1;
    };

    int lookup(std::uint32_t mmsi) const;
    int insert(std::uint32_t mmsi, std::int64_t nowMs);
    void remove(int index);
    void unlink(int index);
    void linkNewest(int index);
    std::size_t bucketOf(std::uint32_t mmsi) const;
    void eraseBucket(std::size_t bucket);
    std::int64_t reportingScale(const Target& target) const;

    TableSettings settings_;
    std::vector<Target> slots_;
    std::vector<Link> links_;
    std::vector<int> freeSlots_;
    // Open addressing with linear probing: slot index per bucket, -1 when empty.
    std::vector<int> buckets_;
    std::size_t bucketMask_ = 0;
    int oldest_ = -1;
    int newest_ = -1;
    int count_ = 0;
    std::uint64_t evicted_ = 0;
    std::uint64_t generation_ = 0;
    OwnShip own_;
};

}  // namespace targets
