#include "relay.h"

#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSerialPort>

#include "n2k_db/database_loader.h"
#include "present/parse_cycle.h"
#include "present/stream_router.h"
#include "sources/can_source.h"
#include "sources/replay_source.h"
#include "sources/serial_source.h"
#include "sources/source_address.h"
#include "sources/tcp_source.h"
#include "sources/udp_source.h"

namespace relay {

namespace {

// Takes only the framed sentences: nothing is presented.
class ForwardSink : public present::FramingSink {
public:
    explicit ForwardSink(outputs::Forwarder& forwarder) : forwarder_(forwarder) {}
    void framedLine(const present::FramedLine& line) override {
        forwarder_.forward(line.tagBlock, line.sentence, line.checksumGood);
    }
    void pgnMessage(const n2k::Message& message, const n2k::DecodedPgn& decoded) override {
        forwarder_.forwardPgn(message, decoded);
    }

private:
    outputs::Forwarder& forwarder_;
};

}  // namespace

// The database is loaded when a source's first NMEA 2000 line arrives.
static const n2k::PgnDatabase* relayPgnDatabase() {
    return n2kdb::programPgnDatabaseOrSay("tidewright-relay");
}

struct Relay::Input {
    sources::Source* source = nullptr;
    QByteArray buffer;
    // Gateway lines (NMEA 2000) apart from the NMEA 0183 of the same stream.
    present::StreamRouter router{&relayPgnDatabase};
    // Sources are read by turns: each keeps the TAG block its last read cut off.
    present::StreamCarry carry;
};

sources::Source* makeRelaySource(const QString& text, int baud, QObject* parent, QString* error) {
    const auto where = sources::parseSourceAddress(text, error);
    if (!where) {
        return nullptr;
    }
    using Kind = sources::SourceAddress::Kind;
    switch (where->kind) {
        case Kind::Tcp:
            return new sources::TcpSource(where->host, where->port, parent);
        case Kind::Udp:
            return new sources::UdpSource(QHostAddress(where->host), where->port, parent);
        case Kind::File:
            return new sources::ReplaySource(where->path, sources::ReplayPace{baud}, parent);
        case Kind::Can:
            return new sources::CanSource(where->canPlugin, where->path, parent);
        case Kind::Serial:
            break;
    }
    const QString device = where->path;
    return new sources::SerialSource(
        device,
        [device, baud](QSerialPort& port) {
            port.setPortName(device);
            port.setBaudRate(baud);
            port.setDataBits(QSerialPort::Data8);
            port.setParity(QSerialPort::NoParity);
            port.setStopBits(QSerialPort::OneStop);
            port.setFlowControl(QSerialPort::NoFlowControl);
        },
        parent);
}

Relay::Relay(RelayOptions options, std::function<void(const QString&)> log, QObject* parent)
    : QObject(parent), options_(std::move(options)), log_(std::move(log)) {
    stats_.setInterval(options_.statsSeconds * 1000);
    connect(&stats_, &QTimer::timeout, this, &Relay::logCounters);
    connect(&forwarder_, &outputs::Forwarder::outputChanged, this,
            [this](int, const QString& text) { log_(text); });
}

Relay::~Relay() {
    stop();
}

bool Relay::start(QString* error) {
    for (const QString& text : std::as_const(options_.outputs)) {
        if (!forwarder_.addOutput(text, options_.sources, error)) {
            return false;
        }
    }
    QStringList failures;
    for (const QString& text : std::as_const(options_.sources)) {
        QString problem;
        sources::Source* source = makeRelaySource(text, options_.baud, this, &problem);
        if (source == nullptr) {
            failures << problem;
            continue;
        }
        auto input = std::make_unique<Input>();
        input->source = source;
        Input* raw = input.get();
        connect(source, &sources::Source::bytesArrived, this,
                [this, raw](const QByteArray& bytes) { take(*raw, bytes); });
        connect(source, &sources::Source::reopened, this,
                [this](const QString& notice) { log_(notice); });
        connect(source, &sources::Source::stateChanged, this,
                [this, source](sources::Source::State state, const QString& reason) {
                    const QString status = source->statusText(state, reason);
                    if (!status.isEmpty()) {
                        log_(status);
                    }
                });
        if (!source->open()) {
            failures << tr("%1: %2").arg(text, source->errorString());
            delete source;
            continue;
        }
        inputs_.push_back(std::move(input));
    }
    for (const QString& failure : std::as_const(failures)) {
        log_(tr("Cannot read %1").arg(failure));
    }
    if (inputs_.empty()) {
        *error = tr("No source could be opened: %1").arg(failures.join(QStringLiteral("; ")));
        forwarder_.removeAll();
        return false;
    }
    stats_.start();
    return true;
}

void Relay::stop() {
    stats_.stop();
    for (auto& input : inputs_) {
        input->source->disconnect(this);
        input->source->close();
    }
    inputs_.clear();
    forwarder_.removeAll();
}

void Relay::take(Input& input, const QByteArray& bytes) {
    ForwardSink sink(forwarder_);
    input.router.feed(
        bytes.constData(), static_cast<std::size_t>(bytes.size()), input.buffer, sink,
        [&sink, &input](QByteArray& buffer) { present::runParseCycle(buffer, sink, input.carry); });
    forwarder_.flush();
}

void Relay::logCounters() {
    // What each source lost below the byte stream (datagrams the system dropped, serial
    // overruns), under the same names as the decoder's --stats.
    for (const auto& input : inputs_) {
        const QJsonObject counts = sources::toJson(input->source->counters());
        log_(QStringLiteral("%1: %2").arg(
            input->source->description(),
            QString::fromUtf8(QJsonDocument(counts).toJson(QJsonDocument::Compact))));
    }
    for (int i = 0; i < forwarder_.count(); ++i) {
        log_(forwarder_.describe(i));
    }
}

}  // namespace relay
