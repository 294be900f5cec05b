#include "app/raw_pane.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>

#include "app/raw_pane_bound.h"
#include "nmea/parser_context.h"

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    // Lower-case digits are read too (and warned about, see noteDeviation()).
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

const QString kMark = QStringLiteral("\u2716 ");
const QString kWarningMark = QStringLiteral("\u26A0 ");

}  // namespace

RawPane::Verdict RawPane::judge(QByteArrayView line) {
    qsizetype start = 0;
    while (start < line.size() && line[start] != '$' && line[start] != '!') {
        ++start;
    }
    if (start == line.size()) {
        return Verdict::Plain;
    }
    const QByteArrayView sentence = line.sliced(start);
    // The line end was taken off the text; the limit counts it.
    if (sentence.size() + 2 > nmeaz::kMaxSentenceLength) {
        return Verdict::TooLong;
    }
    const qsizetype star = sentence.indexOf('*');
    if (star < 0 || sentence.size() < star + 3) {
        return Verdict::Plain;  // no checksum to hold it to
    }
    const int high = hexValue(sentence[star + 1]);
    const int low = hexValue(sentence[star + 2]);
    if (high < 0 || low < 0) {
        return Verdict::BadChecksum;
    }
    unsigned sum = 0;
    for (qsizetype i = 1; i < star; ++i) {
        sum ^= static_cast<unsigned char>(sentence[i]);
    }
    return sum == static_cast<unsigned>(high * 16 + low) ? Verdict::Plain : Verdict::BadChecksum;
}

RawPane::RawPane(QWidget* parent) : QWidget(parent) {
    setAccessibleName(tr("Raw data pane"));
    filter_ = new QLineEdit(this);
    filter_->setAccessibleName(tr("Raw data filter"));
    filter_->setPlaceholderText(tr("Filter: text or key (GGA, !AIVDM)"));
    filter_->setClearButtonEnabled(true);

    view_ = new QPlainTextEdit(this);
    view_->setAccessibleName(tr("Raw data"));
    view_->setReadOnly(true);
    view_->setAcceptDrops(false);
    view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // Nothing in the pane is undone; kept, the history would hold every line received
    // and every line trimmed.
    view_->setUndoRedoEnabled(false);
    view_->installEventFilter(this);
    view_->viewport()->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(filter_);
    layout->addWidget(view_);

    pause_ = new QAction(tr("Pause"), this);
    pause_->setCheckable(true);
    pause_->setToolTip(tr("Pause the raw pane (Space); receiving goes on"));
    timestamps_ = new QAction(tr("Receive Timestamps"), this);
    timestamps_->setCheckable(true);

    timer_.setSingleShot(true);
    timer_.setInterval(kDelayMs);
    connect(&timer_, &QTimer::timeout, this, &RawPane::flush);
    connect(pause_, &QAction::toggled, this, [this](bool paused) {
        if (!paused) {
            flush();
        }
    });
    connect(timestamps_, &QAction::toggled, this, &RawPane::rebuild);
    connect(filter_, &QLineEdit::textChanged, this, &RawPane::rebuild);
}

