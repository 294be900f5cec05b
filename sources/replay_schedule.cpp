#include "sources/replay_schedule.h"

#include <algorithm>

namespace sources {

qint64 ReplaySchedule::dueMs(qint64 lineBytes, std::optional<qint64> tagMs) {
    const int factor = std::max(1, pace_.factor);
    qint64 due = lastDueMs_;
    if (tagMs) {
        // The first time, and a clock that went backwards (logs joined end to end),
        // start a new stretch at the current position.
        if (!timed_ || *tagMs < lastTagMs_) {
            anchorTagMs_ = *tagMs;
            anchorDueMs_ = timed_ ? lastDueMs_ : static_cast<qint64>(lineTimeMs_);
            timed_ = true;
        }
        lastTagMs_ = *tagMs;
        due = anchorDueMs_ + (*tagMs - anchorTagMs_) / factor;
    } else if (!timed_) {
        due = static_cast<qint64>(lineTimeMs_);
        const double bytesPerMs = std::max(1, pace_.baud) / 10.0 / 1000.0;
        lineTimeMs_ += static_cast<double>(lineBytes) / bytesPerMs / factor;
    }
    lastDueMs_ = std::max(lastDueMs_, due);
    return lastDueMs_;
}

}  // namespace sources
