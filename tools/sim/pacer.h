#pragma once

#include <csignal>
#include <cstddef>

namespace sim {

// Where the pacer reads the time and waits: the system's monotonic clock, or a clock
// of a test's own that moves only when the pacer waits.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double now() = 0;
    // Returns at `deadline`, or earlier when `stop` becomes set.
    virtual void sleepUntil(double deadline, const volatile std::sig_atomic_t& stop) = 0;
};

Clock& systemClock();

// Keeps the talk at the line rate: ten bits per byte (start, eight data, stop) at the
// chosen speed. Each transmission waits until the line would have finished the bytes
// before it, so the rate holds over any interval instead of drifting with sleep jitter.
class Pacer {
public:
    Pacer(int baud, bool fast, Clock& clock = systemClock());

    // Waits for the turn of a transmission of `lineBytes`; returns early when `stop`
    // becomes set.
    void waitTurn(std::size_t lineBytes, const volatile std::sig_atomic_t& stop);

    // After a pause or a stall the schedule starts afresh: a talker that was held up
    // does not make up for lost time by talking faster.
    void restart();

private:
    Clock& clock_;
    double bytesPerSecond_;
    bool fast_;
    double start_ = 0;
    double bytesSent_ = 0;
};

// Sleeps for `seconds` unless `stop` becomes set (signals end the sleep early).
void sleepFor(double seconds, const volatile std::sig_atomic_t& stop);

}  // namespace sim
