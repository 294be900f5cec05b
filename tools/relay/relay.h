// The relay without a window: every source through its own parse cycle, each framed
// sentence forwarded as it is framed, so several sources merge in arrival order. State
// changes are logged at once, counters at a fixed interval.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "outputs/forwarder.h"
#include "relay_options.h"

namespace sources {
class Source;
}

namespace relay {

class Relay : public QObject {
    Q_OBJECT

public:
    // log receives one line at a time, without its line end.
    Relay(RelayOptions options, std::function<void(const QString&)> log, QObject* parent = nullptr);
    ~Relay() override;

    // Opens the sources and outputs. False, with *error, when an output is refused or
    // no source can be opened; a source that opens later (a TCP peer) counts as open.
    bool start(QString* error);
    void stop();
    // Logs every output's counters now.
    void logCounters();

    outputs::Forwarder& forwarder() { return forwarder_; }

private:
    struct Input;
    void take(Input& input, const QByteArray& bytes);

    RelayOptions options_;
    std::function<void(const QString&)> log_;
    outputs::Forwarder forwarder_;
    std::vector<std::unique_ptr<Input>> inputs_;
    QTimer stats_;
};

// Makes the source a source string names; null with *error when it is malformed.
sources::Source* makeRelaySource(const QString& text, int baud, QObject* parent, QString* error);

}  // namespace relay
