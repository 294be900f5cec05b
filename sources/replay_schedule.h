// When each line of a replayed log goes out, as an offset from the start of the
// replay. A log without receive times plays at the line rate of a speed (ten bits per
// byte); once lines carry TAG times, they keep the gaps they were recorded with. A
// factor plays either faster.
#pragma once

#include <QtGlobal>
#include <optional>

namespace sources {

struct ReplayPace {
    int baud = 4800;
    int factor = 1;     // 10: ten times the line rate or the recorded pace
    bool fast = false;  // no waiting: as fast as the receiver takes the lines
};

class ReplaySchedule {
public:
    explicit ReplaySchedule(ReplayPace pace = {}) : pace_(pace) {}

    // Milliseconds after the start at which a line of lineBytes (line end included)
    // goes out; tagMs is the receive time its TAG block gives, if any. Never earlier
    // than the line before it.
    qint64 dueMs(qint64 lineBytes, std::optional<qint64> tagMs);
    void reset() { *this = ReplaySchedule(pace_); }
    const ReplayPace& pace() const { return pace_; }

private:
    ReplayPace pace_;
    double lineTimeMs_ = 0;  // when the next line would go out at the line rate
    qint64 lastDueMs_ = 0;
    bool timed_ = false;  // a TAG time was seen: untimed lines follow their predecessor
    qint64 anchorTagMs_ = 0;
    qint64 anchorDueMs_ = 0;
    qint64 lastTagMs_ = 0;
};

}  // namespace sources
