// Replays a recorded log through the same path as live data: line by line, each line
// sent with CR LF as a talker does, paced by a ReplaySchedule. It can be paused,
// restarted and its pace changed while it plays; it reports how far it got.
#pragma once

#include <QFile>
#include <QTimer>
#include <functional>
#include <optional>

#include "sources/replay_schedule.h"
#include "sources/source.h"

namespace sources {

class ReplaySource : public Source {
    Q_OBJECT

public:
    // Milliseconds of a monotonic clock.
    using Clock = std::function<qint64()>;

    ReplaySource(QString path, ReplayPace pace, QObject* parent = nullptr);
    ~ReplaySource() override;

    bool open() override;
    void close() override;
    QString description() const override { return QStringLiteral("file:") + path_; }
    QString statusText(State state, const QString& reason) const override;

    void pause();
    void resume();
    bool isPaused() const { return pausedAtMs_.has_value(); }
    // Back to the first line, timing afresh.
    void restart();
    // The new pace applies from the next line on.
    void setPace(ReplayPace pace);
    ReplayPace pace() const { return schedule_.pace(); }

    // Takes the clock from the caller, who then drives the replay with step() instead
    // of the source's own timer (tests).
    void setClock(Clock clock);
    // Sends every line that is due; returns the milliseconds until the next one is
    // due, or -1 when paused, closed or at the end.
    qint64 step();

    qint64 position() const;
    qint64 size() const;

    // Lines sent per step at most, so a fast replay leaves the window time to draw.
    static constexpr qint64 kBytesPerStep = 64 * 1024;

signals:
    void progressChanged(qint64 done, qint64 total);

private:
    bool readLine();
    void scheduleStep(qint64 delayMs);
    qint64 now() const;

    QString path_;
    QFile file_;
    ReplaySchedule schedule_;
    Clock clock_;
    bool ownTimer_ = true;
    QTimer timer_;
    qint64 startMs_ = 0;
    std::optional<qint64> pausedAtMs_;
    QByteArray line_;  // the next line to send, CR LF included
    qint64 lineDueMs_ = 0;
    bool haveLine_ = false;
};

}  // namespace sources
