// Anything that delivers NMEA 0183 bytes: a serial port, a TCP stream, UDP datagrams,
// a recorded log. The window opens one, takes the bytes it announces and shows the
// state changes it reports; it never needs to know which kind it holds.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

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

    using QObject::QObject;

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

signals:
    void bytesArrived(const QByteArray& bytes);
    void stateChanged(sources::Source::State state, const QString& reason);

protected:
    void setError(const QString& error) { error_ = error; }
    // Announces a change; repeating the current state with the same reason is quiet.
    void setState(State state, const QString& reason = {});

private:
    State state_ = State::Closed;
    QString reason_;
    QString error_;
};

}  // namespace sources
