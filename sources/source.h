// Anything that delivers NMEA 0183 bytes: a serial port, a TCP stream, UDP datagrams,
// a recorded log. The window opens one, takes the bytes it announces and shows the
// state changes it reports; it never needs to know which kind it holds.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

#include "sources/source_counters.h"

namespace sources {

class Source : public QObject {
    Q_OBJECT

public:
    enum class State {
        Closed,      // not opened, or closed by the user
        Connecting,  // waiting for a peer (TCP), trying again after a loss
        Open,        // bytes may arrive
        Lost,        // the link went away; a source that retries says so in the reason
        Finished,    // a replay reached the end of its log
    };
    Q_ENUM(State)

    // A source whose descriptor holds unread data this long without delivering any
    // is taken as stuck and reopened.
    static constexpr qint64 kStuckMs = 2000;
    static constexpr int kCheckIntervalMs = 500;

    explicit Source(QObject* parent = nullptr);

    // Starts delivering. False when the source cannot work at all (the port cannot be
    // opened, the address cannot be bound); errorString() then says why.
    virtual bool open() = 0;
    // Stops delivering; no bytes arrive after it returns. Safe to call twice.
    virtual void close() = 0;
    // The source as the user would type it (COM3, tcp://host:10110, file:/x.log).
    virtual QString description() const = 0;
    QString errorString() const { return error_; }
    // What the status bar says in a state: "Connecting to ...", "Connection lost:
    // <reason>". Each kind words its open state itself.
    virtual QString statusText(State state, const QString& reason) const;
    State state() const { return state_; }

    // Bytes the system holds for this source that have not been read yet; -1 when
    // the source cannot tell (a replay, a closed source).
    virtual qint64 bytesPending() const { return -1; }
    // Losses below the byte stream, counted since the source was made.
    const SourceCounters& counters() const { return counters_; }

    // Milliseconds on a monotonic clock; tests replace it and call checkStuck().
    using Clock = std::function<qint64()>;
    void setStuckClock(Clock clock);
    // Reopens the source when it has data waiting but delivered nothing for
    // kStuckMs while the event loop kept turning; runs every kCheckIntervalMs while
    // the source is open.
    void checkStuck();

signals:
    void bytesArrived(const QByteArray& bytes);
    void stateChanged(sources::Source::State state, const QString& reason);
    // A loss counter moved (not the plain count of datagrams).
    void countersChanged(const sources::SourceCounters& counters);
    // The source was found stuck and reopened; the text says so for the user.
    void reopened(const QString& notice);

protected:
    void setError(const QString& error) { error_ = error; }
    // Announces a change; repeating the current state with the same reason is quiet.
    void setState(State state, const QString& reason = {});
    // Hands bytes on; every kind delivers through here, so the stuck check sees them.
    void deliver(const QByteArray& bytes);
    SourceCounters& mutableCounters() { return counters_; }
    // Announces a loss counter that moved.
    void lossesCounted() { emit countersChanged(counters_); }
    // Run before each stuck check: a kind that asks a driver for its loss counts
    // does it here.
    virtual void pollCounters() {}

private:
    State state_ = State::Closed;
    QString reason_;
    QString error_;
    SourceCounters counters_;
    Clock clock_;
    QTimer checkTimer_;
    bool ownTimer_ = true;
    qint64 lastDeliveryMs_ = 0;
    qint64 lastCheckMs_ = -1;
    bool reopening_ = false;
};

}  // namespace sources
