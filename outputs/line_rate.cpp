#include "outputs/line_rate.h"

#include <algorithm>

namespace outputs {

LineRate::LineRate(qint32 baud, Clock clock)
    : bytesPerSecond_(std::max<qint64>(1, baud / 10)),
      capacityMilliBytes_(std::max<qint64>(bytesPerSecond_, 300) * 1000),
      milliBytes_(capacityMilliBytes_),
      lastMs_(clock()),
      clock_(std::move(clock)) {}

void LineRate::refill() {
    const qint64 now = clock_();
    const qint64 elapsed = std::clamp<qint64>(now - lastMs_, 0, 10'000);
    lastMs_ = now;
    // bytes/s x ms = thousandths of a byte.
    milliBytes_ = std::min(capacityMilliBytes_, milliBytes_ + elapsed * bytesPerSecond_);
}

bool LineRate::take(qsizetype bytes) {
    refill();
    const qint64 wanted = static_cast<qint64>(bytes) * 1000;
    if (wanted > milliBytes_) {
        return false;
    }
    milliBytes_ -= wanted;
    return true;
}

}  // namespace outputs
