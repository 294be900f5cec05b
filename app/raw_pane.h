// The "Raw Data" pane: the received text as a terminal shows it, in the system's fixed
// font, with what a reader needs to find faults in it: optional receive timestamps,
// lines whose checksum fails (or that are too long) marked, sentences read with a
// warning marked apart, a filter, and a pause that
// holds the view still while everything else goes on. Only the view changes: the
// recording keeps exactly the bytes received.
#pragma once

#include <QByteArray>
#include <QTime>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>

class QAction;
class QTextCharFormat;
class QLineEdit;
class QPlainTextEdit;

class RawPane : public QWidget {
    Q_OBJECT

public:
    // The pane keeps at least this many of the latest lines.
    static constexpr int kLines = 20000;
    // How long received text waits before it shows; longer under a flood, so that
    // laying out text never takes more than about half of the time.
    static constexpr int kDelayMs = 500;
    static constexpr int kMaxDelayMs = 2000;
    // A line without an end is broken here, so that no line grows without bound.
    static constexpr int kMaxLineChars = 4096;
    // ... and ended with this mark (Latin-1 NOT SIGN), so that a broken line does not
    // pass for a real one.
    static constexpr char kBreakMark = '\xAC';
    // The pane keeps at most this many characters: far more than kLines real
    // sentences, far less than kLines broken lines.
    static constexpr int kMaxChars = 2'000'000;

    // Warning: a sentence read although it deviates from the sentence format (told by
    // the framer through noteDeviation(), not judged here).
    enum class Verdict : unsigned char { Plain, BadChecksum, TooLong, Warning };
    // How a received line reads: a sentence (from its first start character on) whose
    // checksum does not match or that exceeds the sentence size, or anything else.
    static Verdict judge(QByteArrayView line);

    explicit RawPane(QWidget* parent = nullptr);

    // Text with LF line ends (Latin-1), received at `arrived`.
    void append(const QByteArray& text, const QTime& arrived);
    // The framer read this sentence (text as it came) with deviations: its line, when
    // it completes, is marked as a warning. Told before the text is appended.
    void noteDeviation(QByteArrayView sentence);
    // The most deviating sentences waiting for their line.
    static constexpr int kPendingDeviations = 64;
    void clear();
    // Shows what is waiting now (unless paused).
    void flush();

    // Conformance marks: given a shown line from its start character on (without its
    // line end), true when the rules found something, with whether any finding is an
    // error and the messages. Marked lines show amber (warnings) or red (errors), with
    // the messages as tooltip.
    using ConformanceMarker =
        std::function<bool(QByteArrayView sentence, bool& error, QString& messages)>;
    void setConformanceMarker(ConformanceMarker marker) { marker_ = std::move(marker); }

    QPlainTextEdit* view() const { return view_; }
    QLineEdit* filterField() const { return filter_; }
    // Checkable: Pause (tool bar, Space in the pane) and receive timestamps (View menu).
    QAction* pauseAction() const { return pause_; }
    QAction* timestampsAction() const { return timestamps_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Line {
        QByteArray text;
        QTime arrived;
        Verdict verdict = Verdict::Plain;
        bool broken = false;  // ended at kMaxLineChars, not by a line end
    };
    void completeLine(bool broken = false);
    bool shows(const Line& line) const;
    QString render(const Line& line) const;
    void rebuild();
    void removeShownPartial();
    void schedule();
    // The format and text mark of a line with conformance findings; false for none.
    bool conformanceMark(const Line& line, QTextCharFormat& format) const;

    QPlainTextEdit* view_;
    QLineEdit* filter_;
    QAction* pause_;
    QAction* timestamps_;
    QTimer timer_;
    ConformanceMarker marker_;

    std::deque<Line> lines_;            // the latest complete lines
    qsizetype storedChars_ = 0;         // in lines_
    qint64 firstNumber_ = 0;            // the number of lines_.front() in the stream
    qint64 shownUpTo_ = 0;              // the number of the first line not yet in the view
    Line partial_;                      // the line still arriving
    bool inLine_ = false;               // partial_ has begun
    int partialShown_ = 0;              // characters of it at the end of the view
    std::deque<QByteArray> deviating_;  // noted sentences, line ends off, oldest first
};
