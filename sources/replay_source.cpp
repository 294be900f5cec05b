#include "sources/replay_source.h"

#include <QElapsedTimer>

#include "nmea/tag_block.h"

namespace sources {

namespace {

qint64 monotonicMs() {
    static QElapsedTimer since;
    if (!since.isValid()) {
        since.start();
    }
    return since.elapsed();
}

// Lines longer than any sentence with its TAG block are cut; the rest follows as
// the next line, as a receiver would see it.
constexpr qint64 kLongestLine = 4096;

}  // namespace

ReplaySource::ReplaySource(QString path, ReplayPace pace, QObject* parent)
    : Source(parent), path_(std::move(path)), schedule_(pace), clock_(monotonicMs) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] { scheduleStep(step()); });
}

ReplaySource::~ReplaySource() {
    close();
}

QString ReplaySource::statusText(State state, const QString& reason) const {
    switch (state) {
        case State::Open:
            return isPaused() ? tr("Paused %1").arg(path_) : tr("Replaying %1").arg(path_);
        case State::Finished:
            return tr("Replay finished: %1").arg(path_);
        default:
            return Source::statusText(state, reason);
    }
}

void ReplaySource::setClock(Clock clock) {
    clock_ = std::move(clock);
    ownTimer_ = false;
    timer_.stop();
}

qint64 ReplaySource::now() const {
    return clock_();
}

bool ReplaySource::open() {
    close();
    file_.setFileName(path_);
    if (!file_.open(QIODevice::ReadOnly)) {
        setError(file_.errorString());
        return false;
    }
    restart();
    return true;
}

void ReplaySource::close() {
    timer_.stop();
    file_.close();
    haveLine_ = false;
    pausedAtMs_.reset();
    setState(State::Closed);
}

void ReplaySource::restart() {
    if (!file_.isOpen()) {
        return;
    }
    file_.seek(0);
    schedule_.reset();
    haveLine_ = false;
    startMs_ = now();
    pausedAtMs_.reset();
    setState(State::Open);
    emit progressChanged(0, size());
    scheduleStep(0);
}

void ReplaySource::pause() {
    if (!file_.isOpen() || isPaused() || state() != State::Open) {
        return;
    }
    pausedAtMs_ = now();
    timer_.stop();
    emit stateChanged(state(), tr("paused"));
}

void ReplaySource::resume() {
    if (!isPaused()) {
        return;
    }
    // The time spent paused is taken out of the timeline.
    startMs_ += now() - *pausedAtMs_;
    pausedAtMs_.reset();
    emit stateChanged(state(), {});
    scheduleStep(0);
}

void ReplaySource::setPace(ReplayPace pace) {
    // A fresh timeline from the line in hand on, so the change takes effect at once.
    schedule_ = ReplaySchedule(pace);
    startMs_ = isPaused() ? *pausedAtMs_ : now();
    if (haveLine_) {
        const QByteArrayView text(line_);
        nmeaz::TagBlock tag;
        const bool tagged = nmeaz::parseTagBlock(text.data(), size_t(text.size()), tag) > 0;
        lineDueMs_ = schedule_.dueMs(
            line_.size(), tagged && tag.hasTime ? std::optional<qint64>(tag.timeMs) : std::nullopt);
    }
    if (!isPaused() && file_.isOpen() && state() == State::Open) {
        scheduleStep(0);
    }
}

bool ReplaySource::readLine() {
    while (!file_.atEnd()) {
        QByteArray line = file_.readLine(kLongestLine);
        while (line.endsWith('\n') || line.endsWith('\r')) {
            line.chop(1);
        }
        if (line.isEmpty()) {
            continue;
        }
        line += "\r\n";
        nmeaz::TagBlock tag;
        const bool tagged =
            nmeaz::parseTagBlock(line.constData(), size_t(line.size()), tag) > 0 && tag.hasTime;
        lineDueMs_ =
            schedule_.dueMs(line.size(), tagged ? std::optional<qint64>(tag.timeMs) : std::nullopt);
        line_ = std::move(line);
        haveLine_ = true;
        return true;
    }
    return false;
}

qint64 ReplaySource::step() {
    if (!file_.isOpen() || isPaused() || state() != State::Open) {
        return -1;
    }
    const bool fast = schedule_.pace().fast;
    const qint64 elapsed = now() - startMs_;
    QByteArray out;
    qint64 wait = 0;
    for (;;) {
        if (!haveLine_ && !readLine()) {
            wait = -1;
            break;
        }
        if (!fast && lineDueMs_ > elapsed) {
            wait = lineDueMs_ - elapsed;
            break;
        }
        if (out.size() + line_.size() > kBytesPerStep && !out.isEmpty()) {
            break;  // the rest goes in the next step, right after this one
        }
        out += line_;
        haveLine_ = false;
    }
    if (!out.isEmpty()) {
        deliver(out);
        emit progressChanged(position(), size());
    }
    if (wait < 0 && !haveLine_ && file_.isOpen()) {
        setState(State::Finished);
    }
    return wait;
}

void ReplaySource::scheduleStep(qint64 delayMs) {
    if (!ownTimer_ || delayMs < 0) {
        return;
    }
    timer_.start(static_cast<int>(std::min<qint64>(delayMs, 24 * 3600 * 1000)));
}

qint64 ReplaySource::position() const {
    return file_.isOpen() ? file_.pos() : 0;
}

qint64 ReplaySource::size() const {
    return file_.isOpen() ? file_.size() : 0;
}

}  // namespace sources
