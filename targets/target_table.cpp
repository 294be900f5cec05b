#include "targets/target_table.h"

#include <algorithm>
#include <cstring>

namespace targets {

namespace {

// Three changes of identity are more than a ship's data entry plausibly explains.
constexpr int kChangesBeforeFlag = 3;

bool validMmsi(std::uint32_t mmsi) {
    return mmsi != 0 && mmsi <= 999999999u;
}

void setNumber(Target& target, Field field, double value, int source) {
    Slot& slot = target.slot(field);
    slot.number = value;
    slot.known = true;
    slot.source = static_cast<std::uint8_t>(source);
}

template <typename T>
void mergeNumber(Target& target, Field field, const Maybe<T>& value, int source) {
    if (value.known) {
        setNumber(target, field, static_cast<double>(value.value), source);
    }
}

// Identity fields: a different value replacing a known one counts as a change.
template <typename T>
void mergeIdentity(Target& target, Field field, const Maybe<T>& value, int source) {
    if (!value.known) {
        return;
    }
    const Slot& slot = target.slot(field);
    if (slot.known && slot.number != static_cast<double>(value.value)) {
        ++target.staticChanges;
    }
    setNumber(target, field, static_cast<double>(value.value), source);
}

void mergeText(Target& target, Field field, const char* text, char (&storage)[kTextSize],
               int source, bool identity) {
    if (text[0] == '\0') {
        return;
    }
    if (identity && target.has(field) && std::strcmp(storage, text) != 0) {
        ++target.staticChanges;
    }
    std::memcpy(storage, text, kTextSize);
    storage[kTextSize - 1] = '\0';
    setNumber(target, field, 0.0, source);
}

// A station's class follows its messages, except that a class A or B ship stays one
// when it sends something class-neutral; own ship stays own ship.
TargetClass mergedClass(TargetClass current, TargetClass reported) {
    if (current == TargetClass::OwnShip || reported == TargetClass::Unknown) {
        return current;
    }
    return reported;
}

}  // namespace

// The storage is reserved here and filled as targets arrive: a short log does not pay
// for touching the memory of 20,000 targets, and no merge ever reallocates.
TargetTable::TargetTable(const TableSettings& settings) : settings_(settings) {
    settings_.capacity = std::max(settings_.capacity, 1);
    slots_.reserve(settings_.capacity);
    links_.reserve(settings_.capacity);
    freeSlots_.reserve(settings_.capacity);
    std::size_t buckets = 16;
    while (buckets < static_cast<std::size_t>(settings_.capacity) * 2) {
        buckets *= 2;
    }
    buckets_.assign(buckets, -1);
    bucketMask_ = buckets - 1;
}

std::size_t TargetTable::bucketOf(std::uint32_t mmsi) const {
    // Fibonacci hashing: MMSIs of one country share their leading digits.
    return static_cast<std::size_t>((mmsi * 0x9E3779B97F4A7C15ull) >> 32) & bucketMask_;
}

int TargetTable::lookup(std::uint32_t mmsi) const {
    for (std::size_t b = bucketOf(mmsi);; b = (b + 1) & bucketMask_) {
        const int index = buckets_[b];
        if (index < 0) {
            return -1;
        }
        if (slots_[index].mmsi == mmsi) {
            return index;
        }
    }
}

const Target* TargetTable::find(std::uint32_t mmsi) const {
    const int index = lookup(mmsi);
    return index < 0 ? nullptr : &slots_[index];
}

void TargetTable::unlink(int index) {
    Link& link = links_[index];
    (link.older >= 0 ? links_[link.older].newer : oldest_) = link.newer;
    (link.newer >= 0 ? links_[link.newer].older : newest_) = link.older;
    link = Link{};
}

void TargetTable::linkNewest(int index) {
    links_[index] = Link{newest_, -1};
    (newest_ >= 0 ? links_[newest_].newer : oldest_) = index;
    newest_ = index;
}

// Linear-probing deletion: later entries of the same run move back into the hole, so
// every lookup still finds its entry before the first empty bucket.
void TargetTable::eraseBucket(std::size_t hole) {
    buckets_[hole] = -1;
    for (std::size_t b = (hole + 1) & bucketMask_; buckets_[b] >= 0; b = (b + 1) & bucketMask_) {
        const std::size_t home = bucketOf(slots_[buckets_[b]].mmsi);
        // The entry may move to the hole when its home is not inside (hole, b].
        const bool homeBetween =
            hole <= b ? (home > hole && home <= b) : (home > hole || home <= b);
        if (!homeBetween) {
            buckets_[hole] = buckets_[b];
            buckets_[b] = -1;
            hole = b;
        }
    }
}

void TargetTable::remove(int index) {
    const std::uint32_t mmsi = slots_[index].mmsi;
    for (std::size_t b = bucketOf(mmsi);; b = (b + 1) & bucketMask_) {
        if (buckets_[b] == index) {
            eraseBucket(b);
            break;
        }
    }
    unlink(index);
    freeSlots_.push_back(index);
    --count_;
    ++generation_;
}

int TargetTable::insert(std::uint32_t mmsi, std::int64_t nowMs) {
    if (freeSlots_.empty() && static_cast<int>(slots_.size()) < settings_.capacity) {
        freeSlots_.push_back(static_cast<int>(slots_.size()));
        slots_.emplace_back();
        links_.emplace_back();
    }
    if (freeSlots_.empty()) {
        remove(oldest_);
        ++evicted_;
    }
    const int index = freeSlots_.back();
    freeSlots_.pop_back();
    Target& target = slots_[index];
    target = Target{};
    target.mmsi = mmsi;
    target.firstSeenMs = nowMs;
    if (!validMmsi(mmsi)) {
        target.flags |= kFlagBadMmsi;
    }
    std::size_t b = bucketOf(mmsi);
    while (buckets_[b] >= 0) {
        b = (b + 1) & bucketMask_;
    }
    buckets_[b] = index;
    linkNewest(index);
    ++count_;
    return index;
}

const Target& TargetTable::merge(const Report& report, std::int64_t nowMs) {
    int index = lookup(report.mmsi);
    if (index < 0) {
        index = insert(report.mmsi, nowMs);
    } else {
        unlink(index);
        linkNewest(index);
    }
    Target& t = slots_[index];
    const int source = report.messageType;
    ++t.messages;
    t.lastSeenMs = nowMs;
    t.targetClass = mergedClass(t.targetClass, report.targetClass);
    if (report.ownShip) {
        t.targetClass = TargetClass::OwnShip;
    }
    if (report.positionOutOfRange) {
        t.flags |= kFlagBadPosition;
    }
    if (report.latitude.known && report.longitude.known) {
        setNumber(t, Field::Latitude, report.latitude.value, source);
        setNumber(t, Field::Longitude, report.longitude.value, source);
        t.lastPositionMs = nowMs;
    }
    mergeNumber(t, Field::Sog, report.sog, source);
    mergeNumber(t, Field::Cog, report.cog, source);
    mergeNumber(t, Field::Heading, report.heading, source);
    mergeNumber(t, Field::Turn, report.turn, source);
    mergeNumber(t, Field::Status, report.status, source);
    mergeText(t, Field::ShipName, report.shipName, t.shipName, source, true);
    mergeText(t, Field::CallSign, report.callSign, t.callSign, source, true);
    mergeText(t, Field::Destination, report.destination, t.destination, source, false);
    mergeIdentity(t, Field::Imo, report.imo, source);
    mergeIdentity(t, Field::ShipType, report.shipType, source);
    mergeNumber(t, Field::ToBow, report.toBow, source);
    mergeNumber(t, Field::ToStern, report.toStern, source);
    mergeNumber(t, Field::ToPort, report.toPort, source);
    mergeNumber(t, Field::ToStarboard, report.toStarboard, source);
    mergeNumber(t, Field::Draught, report.draught, source);
    mergeNumber(t, Field::Eta, report.eta, source);
    mergeNumber(t, Field::AidType, report.aidType, source);
    mergeNumber(t, Field::OffPosition, report.offPosition, source);
    if (t.staticChanges >= kChangesBeforeFlag) {
        t.flags |= kFlagChangingStatic;
    }
    ++generation_;

    if (report.ownShip && !own_.fixed && report.latitude.known && report.longitude.known) {
        own_.hasPosition = true;
        own_.fromTransponder = true;
        own_.positionMs = nowMs;
        own_.kinematics.latitude = report.latitude.value;
        own_.kinematics.longitude = report.longitude.value;
        own_.hasMotion = report.sog.known && report.cog.known;
        own_.kinematics.sog = report.sog.value;
        own_.kinematics.cog = report.cog.value;
    }
    return t;
}

void TargetTable::ownPositionFromFix(double latitude, double longitude, std::int64_t nowMs) {
    if (own_.fixed || (own_.fromTransponder && nowMs - own_.positionMs <= settings_.staleAfterMs)) {
        return;
    }
    own_.fromTransponder = false;
    own_.hasPosition = true;
    own_.positionMs = nowMs;
    own_.kinematics.latitude = latitude;
    own_.kinematics.longitude = longitude;
    ++generation_;
}

void TargetTable::ownMotionFromFix(double sog, double cog, std::int64_t nowMs) {
    if (own_.fixed || (own_.fromTransponder && nowMs - own_.positionMs <= settings_.staleAfterMs)) {
        return;
    }
    own_.hasMotion = true;
    own_.kinematics.sog = sog;
    own_.kinematics.cog = cog;
    ++generation_;
}

void TargetTable::fixOwnShip(const OwnShip& own) {
    own_ = own;
    own_.fixed = true;
    ++generation_;
}

// Stations that report slowly by rule (ships at anchor or slow, aids to navigation)
// get proportionally longer before they count as lost: a class A ship at anchor
// reports every 3 minutes, an AtoN every 3 minutes, a slow class B every 3 minutes,
// against 2 to 10 seconds for ships under way.
std::int64_t TargetTable::reportingScale(const Target& target) const {
    const bool slow = target.has(Field::Sog) && target.number(Field::Sog) <= 2.0;
    switch (target.targetClass) {
        case TargetClass::AtoN:
            return 3;
        case TargetClass::A: {
            const int status =
                target.has(Field::Status) ? static_cast<int>(target.number(Field::Status)) : -1;
            return (status == 1 || status == 5 || slow) ? 3 : 1;
        }
        case TargetClass::B:
            return slow ? 3 : 1;
        default:
            return 1;
    }
}

bool TargetTable::isStale(const Target& target, std::int64_t nowMs) const {
    const std::int64_t since =
        target.lastPositionMs >= 0 ? target.lastPositionMs : target.firstSeenMs;
    return nowMs - since > settings_.staleAfterMs * reportingScale(target);
}

int TargetTable::expire(std::int64_t nowMs) {
    int removed = 0;
    int index = oldest_;
    // The list runs oldest first; nothing newer than the shortest removal age can go.
    while (index >= 0 && nowMs - slots_[index].lastSeenMs > settings_.removeAfterMs) {
        const int next = links_[index].newer;
        const Target& t = slots_[index];
        if (nowMs - t.lastSeenMs > settings_.removeAfterMs * reportingScale(t)) {
            remove(index);
            ++removed;
        }
        index = next;
    }
    return removed;
}

Relation TargetTable::relate(const Target& target) const {
    Relation relation;
    if (!own_.hasPosition || !target.hasPosition() || target.targetClass == TargetClass::OwnShip) {
        return relation;
    }
    const Kinematics& own = own_.kinematics;
    const double lat = target.number(Field::Latitude);
    const double lon = target.number(Field::Longitude);
    relation.hasRange = true;
    relation.rangeBearing = rangeAndBearing(own.latitude, own.longitude, lat, lon);
    // Fixed stations have no motion to report and need none.
    const bool fixedStation =
        target.targetClass == TargetClass::BaseStation || target.targetClass == TargetClass::AtoN;
    const bool targetMotion = fixedStation || (target.has(Field::Sog) && target.has(Field::Cog));
    if (!own_.hasMotion || !targetMotion || relation.rangeBearing.rangeNm > kApproachRangeNm) {
        return relation;
    }
    Kinematics other{lat, lon, 0.0, 0.0};
    if (!fixedStation) {
        other.sog = target.number(Field::Sog);
        other.cog = target.number(Field::Cog);
    }
    relation.hasApproach = true;
    relation.approach = closestApproach(own, other);
    relation.dangerous = relation.approach.cpaNm < settings_.cpaAlarmNm &&
                         relation.approach.tcpaMin >= 0.0 &&
                         relation.approach.tcpaMin < settings_.tcpaAlarmMin;
    return relation;
}

std::vector<const Target*> TargetTable::sortedByMmsi() const {
    std::vector<const Target*> sorted;
    sorted.reserve(count_);
    forEach([&sorted](const Target& t) { sorted.push_back(&t); });
    std::sort(sorted.begin(), sorted.end(),
              [](const Target* a, const Target* b) { return a->mmsi < b->mmsi; });
    return sorted;
}

}  // namespace targets
