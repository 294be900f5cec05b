// Forwards framed sentences to every configured output, each through its own filter,
// interval caps and optional TAG block. Lines always leave with CR LF. A failed output
// is tried again every few seconds and never holds up the others.
#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "n2k/message.h"
#include "n2k/pgn_decoder.h"
#include "outputs/output.h"
#include "outputs/output_address.h"
#include "outputs/output_filter.h"

namespace outputs {

class Forwarder : public QObject {
    Q_OBJECT

public:
    using Clock = std::function<qint64()>;

    explicit Forwarder(QObject* parent = nullptr);
    ~Forwarder() override;

    // A monotonic clock for intervals and line rates, and the wall clock for TAG
    // blocks, both in milliseconds. Set before adding outputs.
    void setClocks(Clock monotonicMs, Clock unixMs);
    void setRetryInterval(int milliseconds);

    // Adds and opens an output. False, with *error saying why, when the text is
    // malformed or the output would feed one of `sources`. An output that parses but
    // cannot open now is kept, reported in its state, and tried again.
    bool addOutput(const QString& text, const QStringList& sources, QString* error);
    void removeAll();

    // One framed sentence, from its start character through its line end.
    void forward(QByteArrayView sentence, bool checksumGood) {
        forward({}, sentence, checksumGood);
    }
    // The same with the TAG block that came in front of it (may be empty): every output
    // writes the block with the line, and one with the TAG option keeps it instead of
    // adding its own. Filters and intervals judge the sentence alone.
    void forward(QByteArrayView tagBlock, QByteArrayView sentence, bool checksumGood);
    // One whole NMEA 2000 PGN, written in each output's NMEA 2000 form (n2k=): YDWG RAW
    // frames (a fast packet when `fastPacket`, as the PGN database says) or one $PCDIN
    // sentence. Filters see it as "PGN <number>". A PGN too long for a fast packet
    // (an ISO transport transfer) has no YDWG RAW form and is dropped, counted.
    void forwardPgn(const n2k::Message& message, bool fastPacket);
    // The same, travelling as the database defines the PGN (a fast packet or a single
    // frame); a PGN it lacks is a fast packet when it is longer than one frame.
    void forwardPgn(const n2k::Message& message, const n2k::DecodedPgn& decoded);
    // Sends what the outputs gathered; call after each batch of sentences.
    void flush();

    bool isEmpty() const { return entries_.empty(); }
    int count() const { return static_cast<int>(entries_.size()); }
    const Output* output(int index) const { return entries_[index]->output; }
    Output* output(int index) { return entries_[index]->output; }
    const OutputAddress& address(int index) const { return entries_[index]->address; }

    // One line per output: where, its state and its counters.
    QString describe(int index) const;
    // The status field's text: outputs open, clients, lines sent and dropped.
    QString summary() const;

    static constexpr int kRetryMs = 5000;

signals:
    // An output opened, failed or closed; `text` is describe(index).
    void outputChanged(int index, const QString& text);

private:
    struct Entry {
        OutputAddress address;
        Output* output = nullptr;
        OutputFilter filter;
        QByteArray tagSource;
        Output::State reportedState = Output::State::Closed;
        QString reportedReason;
    };
    Output* makeOutput(const OutputAddress& address);
    void retryFailed();
    // Whether the output's filter and interval caps let a line (or a PGN's key) pass,
    // counting it when not; `now` is read from the clock only when a cap needs it.
    bool passes(Entry& entry, QByteArrayView keyed, bool checksumGood, qint64& now);
    // The lines of a PGN in one form, CR LF each; empty when it has none.
    const QByteArrayList& pgnLines(const n2k::Message& message, bool fastPacket, N2kFormat format);

    std::vector<std::unique_ptr<Entry>> entries_;
    Clock monotonicMs_;
    Clock unixMs_;
    QTimer retry_;
    QByteArray line_;
    // The PGN being forwarded, written once per form however many outputs use it.
    QByteArrayList ydwgLines_;
    QByteArrayList pcdinLines_;
    bool ydwgWritten_ = false;
    bool pcdinWritten_ = false;
    std::uint8_t fastPacketSequence_ = 0;
};

}  // namespace outputs