bool RawPane::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
        pause_->toggle();
        return true;
    }
    if (watched == view_->viewport() && event->type() == QEvent::ToolTip) {
        // The messages of a marked line, as its format carries them.
        auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = view_->cursorForPosition(help->pos()).charFormat().toolTip();
        if (tip.isEmpty()) {
            QToolTip::hideText();
        } else {
            QToolTip::showText(help->globalPos(), tip, view_);
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool RawPane::conformanceMark(const Line& line, QTextCharFormat& format) const {
    if (!marker_) {
        return false;
    }
    const qsizetype dollar = line.text.indexOf('$');
    const qsizetype bang = line.text.indexOf('!');
    const qsizetype start = dollar < 0 ? bang : bang < 0 ? dollar : std::min(dollar, bang);
    if (start < 0) {
        return false;
    }
    bool error = false;
    QString messages;
    if (!marker_(QByteArrayView(line.text).sliced(start), error, messages)) {
        return false;
    }
    format.setForeground(error ? QColor(0xc0, 0x10, 0x10) : QColor(0xb0, 0x70, 0x00));
    format.setToolTip(messages);
    return true;
}

void RawPane::append(const QByteArray& text, const QTime& arrived) {
    qsizetype from = 0;
    while (from < text.size()) {
        if (!inLine_) {
            inLine_ = true;
            partial_.arrived = arrived;
        }
        const qsizetype lf = text.indexOf('\n', from);
        const qsizetype end = lf < 0 ? text.size() : lf;
        const qsizetype room = kMaxLineChars - partial_.text.size();
        const qsizetype take = std::min(end - from, room);
        partial_.text.append(text.constData() + from, take);
        from += take;
        if (lf >= 0 && from == lf) {
            ++from;
            completeLine();
        } else if (partial_.text.size() >= kMaxLineChars) {
            completeLine(true);
        }
    }
    schedule();
}

void RawPane::noteDeviation(QByteArrayView sentence) {
    while (!sentence.isEmpty() && (sentence.back() == '\n' || sentence.back() == '\r')) {
        sentence.chop(1);
    }
    deviating_.emplace_back(sentence.toByteArray());
    if (static_cast<int>(deviating_.size()) > kPendingDeviations) {
        deviating_.pop_front();
    }
}

void RawPane::completeLine(bool broken) {
    partial_.verdict = judge(partial_.text);
    // Lines come in the order the framer read their sentences: a noted sentence is
    // this line's, or one whose line never showed (noted, but the text was lost).
    if (partial_.verdict == Verdict::Plain && !deviating_.empty()) {
        for (auto it = deviating_.begin(); it != deviating_.end(); ++it) {
            if (partial_.text.endsWith(*it)) {
                partial_.verdict = Verdict::Warning;
                deviating_.erase(deviating_.begin(), it + 1);
                break;
            }
        }
    }
    partial_.broken = broken;
    storedChars_ += partial_.text.size();
    lines_.push_back(std::move(partial_));
    partial_ = Line();
    inLine_ = false;
    while (lines_.size() > 1 &&
           (static_cast<int>(lines_.size()) > kLines || storedChars_ > kMaxChars)) {
        storedChars_ -= lines_.front().text.size();
        lines_.pop_front();
        ++firstNumber_;
    }
}

void RawPane::schedule() {
    if (!timer_.isActive() && !pause_->isChecked()) {
        timer_.start();
    }
}

bool RawPane::shows(const Line& line) const {
    const QString filter = filter_->text();
    return filter.isEmpty() || QString::fromLatin1(line.text).contains(filter, Qt::CaseInsensitive);
}

QString RawPane::render(const Line& line) const {
    QString text;
    if (timestamps_->isChecked() && line.arrived.isValid()) {
        text = line.arrived.toString(QStringLiteral("hh:mm:ss.zzz "));
    }
    if (line.verdict == Verdict::Warning) {
        text += kWarningMark;
    } else if (line.verdict != Verdict::Plain) {
        text += kMark;
    }
    text += QString::fromLatin1(line.text);
    if (line.broken) {
        text += QChar(static_cast<unsigned char>(kBreakMark));
    }
    return text;
}

void RawPane::removeShownPartial() {
    if (partialShown_ == 0) {
        return;
    }
    QTextCursor cursor(view_->document());
    cursor.movePosition(QTextCursor::End);
    cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, partialShown_);
    cursor.removeSelectedText();
    partialShown_ = 0;
}

void RawPane::flush() {
    timer_.stop();
    if (pause_->isChecked()) {
        return;
    }
    const qint64 end = firstNumber_ + static_cast<qint64>(lines_.size());
    if (shownUpTo_ < firstNumber_) {
        // More arrived than the pane keeps (a flood, or a long pause): what scrolled
        // out is never laid out.
        rebuild();
        return;
    }
    QElapsedTimer took;
    took.start();
    // The view follows the end unless the reader scrolled up to look at something.
    QScrollBar* bar = view_->verticalScrollBar();
    const bool following = bar->value() == bar->maximum();
    removeShownPartial();
    QTextCursor cursor(view_->document());
    cursor.movePosition(QTextCursor::End);
    QTextCharFormat plain;
    QTextCharFormat marked;
    marked.setForeground(QColor(0xb0, 0x00, 0x20));
    marked.setFontWeight(QFont::Bold);
    QTextCharFormat warned;
    warned.setForeground(QColor(0x8a, 0x5a, 0x00));  // amber that reads on white
    // Runs of plain lines go in with one insertion.
    QString run;
    for (qint64 n = shownUpTo_; n < end; ++n) {
        const Line& line = lines_[static_cast<std::size_t>(n - firstNumber_)];
        if (!shows(line)) {
            continue;
        }
        QTextCharFormat flagged;
        if (line.verdict == Verdict::Plain && conformanceMark(line, flagged)) {
            if (!run.isEmpty()) {
                cursor.insertText(run, plain);
                run.clear();
            }
            cursor.insertText(render(line), flagged);
            cursor.insertText(QStringLiteral("\n"), plain);
            continue;
        }
        if (line.verdict == Verdict::Plain) {
            run += render(line);
            run += QLatin1Char('\n');
            continue;
        }
        if (!run.isEmpty()) {
            cursor.insertText(run, plain);
            run.clear();
        }
        cursor.insertText(render(line), line.verdict == Verdict::Warning ? warned : marked);
        cursor.insertText(QStringLiteral("\n"), plain);
    }
    shownUpTo_ = end;
    // The line still arriving shows as it comes, unless a filter waits for it whole.
    if (inLine_ && filter_->text().isEmpty()) {
        const QString partial = render(partial_);
        run += partial;
        partialShown_ = static_cast<int>(partial.size());
    }
    if (!run.isEmpty()) {
        cursor.insertText(run, plain);
    }
    // Oldest lines go first once the pane is full, so a day of data cannot exhaust
    // memory; one extra block holds the line still arriving.
    dropOldestPaneText(*view_, kLines + 1, kMaxChars);
    if (following) {
        bar->setValue(bar->maximum());
    }
    timer_.setInterval(std::clamp(static_cast<int>(2 * took.elapsed()), kDelayMs, kMaxDelayMs));
}

void RawPane::rebuild() {
    view_->clear();
    partialShown_ = 0;
    // Only what the view keeps is laid out.
    const qint64 end = firstNumber_ + static_cast<qint64>(lines_.size());
    shownUpTo_ = firstNumber_;
    if (filter_->text().isEmpty() && end - firstNumber_ > kLines) {
        shownUpTo_ = end - kLines;
    }
    if (!pause_->isChecked()) {
        flush();
    }
}

void RawPane::clear() {
    lines_.clear();
    storedChars_ = 0;
    partial_ = Line();
    inLine_ = false;
    firstNumber_ = shownUpTo_ = 0;
    partialShown_ = 0;
    deviating_.clear();
    timer_.stop();
    view_->clear();
}
