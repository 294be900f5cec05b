#include "outputs/forwarder.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QHostAddress>

#include "n2k/line_writer.h"
#include "outputs/loop_guard.h"
#include "outputs/serial_output.h"
#include "outputs/tag_block_option.h"
#include "outputs/tcp_server_output.h"
#include "outputs/udp_output.h"

namespace outputs {

namespace {

QString stateWord(Output::State state) {
    switch (state) {
        case Output::State::Open:
            return Forwarder::tr("open");
        case Output::State::Failed:
            return Forwarder::tr("failed");
        case Output::State::Closed:
            break;
    }
    return Forwarder::tr("closed");
}

}  // namespace

Forwarder::Forwarder(QObject* parent) : QObject(parent) {
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    monotonicMs_ = [started] { return started->elapsed(); };
    unixMs_ = [] { return QDateTime::currentMSecsSinceEpoch(); };
    retry_.setInterval(kRetryMs);
    connect(&retry_, &QTimer::timeout, this, &Forwarder::retryFailed);
}

Forwarder::~Forwarder() {
    removeAll();
}

void Forwarder::setClocks(Clock monotonicMs, Clock unixMs) {
    monotonicMs_ = std::move(monotonicMs);
    unixMs_ = std::move(unixMs);
}

void Forwarder::setRetryInterval(int milliseconds) {
    retry_.setInterval(milliseconds);
}

Output* Forwarder::makeOutput(const OutputAddress& address) {
    switch (address.kind) {
        case OutputAddress::Kind::TcpServer:
            return new TcpServerOutput(QHostAddress(address.host), address.port, this);
        case OutputAddress::Kind::Udp:
            return new UdpOutput(QHostAddress(address.host), address.port, address.ttl, this);
        case OutputAddress::Kind::Serial:
            break;
    }
    return new SerialOutput(address.device, address.baud, monotonicMs_, this);
}

bool Forwarder::addOutput(const QString& text, const QStringList& sources, QString* error) {
    const std::optional<OutputAddress> address = parseOutputAddress(text, error);
    if (!address) {
        return false;
    }
    if (const QString loop = loopReason(*address, sources); !loop.isEmpty()) {
        if (error) {
            *error = loop;
        }
        return false;
    }
    for (const auto& entry : entries_) {
        if (entry->address.place() == address->place()) {
            if (error) {
                *error = tr("%1 is given twice").arg(address->place());
            }
            return false;
        }
    }
    auto entry = std::make_unique<Entry>();
    entry->address = *address;
    entry->filter = OutputFilter(address->filter);
    entry->tagSource = address->tagSource.toLatin1();
    entry->output = makeOutput(*address);
    const int index = count();
    connect(entry->output, &Output::stateChanged, this,
            [this, index](Output::State state, const QString& reason) {
                if (state == Output::State::Failed && !retry_.isActive()) {
                    retry_.start();
                }
                // Trying a failed output again passes through Closed; only a new outcome
                // is news, so a port that stays taken is not reported every few seconds.
                Entry& reported = *entries_[index];
                if ((state == Output::State::Closed &&
                     reported.reportedState == Output::State::Failed) ||
                    (state == reported.reportedState && reason == reported.reportedReason)) {
                    return;
                }
                reported.reportedState = state;
                reported.reportedReason = reason;
                emit outputChanged(index, describe(index));
            });
    entries_.push_back(std::move(entry));
    entries_.back()->output->open();
    return true;
}

void Forwarder::removeAll() {
    retry_.stop();
    for (auto& entry : entries_) {
        entry->output->disconnect(this);
        entry->output->close();
        entry->output->deleteLater();
    }
    entries_.clear();
}

void Forwarder::retryFailed() {
    bool anyFailed = false;
    for (auto& entry : entries_) {
        if (entry->output->state() == Output::State::Failed) {
            anyFailed |= !entry->output->open();
        }
    }
    if (!anyFailed) {
        retry_.stop();
    }
}

bool Forwarder::passes(Entry& entry, QByteArrayView keyed, bool checksumGood, qint64& now) {
    if (now < 0 && entry.filter.hasIntervals()) {
        now = monotonicMs_();
    }
    switch (entry.filter.check(keyed, checksumGood, now)) {
        case OutputFilter::Verdict::Filtered:
            ++entry.output->counters().filtered;
            return false;
        case OutputFilter::Verdict::RateCapped:
            ++entry.output->counters().rateCapped;
            return false;
        case OutputFilter::Verdict::Pass:
            break;
    }
    return true;
}

void Forwarder::forward(QByteArrayView tagBlock, QByteArrayView sentence, bool checksumGood) {
    if (entries_.empty()) {
        return;
    }
    // However the line ended on the way in (CR LF, LF, CR CR LF), it leaves with CR LF.
    qsizetype end = sentence.size();
    while (end > 0 && (sentence[end - 1] == '\r' || sentence[end - 1] == '\n')) {
        --end;
    }
    line_.truncate(0);
    line_.append(tagBlock);
    line_.append(sentence.first(end));
    line_.append("\r\n", 2);
    const QByteArrayView judged = QByteArrayView(line_).sliced(tagBlock.size());
    // The clocks are read only when an output asks: most outputs have no interval and
    // no TAG block, and a clock read per sentence is a large part of a fast relay's work.
    qint64 now = -1;
    qint64 unixNow = -1;
    QByteArray tagged;
    for (auto& entry : entries_) {
        Output* output = entry->output;
        if (!passes(*entry, judged, checksumGood, now)) {
            continue;
        }
        // A line that came with a block of its own keeps it, tagged or not.
        if (!entry->address.tag || !tagBlock.isEmpty()) {
            output->write(line_);
            continue;
        }
        if (unixNow < 0) {
            unixNow = unixMs_();
        }
        tagged.truncate(0);
        appendTagged(tagged, line_, unixNow, entry->tagSource);
        output->write(tagged);
    }
}

const QByteArrayList& Forwarder::pgnLines(const n2k::Message& message, bool fastPacket,
                                          N2kFormat format) {
    if (format == N2kFormat::Pcdin) {
        if (!pcdinWritten_) {
            pcdinWritten_ = true;
            char line[2 * n2k::kMaxPayload + 64];
            const int length = n2k::writePcdinLine(message, line, sizeof line);
            if (length > 0) {
                pcdinLines_.append(QByteArray(line, length) + "\r\n");
            }
        }
        return pcdinLines_;
    }
    if (!ydwgWritten_) {
        ydwgWritten_ = true;
        n2k::Frame frames[32];
        // Each fast packet takes the next sequence number, as a sender's would.
        const int count = n2k::framesOf(message, fastPacket, fastPacketSequence_, frames, 32);
        if (fastPacket) {
            fastPacketSequence_ = (fastPacketSequence_ + 1) & 7;
        }
        // YDWG RAW carries the time of day: the gateway's when the PGN had one, else now.
        const std::int64_t timeMs = message.timeMs != n2k::kNoTime ? message.timeMs : unixMs_();
        char line[80];
        for (int i = 0; i < count; ++i) {
            frames[i].timeMs = timeMs;
            const int length = n2k::writeYdwgLine(frames[i], line, sizeof line);
            if (length > 0) {
                ydwgLines_.append(QByteArray(line, length) + "\r\n");
            }
        }
    }
    return ydwgLines_;
}

void Forwarder::forwardPgn(const n2k::Message& message, const n2k::DecodedPgn& decoded) {
    const bool fastPacket =
        decoded.definition != nullptr && decoded.definition->transport != n2k::PgnTransport::Mixed
            ? decoded.definition->transport == n2k::PgnTransport::Fast
            : message.length > 8;
    forwardPgn(message, fastPacket);
}

void Forwarder::forwardPgn(const n2k::Message& message, bool fastPacket) {
    if (entries_.empty()) {
        return;
    }
    const QByteArray key = "PGN " + QByteArray::number(message.pgn);
    ydwgLines_.clear();
    pcdinLines_.clear();
    ydwgWritten_ = pcdinWritten_ = false;
    qint64 now = -1;
    for (auto& entry : entries_) {
        Output* output = entry->output;
        if (!passes(*entry, key, true, now)) {
            continue;
        }
        const QByteArrayList& lines = pgnLines(message, fastPacket, entry->address.n2k);
        if (lines.isEmpty()) {
            ++output->counters().filtered;  // no form of it fits this output
            continue;
        }
        for (const QByteArray& line : lines) {
            output->write(line);
        }
    }
}

void Forwarder::flush() {
    for (auto& entry : entries_) {
        entry->output->flush();
    }
}

QString Forwarder::describe(int index) const {
    const Entry& entry = *entries_[index];
    const Output& output = *entry.output;
    const OutputCounters& c = output.counters();
    QString text = QStringLiteral("%1: %2").arg(entry.address.place(), stateWord(output.state()));
    if (!output.reason().isEmpty()) {
        text += QStringLiteral(" (%1)").arg(output.reason());
    }
    if (entry.address.kind == OutputAddress::Kind::TcpServer) {
        text += c.clients == 1 ? tr(", 1 client") : tr(", %1 clients").arg(c.clients);
    }
    text += tr(", %1 sent, dropped: %2 by filter, %3 by rate cap, %4 slow or full")
                .arg(c.sent)
                .arg(c.filtered)
                .arg(c.rateCapped)
                .arg(c.slow);
    if (c.clientsDropped > 0) {
        text += tr(", slow clients dropped: %1").arg(c.clientsDropped);
    }
    return text;
}

QString Forwarder::summary() const {
    if (entries_.empty()) {
        return tr("Forwarding off");
    }
    int open = 0;
    int clients = 0;
    qint64 sent = 0;
    qint64 dropped = 0;
    for (const auto& entry : entries_) {
        const OutputCounters& c = entry->output->counters();
        open += entry->output->state() == Output::State::Open;
        clients += c.clients;
        sent += c.sent;
        dropped += c.filtered + c.rateCapped + c.slow;
    }
    return tr("Forwarding: %1 of %2 open, %3, %4 sent, %5 dropped")
        .arg(open)
        .arg(count())
        .arg(clients == 1 ? tr("1 client") : tr("%1 clients").arg(clients))
        .arg(sent)
        .arg(dropped);
}

}  // namespace outputs
