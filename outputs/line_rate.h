// The byte budget of a serial line: a start bit, eight data bits and a stop bit make
// ten bits a byte, so 4800 baud carries 480 bytes a second. The budget fills at that
// rate up to one second's worth (and never less than one long sentence): a talker's
// once-a-second burst passes whole, while what the line could not send within a second
// is refused instead of queued.
#pragma once

#include <QtGlobal>
#include <functional>

namespace outputs {

class LineRate {
public:
    // Milliseconds of a monotonic clock.
    using Clock = std::function<qint64()>;

    LineRate(qint32 baud, Clock clock);

    // Takes `bytes` from the budget when they fit in it; false (nothing taken) when not.
    bool take(qsizetype bytes);
    qint64 capacity() const { return capacityMilliBytes_ / 1000; }

private:
    void refill();

    qint64 bytesPerSecond_;
    qint64 capacityMilliBytes_;
    qint64 milliBytes_;  // thousandths of a byte, so slow lines refill exactly
    qint64 lastMs_;
    Clock clock_;
};

}  // namespace outputs
