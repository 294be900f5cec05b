#include "pacer.h"

#include <cerrno>
#include <cmath>
#include <ctime>

#include "line.h"

namespace sim {

namespace {

constexpr double kFallenBehindSeconds = 1.0;

class SystemClock : public Clock {
public:
    double now() override { return monotonicSeconds(); }
    void sleepUntil(double deadline, const volatile std::sig_atomic_t& stop) override {
        while (!stop) {
            double now = monotonicSeconds();
            if (now >= deadline) {
                return;
            }
            double wait = deadline - now;
            timespec span{static_cast<time_t>(wait),
                          static_cast<long>((wait - std::floor(wait)) * 1e9)};
            ::nanosleep(&span, nullptr);  // EINTR: look at `stop` again
        }
    }
};

}  // namespace

Clock& systemClock() {
    static SystemClock clock;
    return clock;
}

void sleepFor(double seconds, const volatile std::sig_atomic_t& stop) {
    systemClock().sleepUntil(monotonicSeconds() + seconds, stop);
}

Pacer::Pacer(int baud, bool fast, Clock& clock)
    : clock_(clock), bytesPerSecond_(baud / 10.0), fast_(fast) {
    restart();
}

void Pacer::restart() {
    start_ = clock_.now();
    bytesSent_ = 0;
}

void Pacer::waitTurn(std::size_t lineBytes, const volatile std::sig_atomic_t& stop) {
    if (fast_) {
        return;
    }
    double due = start_ + bytesSent_ / bytesPerSecond_;
    if (clock_.now() - due > kFallenBehindSeconds) {
        restart();
        due = start_;
    }
    clock_.sleepUntil(due, stop);
    bytesSent_ += static_cast<double>(lineBytes);
}

}  // namespace sim
