#include "app/speed_hunter.h"

#include "app/line_health.h"
#include "serial/line_speeds.h"

SpeedHunter::SpeedHunter(QSerialPort* port, const LineHealth* health, QObject* parent)
    : QObject(parent), port_(port), health_(health) {
    dwell_.setInterval(kDwellMs);
    dwell_.setSingleShot(true);
    poll_.setInterval(kPollMs);
    connect(&dwell_, &QTimer::timeout, this, &SpeedHunter::nextSpeed);
    connect(&poll_, &QTimer::timeout, this, &SpeedHunter::check);
}

qint32 SpeedHunter::speed() const {
    return kAutoSearchOrder[static_cast<std::size_t>(index_)];
}

quint64 SpeedHunter::goodSentences() const {
    // Sentences without a checksum prove little: garbage can end in CR LF by chance.
    const nmeaz::LineCounters& counts = health_->counts();
    return counts.accepted - counts.noChecksum;
}

void SpeedHunter::start() {
    roundFailed_ = false;
    trySpeed(0);
}

void SpeedHunter::stop() {
    dwell_.stop();
    poll_.stop();
}

void SpeedHunter::trySpeed(int index) {
    index_ = index;
    if (!port_) {
        stop();
        return;
    }
    port_->setBaudRate(speed());
    // What arrived at the previous speed must not count for this one.
    port_->clear(QSerialPort::Input);
    baseline_ = goodSentences();
    emit note(roundFailed_ ? tr("Auto: nothing found, trying again (%1)").arg(speed())
                           : tr("Auto: trying %1").arg(speed()));
    dwell_.start();
    poll_.start();
}

void SpeedHunter::check() {
    // A reset of the counters (Clear) restarts the count at this speed.
    if (goodSentences() < baseline_) {
        baseline_ = goodSentences();
    }
    if (goodSentences() - baseline_ >= kSentencesNeeded) {
        stop();
        emit note(tr("Auto: %1").arg(speed()));
        emit settled(speed());
    }
}

void SpeedHunter::nextSpeed() {
    check();
    if (!dwell_.isActive() && !poll_.isActive()) {
        return;  // settled
    }
    const int next = (index_ + 1) % static_cast<int>(kAutoSearchOrder.size());
    if (next == 0) {
        roundFailed_ = true;
    }
    trySpeed(next);
}
