// Anything the monitor forwards lines to: TCP clients, UDP datagrams, a serial port.
// Writing never blocks: an output takes a line or drops it and counts why. A failed
// output says so in its state with the system's reason; whoever holds it tries
// open() again later.
#pragma once

#include <QByteArrayView>
#include <QObject>
#include <QString>

namespace outputs {

struct OutputCounters {
    qint64 sent = 0;        // lines handed to the wire (or to at least one client)
    qint64 filtered = 0;    // refused by the include, exclude or checksum filter
    qint64 rateCapped = 0;  // refused by a minimum interval of their key
    qint64 slow = 0;        // lost to a full line or a client that stopped reading
    qint64 clientsDropped = 0;
    int clients = 0;  // TCP clients connected now
};

class Output : public QObject {
    Q_OBJECT

public:
    enum class State { Closed, Open, Failed };
    Q_ENUM(State)

    using QObject::QObject;

    // Starts the output; false (state Failed, with the reason) when it cannot work now.
    virtual bool open() = 0;
    virtual void close() = 0;
    // Takes one whole line, CR LF included. Lines may be gathered until flush().
    virtual void write(QByteArrayView line) = 0;
    // Sends what write() gathered; called after every batch of lines.
    virtual void flush() {}
    // The output as the user typed it, without options.
    virtual QString description() const = 0;

    State state() const { return state_; }
    QString reason() const { return reason_; }
    OutputCounters& counters() { return counters_; }
    const OutputCounters& counters() const { return counters_; }

signals:
    void stateChanged(outputs::Output::State state, const QString& reason);

protected:
    // Announces a change; repeating the current state and reason is quiet.
    void setState(State state, const QString& reason = {});

private:
    State state_ = State::Closed;
    QString reason_;
    OutputCounters counters_;
};

}  // namespace outputs
