#include "app/sky/signal_bars.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <tuple>

#include "app/sky/sky_painting.h"
#include "sky/sky_model.h"

namespace {
constexpr double kLabelHeight = 22;
// Narrower slots than this get their numbers written upwards.
constexpr double kUprightLabelWidth = 18;
constexpr double kTop = 4;
}  // namespace

SignalBars::SignalBars(const sky::SkyModel* model, QWidget* parent)
    : QWidget(parent), model_(model) {
    setAccessibleName(tr("Signal strength bars"));
    setAccessibleDescription(tr("One bar per satellite signal, in dB-Hz up to %1").arg(kFullScale));
    setMinimumHeight(90);
}

std::vector<int> SignalBars::order() const {
    std::vector<int> indices(static_cast<std::size_t>(model_->count()));
    for (int i = 0; i < model_->count(); ++i)
        indices[static_cast<std::size_t>(i)] = i;
    std::stable_sort(indices.begin(), indices.end(), [this](int a, int b) {
        const sky::SatelliteReport& x = model_->satellite(a).report;
        const sky::SatelliteReport& y = model_->satellite(b).report;
        return std::tie(x.system, x.number, x.signal) < std::tie(y.system, y.number, y.signal);
    });
    return indices;
}

double SignalBars::slotWidth() const {
    return std::min(28.0, width() / static_cast<double>(std::max(1, model_->count())));
}

QRectF SignalBars::barRect(int index) const {
    const std::vector<int> sorted = order();
    return barAt(static_cast<int>(std::find(sorted.begin(), sorted.end(), index) - sorted.begin()),
                 index);
}

QRectF SignalBars::barAt(int position, int index) const {
    const sky::Satellite& s = model_->satellite(index);
    const double slot = slotWidth();
    const double bottom = height() - kLabelHeight;
    const double full = bottom - kTop;
    const double level =
        s.report.tracked ? std::clamp(s.report.snr, 0, kFullScale) : kFullScale / 6;
    const double top = bottom - full * level / kFullScale;
    const double gap = slot >= 8 ? 2 : 0.5;
    return QRectF(position * slot + gap, top, slot - 2 * gap, bottom - top);
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
    const std::vector<int> sorted = order();
    for (int position = 0; position < static_cast<int>(sorted.size()); ++position) {
        const int i = sorted[static_cast<std::size_t>(position)];
        const sky::Satellite& s = model_->satellite(i);
        p.setOpacity(model_->opacity(i));
        QColor colour = skyview::constellationColour(s.report.system);
        const QRectF bar = barAt(position, i);
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
        const QString number = QString::number(s.report.number);
        if (slot >= kUprightLabelWidth) {
            p.drawText(QRectF(position * slot, bottom, slot, kLabelHeight), Qt::AlignCenter,
                       number);
        } else {
            p.save();
            p.translate(position * slot + slot / 2, height());
            p.rotate(-90);
            p.drawText(QRectF(0, -slot / 2, kLabelHeight - 1, slot),
                       Qt::AlignLeft | Qt::AlignVCenter, number);
            p.restore();
        }
    }
    p.setOpacity(1);
}

void SignalBars::mousePressEvent(QMouseEvent* event) {
    const int position = static_cast<int>(event->position().x() / slotWidth());
    const std::vector<int> sorted = order();
    if (position >= 0 && position < static_cast<int>(sorted.size()))
        emit satelliteClicked(sorted[static_cast<std::size_t>(position)]);
}
