// The sky as the receiver reports it: satellites in view (position and signal
// strength per signal), which the fix uses, the DOPs and the fix itself.
//
// Fed by the decoded GSV, GSA, GNS and GGA records; a satellite list and the DOPs of
// another source (the NMEA 2000 satellites-in-view and DOP messages) go in through
// setSatellitesInView and setDops. A GSV group changes the sky only once it is
// complete, so a view never shows half a group. A satellite not reported for
// kFadeAfterMs fades and is gone after kGoneAfterMs. Fixed storage, no allocation.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>

#include "nmea/records.h"
#include "sky/constellation.h"

namespace sky {

// One satellite signal as a source reports it.
struct SatelliteReport {
    Constellation system = Constellation::Other;
    int number = 0;            // the satellite number (PRN) as the source gives it
    int signal = 0;            // NMEA 4.10 signal ID; 0 when not given
    bool hasPosition = false;  // elevation and azimuth given
    int elevation = 0;         // degrees above the horizon, 0 to 90
    int azimuth = 0;           // degrees from true north, 0 to 359
    bool tracked = false;      // an SNR was given (an empty SNR: not tracked)
    int snr = 0;               // dB-Hz
};

struct SnrSample {
    std::int64_t timeMs = 0;
    int snr = -1;  // -1: not tracked at that time
};

struct Satellite {
    SatelliteReport report;
    std::int64_t lastSeenMs = 0;
    // The signal strength over the last kHistoryMs, one sample per kHistoryStepMs at most.
    std::array<SnrSample, 120> history{};
    int historyCount = 0;  // valid samples, oldest first from historyStart
    int historyStart = 0;
};

struct Dops {
    double pdop = 0;  // 0: not known
    double hdop = 0;
    double vdop = 0;
};

struct FixInfo {
    int mode = 0;             // GSA fix type: 1 none, 2 2D, 3 3D; 0 not known
    int quality = -1;         // GGA quality indicator 0-8; -1 not known
    int satellitesUsed = -1;  // as GGA or GNS count them; -1 not known
};

class SkyModel {
public:
    using Clock = std::function<std::int64_t()>;  // milliseconds
    static constexpr int kMaxSatellites = 128;
    static constexpr int kMaxUsedPerSystem = 32;
    static constexpr std::int64_t kFadeAfterMs = 10'000;
    static constexpr std::int64_t kGoneAfterMs = 20'000;
    static constexpr std::int64_t kHistoryMs = 10 * 60'000;
    static constexpr std::int64_t kHistoryStepMs = kHistoryMs / 120;

    explicit SkyModel(Clock clock);

    // A decoded sentence: `address` is its talker and formatter ("GPGSV", at least
    // five characters); records of other types are ignored.
    void addSentence(const char* address, int code, const void* record);
    void addGsv(char talker0, char talker1, const nmeaz::GsvRecord& gsv);
    void addGsa(char talker0, char talker1, const nmeaz::GsaRecord& gsa);
    void addGns(const nmeaz::GnsRecord& gns);
    void addGga(const nmeaz::GgaRecord& gga);

    // A complete list of the satellites in view from one source, as one GSV group is.
    // With `usedKnown`, `used` (parallel to `satellites`) replaces which of them the
    // fix uses, per constellation listed.
    void setSatellitesInView(std::span<const SatelliteReport> satellites,
                             std::span<const bool> used = {}, bool usedKnown = false);
    void setDops(const Dops& dops);
    void setFixMode(int mode);

    // Drops the satellites not reported for kGoneAfterMs.
    void expire();
    void clear();

    int count() const { return count_; }
    const Satellite& satellite(int i) const { return satellites_[static_cast<std::size_t>(i)]; }
    // 1 while reported within kFadeAfterMs, falling to 0 at kGoneAfterMs.
    double opacity(int i) const;
    bool used(const SatelliteReport& report) const;
    // Satellites (not signals) in view and in use.
    int inView() const;
    int inUse() const;
    const Dops& dops() const { return dops_; }
    const FixInfo& fix() const { return fix_; }
    // Changes whenever what a view shows changes.
    std::uint64_t revision() const { return revision_; }
    std::int64_t now() const { return clock_(); }

private:
    struct Pending {
        char talker0 = 0, talker1 = 0;
        int signal = 0;
        int parts = 0;     // pack_count of the group
        int nextPart = 0;  // 0: no group under way
        int count = 0;
        std::array<SatelliteReport, 64> satellites{};
    };
    Pending* pendingFor(char talker0, char talker1, int signal);
    void commit(std::span<const SatelliteReport> satellites, std::int64_t now);
    void record(Satellite& satellite, const SatelliteReport& report, std::int64_t now);
    void setUsed(Constellation system, std::span<const int> numbers);

    Clock clock_;
    std::array<Satellite, kMaxSatellites> satellites_{};
    int count_ = 0;
    std::array<Pending, 8> pending_{};
    std::array<std::array<int, kMaxUsedPerSystem>, kConstellationCount> usedNumbers_{};
    std::array<int, kConstellationCount> usedCount_{};
    Dops dops_;
    FixInfo fix_;
    std::uint64_t revision_ = 0;
};

}  // namespace sky
