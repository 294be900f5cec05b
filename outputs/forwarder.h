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
    void forward(QByteArrayView sentence, bool checksumGood);
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

    std::vector<std::unique_ptr<Entry>> entries_;
    Clock monotonicMs_;
    Clock unixMs_;
    QTimer retry_;
    QByteArray line_;
};

}  // namespace outputs
