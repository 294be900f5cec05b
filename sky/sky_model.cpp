#include "sky/sky_model.h"

#include <algorithm>
#include <utility>

#include "nmea/sentence_parsers.h"

namespace sky {

namespace {

bool sameSatellite(const SatelliteReport& a, const SatelliteReport& b) {
    return a.system == b.system && a.number == b.number;
}

bool sameSignal(const SatelliteReport& a, const SatelliteReport& b) {
    return sameSatellite(a, b) && a.signal == b.signal;
}

// The constellation of a satellite reported under this talker: the combined talker
// GN (and any unknown one) leaves it to the satellite number.
Constellation systemOf(char talker0, char talker1, int number) {
    const Constellation byTalker = constellationOfTalker(talker0, talker1);
    return byTalker != Constellation::Other ? byTalker : constellationOfNumber(number);
}

}  // namespace

SkyModel::SkyModel(Clock clock) : clock_(std::move(clock)) {}

void SkyModel::addSentence(const char* address, int code, const void* record) {
    if (address == nullptr || record == nullptr || address[0] == '\0' || address[1] == '\0')
        return;
    switch (code) {
        case nmeaz::kCodeGsv:
            addGsv(address[0], address[1], *static_cast<const nmeaz::GsvRecord*>(record));
            break;
        case nmeaz::kCodeGsa:
            addGsa(address[0], address[1], *static_cast<const nmeaz::GsaRecord*>(record));
            break;
        case nmeaz::kCodeGns:
            addGns(*static_cast<const nmeaz::GnsRecord*>(record));
            break;
        case nmeaz::kCodeGga:
            addGga(*static_cast<const nmeaz::GgaRecord*>(record));
            break;
        default:
            break;
    }
}

SkyModel::Pending* SkyModel::pendingFor(char talker0, char talker1, int signal) {
    Pending* idle = nullptr;
    for (Pending& p : pending_) {
        if (p.talker0 == talker0 && p.talker1 == talker1 && p.signal == signal)
            return &p;
        if (idle == nullptr && p.nextPart == 0)
            idle = &p;
    }
    if (idle == nullptr)
        idle = &pending_[0];  // more groups under way than places: the oldest slot goes
    *idle = Pending{};
    idle->talker0 = talker0;
    idle->talker1 = talker1;
    idle->signal = signal;
    return idle;
}

void SkyModel::addGsv(char talker0, char talker1, const nmeaz::GsvRecord& gsv) {
    if (gsv.pack_count < 1 || gsv.pack_index < 1 || gsv.pack_index > gsv.pack_count)
        return;
    Pending* group = pendingFor(talker0, talker1, gsv.signal_id);
    if (gsv.pack_index == 1) {
        group->count = 0;
        group->parts = gsv.pack_count;
    } else if (group->nextPart != gsv.pack_index || group->parts != gsv.pack_count) {
        group->nextPart = 0;  // a part went missing: the group is not whole, drop it
        return;
    }
    const int fields = std::clamp(gsv.sat_fields, 0, static_cast<int>(std::size(gsv.sat_data)));
    auto empty = [&](int slot) { return (gsv.empty_fields >> slot & 1U) != 0; };
    for (int first = 0; first + 4 <= fields; first += 4) {
        if (empty(first))
            continue;  // a satellite without a number cannot be placed
        if (group->count >= static_cast<int>(group->satellites.size()))
            break;
        SatelliteReport& s = group->satellites[static_cast<std::size_t>(group->count++)];
        s = SatelliteReport{};
        s.number = gsv.sat_data[first];
        s.system = systemOf(talker0, talker1, s.number);
        s.signal = gsv.signal_id;
        s.elevation = gsv.sat_data[first + 1];
        s.azimuth = gsv.sat_data[first + 2];
        s.hasPosition = !empty(first + 1) && !empty(first + 2) && s.elevation >= 0 &&
                        s.elevation <= 90 && s.azimuth >= 0 && s.azimuth < 360;
        s.tracked = !empty(first + 3);
        s.snr = s.tracked ? std::clamp(gsv.sat_data[first + 3], 0, 99) : 0;
    }
    if (gsv.pack_index < gsv.pack_count) {
        group->nextPart = gsv.pack_index + 1;
        return;
    }
    group->nextPart = 0;
    commit(std::span(group->satellites.data(), static_cast<std::size_t>(group->count)), clock_());
}

void SkyModel::addGsa(char talker0, char talker1, const nmeaz::GsaRecord& gsa) {
    const Constellation bySystem = constellationOfSystemId(gsa.system_id);
    const Constellation byTalker = constellationOfTalker(talker0, talker1);
    const Constellation known = gsa.system_id != 0 ? bySystem : byTalker;
    std::array<int, 12> numbers{};
    if (known != Constellation::Other || gsa.system_id != 0) {
        int n = 0;
        for (int number : gsa.sat) {
            if (number > 0)
                numbers[static_cast<std::size_t>(n++)] = number;
        }
        setUsed(known, std::span(numbers.data(), static_cast<std::size_t>(n)));
    } else {
        // A combined GSA without a system ID: the numbers tell the constellations; each
        // one named here gets its in-use set replaced.
        std::array<bool, kConstellationCount> seen{};
        for (int number : gsa.sat) {
            if (number > 0)
                seen[static_cast<std::size_t>(constellationOfNumber(number))] = true;
        }
        for (int c = 0; c < kConstellationCount; ++c) {
            if (!seen[static_cast<std::size_t>(c)])
                continue;
            int n = 0;
            for (int number : gsa.sat) {
                if (number > 0 && static_cast<int>(constellationOfNumber(number)) == c)
                    numbers[static_cast<std::size_t>(n++)] = number;
            }
            setUsed(static_cast<Constellation>(c),
                    std::span(numbers.data(), static_cast<std::size_t>(n)));
        }
    }
    setDops({gsa.PDOP, gsa.HDOP, gsa.VDOP});
    setFixMode(gsa.fix_type);
}

void SkyModel::addGns(const nmeaz::GnsRecord& gns) {
    if (gns.satinuse != fix_.satellitesUsed) {
        fix_.satellitesUsed = gns.satinuse;
        ++revision_;
    }
    if (gns.hdop > 0 && gns.hdop != dops_.hdop) {
        dops_.hdop = gns.hdop;
        ++revision_;
    }
}

void SkyModel::addGga(const nmeaz::GgaRecord& gga) {
    if (gga.sig != fix_.quality || gga.satinuse != fix_.satellitesUsed) {
        fix_.quality = gga.sig;
        fix_.satellitesUsed = gga.satinuse;
        ++revision_;
    }
}

void SkyModel::setSatellitesInView(std::span<const SatelliteReport> satellites,
                                   std::span<const bool> used, bool usedKnown) {
    commit(satellites, clock_());
    if (!usedKnown)
        return;
    for (int c = 0; c < kConstellationCount; ++c) {
        const auto system = static_cast<Constellation>(c);
        std::array<int, kMaxUsedPerSystem> numbers{};
        int n = 0;
        bool listed = false;
        for (std::size_t i = 0; i < satellites.size(); ++i) {
            if (satellites[i].system != system)
                continue;
            listed = true;
            if (i < used.size() && used[i] && n < kMaxUsedPerSystem)
                numbers[static_cast<std::size_t>(n++)] = satellites[i].number;
        }
        if (listed)
            setUsed(system, std::span(numbers.data(), static_cast<std::size_t>(n)));
    }
}

void SkyModel::setDops(const Dops& dops) {
    if (dops.pdop != dops_.pdop || dops.hdop != dops_.hdop || dops.vdop != dops_.vdop) {
        dops_ = dops;
        ++revision_;
    }
}

void SkyModel::setFixMode(int mode) {
    if (mode != fix_.mode) {
        fix_.mode = mode;
        ++revision_;
    }
}

void SkyModel::setUsed(Constellation system, std::span<const int> numbers) {
    const auto c = static_cast<std::size_t>(system);
    const int n = std::min(static_cast<int>(numbers.size()), kMaxUsedPerSystem);
    const bool same = n == usedCount_[c] &&
                      std::equal(numbers.begin(), numbers.begin() + n, usedNumbers_[c].begin());
    if (same)
        return;
    std::copy(numbers.begin(), numbers.begin() + n, usedNumbers_[c].begin());
    usedCount_[c] = n;
    ++revision_;
}

void SkyModel::commit(std::span<const SatelliteReport> satellites, std::int64_t now) {
    for (const SatelliteReport& report : satellites) {
        Satellite* slot = nullptr;
        for (int i = 0; i < count_; ++i) {
            if (sameSignal(satellites_[static_cast<std::size_t>(i)].report, report)) {
                slot = &satellites_[static_cast<std::size_t>(i)];
                break;
            }
        }
        if (slot == nullptr) {
            if (count_ == kMaxSatellites)
                expire();
            if (count_ == kMaxSatellites)
                continue;  // a sky fuller than any receiver reports: the rest waits
            slot = &satellites_[static_cast<std::size_t>(count_++)];
            *slot = Satellite{};
        }
        record(*slot, report, now);
    }
    ++revision_;
    expire();
}

void SkyModel::record(Satellite& satellite, const SatelliteReport& report, std::int64_t now) {
    satellite.report = report;
    satellite.lastSeenMs = now;
    const int size = static_cast<int>(satellite.history.size());
    if (satellite.historyCount > 0) {
        const int last = (satellite.historyStart + satellite.historyCount - 1) % size;
        if (now - satellite.history[static_cast<std::size_t>(last)].timeMs < kHistoryStepMs)
            return;
    }
    const SnrSample sample{now, report.tracked ? report.snr : -1};
    if (satellite.historyCount < size) {
        const int at = (satellite.historyStart + satellite.historyCount) % size;
        satellite.history[static_cast<std::size_t>(at)] = sample;
        ++satellite.historyCount;
    } else {
        satellite.history[static_cast<std::size_t>(satellite.historyStart)] = sample;
        satellite.historyStart = (satellite.historyStart + 1) % size;
    }
}

void SkyModel::expire() {
    const std::int64_t now = clock_();
    int kept = 0;
    for (int i = 0; i < count_; ++i) {
        Satellite& s = satellites_[static_cast<std::size_t>(i)];
        if (now - s.lastSeenMs >= kGoneAfterMs)
            continue;
        if (kept != i)
            satellites_[static_cast<std::size_t>(kept)] = s;
        ++kept;
    }
    if (kept != count_) {
        count_ = kept;
        ++revision_;
    }
}

void SkyModel::clear() {
    count_ = 0;
    pending_ = {};
    usedCount_ = {};
    dops_ = {};
    fix_ = {};
    ++revision_;
}

double SkyModel::opacity(int i) const {
    const std::int64_t age = clock_() - satellite(i).lastSeenMs;
    if (age <= kFadeAfterMs)
        return 1.0;
    if (age >= kGoneAfterMs)
        return 0.0;
    return 1.0 - static_cast<double>(age - kFadeAfterMs) /
                     static_cast<double>(kGoneAfterMs - kFadeAfterMs);
}

bool SkyModel::used(const SatelliteReport& report) const {
    const auto c = static_cast<std::size_t>(report.system);
    const auto begin = usedNumbers_[c].begin();
    return std::find(begin, begin + usedCount_[c], report.number) != begin + usedCount_[c];
}

int SkyModel::inView() const {
    int n = 0;
    for (int i = 0; i < count_; ++i) {
        bool first = true;  // a satellite heard on several signals counts once
        for (int j = 0; j < i && first; ++j)
            first = !sameSatellite(satellite(j).report, satellite(i).report);
        n += first ? 1 : 0;
    }
    return n;
}

int SkyModel::inUse() const {
    int n = 0;
    for (int c = 0; c < kConstellationCount; ++c)
        n += usedCount_[static_cast<std::size_t>(c)];
    return n;
}

}  // namespace sky
