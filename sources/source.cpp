#include "sources/source.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <algorithm>
#include <memory>

namespace sources {

Source::Source(QObject* parent) : QObject(parent) {
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    clock_ = [started] { return started->elapsed(); };
    checkTimer_.setInterval(kCheckIntervalMs);
    connect(&checkTimer_, &QTimer::timeout, this, &Source::checkStuck);
}

void Source::setState(State state, const QString& reason) {
    if (state == state_ && reason == reason_) {
        return;
    }
    if (state == State::Open && state_ != State::Open) {
        lastDeliveryMs_ = clock_();  // a fresh start has its full grace
        lastCheckMs_ = -1;
    }
    state_ = state;
    reason_ = reason;
    if (ownTimer_ && state == State::Open) {
        checkTimer_.start();
    } else if (state != State::Open) {
        checkTimer_.stop();
    }
    if (!reopening_) {
        emit stateChanged(state, reason);
    }
}

void Source::deliver(const QByteArray& bytes) {
    lastDeliveryMs_ = clock_();
    emit bytesArrived(bytes);
}

void Source::setStuckClock(Clock clock) {
    clock_ = std::move(clock);
    ownTimer_ = false;
    checkTimer_.stop();
    lastDeliveryMs_ = clock_();
}

void Source::checkStuck() {
    pollCounters();
    const qint64 now = clock_();
    // A loop that was itself held up (a long job on this thread, a suspended machine)
    // gave the source no chance to read: its wait starts again instead. Reopening
    // would throw away what the system holds for it.
    if (lastCheckMs_ >= 0 && now - lastCheckMs_ > 2 * kCheckIntervalMs) {
        lastDeliveryMs_ = std::max(lastDeliveryMs_, now);
    }
    lastCheckMs_ = now;
    if (state_ != State::Open || now - lastDeliveryMs_ < kStuckMs || bytesPending() <= 0) {
        return;
    }
    // Whatever wedged the reading (a notification that never came, a buffer that
    // was never drained), a fresh descriptor starts clean. The user sees one notice,
    // not a flicker of states: only a different outcome is announced.
    const State before = state_;
    const QString reasonBefore = reason_;
    reopening_ = true;
    close();
    const bool ok = open();
    reopening_ = false;
    ++counters_.reopened;
    lastDeliveryMs_ = clock_();
    const QString when = QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss"));
    emit reopened(ok ? tr("%1 had data waiting but delivered nothing for %2 s; reopened at %3")
                           .arg(description())
                           .arg(kStuckMs / 1000)
                           .arg(when)
                     : tr("%1 had data waiting but delivered nothing for %2 s; reopening "
                          "failed at %3: %4")
                           .arg(description())
                           .arg(kStuckMs / 1000)
                           .arg(when, errorString()));
    emit countersChanged(counters_);
    if (state_ != before || reason_ != reasonBefore) {
        emit stateChanged(state_, reason_);
    }
}

QString Source::statusText(State state, const QString& reason) const {
    switch (state) {
        case State::Connecting:
            return reason.isEmpty() ? tr("Connecting to %1...").arg(description())
                                    : tr("Connecting to %1... (%2)").arg(description(), reason);
        case State::Open:
            return tr("Connected to %1").arg(description());
        case State::Lost:
            return tr("Connection lost: %1").arg(reason);
        case State::Finished:
            return tr("Finished %1").arg(description());
        case State::Closed:
            break;
    }
    return {};
}

}  // namespace sources
