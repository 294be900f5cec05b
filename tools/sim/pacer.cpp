#include "pacer.h"

#include <cerrno>
#include <cmath>
#include <ctime>

#include "line.h"

namespace sim {

namespace {

constexpr double kFallenBehindSeconds = 1.0;

void sleepUntil(double deadline, const volatile std::sig_atomic_t& stop) {
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

}  // namespace

void sleepFor(double seconds, const volatile std::sig_atomic_t& stop) {
    sleepUntil(monotonicSeconds() + seconds, stop);
}

Pacer::Pacer(int baud, bool fast) : bytesPerSecond_(baud / 10.0), fast_(fast) {
    restart();
}

void Pacer::restart() {
    start_ = monotonicSeconds();
    bytesSent_ = 0;
}

void Pacer::waitTurn(std::size_t lineBytes, const volatile std::sig_atomic_t& stop) {
    if (fast_) {
        return;
    }
    double due = start_ + bytesSent_ / bytesPerSecond_;
    if (monotonicSeconds() - due > kFallenBehindSeconds) {
        restart();
        due = start_;
    }
    sleepUntil(due, stop);
    bytesSent_ += static_cast<double>(lineBytes);
}

}  // namespace sim
