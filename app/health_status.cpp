#include "app/health_status.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>

#include "app/line_health.h"
#include "app/steady_label.h"

namespace {

QString styleFor(LineHealth::State state) {
    switch (state) {
        case LineHealth::State::Receiving:
            return QStringLiteral("color: #1b6e20;");
        case LineHealth::State::Silent:
            return QStringLiteral("color: #8a5a00;");
        case LineHealth::State::NoValidSentences:
        case LineHealth::State::PortLost:
            return QStringLiteral("color: #b00020; font-weight: bold;");
        case LineHealth::State::NoPort:
            break;
    }
    return {};
}

// A status field says what it is in its accessible description; its accessible name
// carries the value with it ("Line state: Receiving"), so a screen reader reads both.
QLabel* statusField(const QString& purpose, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setAccessibleDescription(purpose);
    label->setAccessibleName(purpose);
    label->setFrameShape(QFrame::WinPanel);
    label->setFrameShadow(QFrame::Plain);
    return label;
}

// Labels are set only when their text changes: an unchanged status bar is never laid
// out or repainted again.
void showValue(QLabel* label, const QString& text) {
    if (label->text() != text) {
        setSteadyText(label, text);
        label->setAccessibleName(QCoreApplication::translate("HealthStatus", "%1: %2")
                                     .arg(label->accessibleDescription(), text));
    }
}

}  // namespace

HealthStatus::HealthStatus(LineHealth* health, QWidget* parent) : QWidget(parent), health_(health) {
    setAccessibleName(tr("Line health"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    state_ = statusField(tr("Line state"), this);
    speed_ = statusField(tr("Line speed"), this);
    rate_ = statusField(tr("Sentences per second"), this);
    errors_ = statusField(tr("Line errors"), this);
    n2kRate_ = statusField(tr("NMEA 2000 frames per second"), this);
    n2kErrors_ = statusField(tr("NMEA 2000 errors"), this);
    speed_->hide();
    n2kRate_->hide();
    n2kErrors_->hide();
    for (QLabel* label : {state_, speed_, rate_, errors_, n2kRate_, n2kErrors_}) {
        layout->addWidget(label);
    }
    connect(health_, &LineHealth::cleared, this, [this] {
        samples_.clear();
        frameSamples_.clear();
        refresh();
    });
    timer_.setInterval(kRefreshMs);
    connect(&timer_, &QTimer::timeout, this, &HealthStatus::refresh);
    timer_.start();
    refresh();
}

void HealthStatus::setSpeedNote(const QString& note) {
    showValue(speed_, note);
    speed_->setVisible(!note.isEmpty());
}

QString HealthStatus::stateText() const {
    return state_->text();
}
QString HealthStatus::rateText() const {
    return rate_->text();
}
QString HealthStatus::errorText() const {
    return errors_->text();
}
QString HealthStatus::n2kRateText() const {
    return n2kRate_->text();
}
QString HealthStatus::n2kErrorText() const {
    return n2kErrors_->text();
}

void HealthStatus::refreshN2k(qint64 now) {
    const LineHealth::N2kCounts& n2k = health_->n2kCounts();
    n2kRate_->setVisible(n2k.heard);
    n2kErrors_->setVisible(n2k.heard);
    if (!n2k.heard) {
        return;
    }
    frameSamples_.emplace_back(now, n2k.frames);
    while (frameSamples_.size() > 2 && now - frameSamples_[1].first >= kRateWindowMs) {
        frameSamples_.pop_front();
    }
    const qint64 span = now - frameSamples_.front().first;
    const double rate =
        span > 0 ? static_cast<double>(frameSamples_.back().second - frameSamples_.front().second) *
                       1000.0 / static_cast<double>(span)
                 : 0.0;
    const QString rateText = tr("%1 frames/s").arg(rate, 0, 'f', 1);
    const QString errorText = tr("%1 fast-packet errors, %2 unknown PGNs, %3 bad gateway lines")
                                  .arg(n2k.fastPacketErrors)
                                  .arg(n2k.unknownPgns)
                                  .arg(n2k.badGatewayLines);
    showValue(n2kRate_, rateText);
    showValue(n2kErrors_, errorText);
}

void HealthStatus::refresh() {
    const qint64 now = health_->now();
    const LineHealth::State state = health_->state(now);
    showValue(state_, health_->stateText(now));
    const QString style = styleFor(state);
    if (state_->styleSheet() != style) {
        state_->setStyleSheet(style);
    }

    samples_.emplace_back(now, health_->counts().accepted);
    while (samples_.size() > 2 && now - samples_[1].first >= kRateWindowMs) {
        samples_.pop_front();
    }
    const qint64 span = now - samples_.front().first;
    const double rate =
        span > 0 ? static_cast<double>(samples_.back().second - samples_.front().second) * 1000.0 /
                       static_cast<double>(span)
                 : 0.0;
    showValue(rate_, tr("%1 sentences/s").arg(rate, 0, 'f', 1));

    const quint64 errors = health_->errorTotal();
    QString errorText = errors == 1 ? tr("1 error") : tr("%1 errors").arg(errors);
    // Warnings join the field only once there are any, so a clean line reads as before.
    if (const quint64 warnings = health_->warningTotal(); warnings > 0) {
        errorText += warnings == 1 ? tr(", 1 warning") : tr(", %1 warnings").arg(warnings);
    }
    showValue(errors_, errorText);
    const QString breakdown = health_->errorBreakdown() + health_->sourceLossBreakdown();
    if (errors_->toolTip() != breakdown) {
        errors_->setToolTip(breakdown);
    }
    refreshN2k(now);
}
