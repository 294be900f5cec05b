#include "app/sky/signal_bars.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "app/sky/sky_painting.h"
#include "sky/sky_model.h"

namespace {
constexpr double kLabelHeight = 16;
constexpr double kTop = 4;
}  // namespace

SignalBars::SignalBars(const sky::SkyModel* model, QWidget* parent)
    : QWidget(parent), model_(model) {
    setAccessibleName(tr("Signal strength bars"));
    setAccessibleDescription(tr("One bar per satellite signal, in dB-Hz up to %1").arg(kFullScale));
    setMinimumHeight(90);
}

double SignalBars::slotWidth() const {
    return std::min(28.0, width() / static_cast<double>(std::max(1, model_->count())));
}

QRectF SignalBars::barRect(int index) const {
    const sky::Satellite& s = model_->satellite(index);
    const double slot = slotWidth();
    const double bottom = height() - kLabelHeight;
    const double full = bottom - kTop;
    const double level =
        s.report.tracked ? std::clamp(s.report.snr, 0, kFullScale) : kFullScale / 6;
    const double top = bottom - full * level / kFullScale;
    return QRectF(index * slot + 2, top, slot - 4, bottom - top);
}

void SignalBars::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    const double bottom = height() - kLabelHeight;
    p.setPen(QPen(palette().mid().color(), 1, Qt::DotLine));
    for (int level = 10; level < kFullScale; level += 10) {
        const double y = bottom - (bottom - kTop) * level / kFullScale;
        p.drawLine(QPointF(0, y), QPointF(width(), y));
    }
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.7);
    p.setFont(small);
    const double slot = slotWidth();
    for (int i = 0; i < model_->count(); ++i) {
        const sky::Satellite& s = model_->satellite(i);
        p.setOpacity(model_->opacity(i));
        QColor colour = skyview::constellationColour(s.report.system);
        const QRectF bar = barRect(i);
        if (s.report.tracked) {
            if (!model_->used(s.report))
                colour.setAlpha(110);
            p.fillRect(bar, colour);
        } else {
            p.setPen(QPen(colour, 1.5));
            p.setBrush(Qt::NoBrush);
            p.drawRect(bar.adjusted(0.75, 0.75, -0.75, -0.75));
        }
        if (i == selected_) {
            p.setPen(QPen(palette().highlight().color(), 2));
            p.setBrush(Qt::NoBrush);
            p.drawRect(bar.adjusted(-1, -1, 1, 1));
        }
        p.setPen(palette().text().color());
        p.drawText(QRectF(i * slot, bottom, slot, kLabelHeight), Qt::AlignCenter,
                   QString::number(s.report.number));
    }
    p.setOpacity(1);
}

void SignalBars::mousePressEvent(QMouseEvent* event) {
    const int index = static_cast<int>(event->position().x() / slotWidth());
    if (index >= 0 && index < model_->count())
        emit satelliteClicked(index);
}
