#include "app/sky/sky_plot.h"

#include <QMouseEvent>
#include <QPainter>

#include "app/sky/sky_painting.h"
#include "sky/sky_model.h"

namespace {
constexpr double kDotRadius = 9;
}

SkyPlot::SkyPlot(const sky::SkyModel* model, QWidget* parent) : QWidget(parent), model_(model) {
    setAccessibleName(tr("Sky plot"));
    setAccessibleDescription(tr("Satellites by elevation and azimuth, north up"));
    setMinimumSize(160, 160);
}

void SkyPlot::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), palette().base());
    const QRectF area = rect();
    const QRectF circle = skyview::plotCircle(area);
    const QPointF centre = circle.center();
    p.setPen(QPen(palette().mid().color(), 1));
    for (int elevation : {0, 30, 60}) {
        const double r = circle.width() / 2 * (90 - elevation) / 90.0;
        p.drawEllipse(centre, r, r);
    }
    p.drawLine(QPointF(circle.left(), centre.y()), QPointF(circle.right(), centre.y()));
    p.drawLine(QPointF(centre.x(), circle.top()), QPointF(centre.x(), circle.bottom()));
    p.setPen(palette().text().color());
    const QFontMetricsF metrics(font());
    const struct {
        const char* letter;
        double azimuth;
    } points[] = {{"N", 0}, {"E", 90}, {"S", 180}, {"W", 270}};
    for (const auto& point : points) {
        // Just outside the rim: the position at elevation "below the horizon".
        const QPointF at = skyview::skyPosition(area.adjusted(-24, -24, 24, 24), 0, point.azimuth);
        const QString letter = QString::fromLatin1(point.letter);
        p.drawText(QRectF(at.x() - 10, at.y() - metrics.height() / 2, 20, metrics.height()),
                   Qt::AlignCenter, letter);
    }

    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.75);
    p.setFont(small);
    for (int i = 0; i < model_->count(); ++i) {
        const sky::Satellite& s = model_->satellite(i);
        if (!s.report.hasPosition)
            continue;        // a bar only
        bool drawn = false;  // one dot per satellite, whatever the number of its signals
        for (int j = 0; j < i && !drawn; ++j) {
            const sky::SatelliteReport& other = model_->satellite(j).report;
            drawn = other.system == s.report.system && other.number == s.report.number &&
                    other.hasPosition;
        }
        if (drawn)
            continue;
        p.setOpacity(model_->opacity(i));
        const QColor colour = skyview::constellationColour(s.report.system);
        const QPointF at = skyview::skyPosition(area, s.report.elevation, s.report.azimuth);
        const bool used = model_->used(s.report);
        p.setPen(QPen(used ? palette().text().color() : colour, used ? 2.5 : 1.5));
        p.setBrush(s.report.tracked ? QBrush(colour) : Qt::NoBrush);
        p.drawEllipse(at, kDotRadius, kDotRadius);
        if (i == selected_) {
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(palette().highlight().color(), 2, Qt::DashLine));
            p.drawEllipse(at, kDotRadius + 4, kDotRadius + 4);
        }
        p.setPen(s.report.tracked ? Qt::white : palette().text().color());
        p.drawText(QRectF(at.x() - kDotRadius, at.y() - kDotRadius, 2 * kDotRadius, 2 * kDotRadius),
                   Qt::AlignCenter, QString::number(s.report.number));
    }
    p.setOpacity(1);
}

void SkyPlot::mousePressEvent(QMouseEvent* event) {
    const QRectF area = rect();
    for (int i = 0; i < model_->count(); ++i) {
        const sky::Satellite& s = model_->satellite(i);
        if (!s.report.hasPosition)
            continue;
        const QPointF d =
            skyview::skyPosition(area, s.report.elevation, s.report.azimuth) - event->position();
        if (QPointF::dotProduct(d, d) <= (kDotRadius + 2) * (kDotRadius + 2)) {
            emit satelliteClicked(i);
            return;
        }
    }
}
