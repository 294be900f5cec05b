#include "app/plot/plot_widget.h"

#include <QDateTime>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <map>

#include "plot/plot_series.h"

namespace {

constexpr double kAxisWidth = 56;
constexpr double kLegendHeight = 20;
constexpr double kTimeAxisHeight = 22;

// A "nice" step for about `ticks` divisions of `range`.
double niceStep(double range, int ticks) {
    const double raw = range / std::max(1, ticks);
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
        if (raw <= m * magnitude)
            return m * magnitude;
    }
    return 10 * magnitude;
}

QString timeText(qint64 ms, bool withMilliseconds = false) {
    return QDateTime::fromMSecsSinceEpoch(ms).toString(
        withMilliseconds ? QStringLiteral("HH:mm:ss.zzz") : QStringLiteral("HH:mm:ss"));
}

QString valueText(double v) {
    return QString::number(v, 'g', 7);
}

}  // namespace

PlotWidget::PlotWidget(Clock clock, QWidget* parent) : QWidget(parent), clock_(std::move(clock)) {
    setMouseTracking(true);
    setMinimumSize(320, 200);
    setAccessibleName(tr("Plot area"));
    setAccessibleDescription(
        tr("Values over time; the readout shows the time and values under "
           "the mouse"));
}

QColor PlotWidget::seriesColour(int index) {
    static const QColor colours[] = {QColor(0x1f, 0x77, 0xb4), QColor(0xd6, 0x27, 0x28),
                                     QColor(0x2c, 0xa0, 0x2c), QColor(0xff, 0x7f, 0x0e),
                                     QColor(0x94, 0x67, 0xbd), QColor(0x8c, 0x56, 0x4b),
                                     QColor(0xe3, 0x77, 0xc2), QColor(0x17, 0xbe, 0xcf),
                                     QColor(0xbc, 0xbd, 0x22), QColor(0x7f, 0x7f, 0x7f)};
    return colours[index % static_cast<int>(std::size(colours))];
}

QRectF PlotWidget::plotArea() const {
    std::map<std::string, int> units;
    for (const plot::PlotSeries* s : series_)
        units.emplace(s->unit(), 0);
    const int count = std::max(1, static_cast<int>(units.size()));
    const double left = kAxisWidth * (count == 1 ? 1 : count - 1);
    const double right = count >= 2 ? kAxisWidth : 12;
    return QRectF(left, kLegendHeight + 4, std::max(10.0, width() - left - right),
                  std::max(10.0, height() - kLegendHeight - 4 - kTimeAxisHeight));
}

qint64 PlotWidget::timeAt(double x) const {
    const QRectF area = plotArea();
    const qint64 end = endMs();
    const double fraction = std::clamp((x - area.left()) / area.width(), 0.0, 1.0);
    return end - windowMs_ + static_cast<qint64>(fraction * static_cast<double>(windowMs_));
}

QString PlotWidget::readoutAt(double x) const {
    const qint64 t = timeAt(x);
    QStringList parts{timeText(t, true)};
    for (const plot::PlotSeries* s : series_) {
        plot::Point p;
        if (s->valueAt(t, &p) && p.timeMs >= endMs() - windowMs_) {
            parts << QStringLiteral("%1 = %2%3")
                         .arg(QString::fromStdString(s->name()), valueText(p.value),
                              s->unit().empty()
                                  ? QString()
                                  : QStringLiteral(" ") + QString::fromStdString(s->unit()));
        }
    }
    return parts.join(QStringLiteral("; "));
}

void PlotWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    const QRectF area = plotArea();
    const qint64 end = endMs();
    const qint64 start = end - windowMs_;
    const int buckets = std::max(1, static_cast<int>(area.width()));

    // One value range per unit, over what the window shows.
    struct Axis {
        double low = 0, high = 0;
        bool any = false;
        int order = 0;
    };
    std::map<std::string, Axis> axes;
    std::vector<std::vector<plot::Span>> spans;
    for (const plot::PlotSeries* s : series_) {
        spans.push_back(s->spans(start, end, buckets));
        Axis& axis = axes[s->unit()];
        for (const plot::Span& span : spans.back()) {
            axis.low = axis.any ? std::min(axis.low, span.low) : span.low;
            axis.high = axis.any ? std::max(axis.high, span.high) : span.high;
            axis.any = true;
        }
    }
    int order = 0;
    for (const plot::PlotSeries* s : series_) {
        Axis& axis = axes[s->unit()];
        if (axis.order == 0)
            axis.order = ++order;
    }
    for (auto& [unit, axis] : axes) {
        if (!axis.any) {
            axis.low = 0;
            axis.high = 1;
        }
        if (axis.high - axis.low < 1e-9) {
            axis.low -= 0.5;
            axis.high += 0.5;
        }
        const double pad = (axis.high - axis.low) * 0.05;
        axis.low -= pad;
        axis.high += pad;
    }

    // Frame, grid, time axis.
    p.setPen(palette().mid().color());
    p.drawRect(area);
    const qint64 stepMs = windowMs_ <= 60'000 ? 10'000 : windowMs_ <= 600'000 ? 120'000 : 600'000;
    p.setPen(palette().text().color());
    for (qint64 t = (start / stepMs + 1) * stepMs; t <= end; t += stepMs) {
        const double x = area.left() + area.width() * static_cast<double>(t - start) /
                                           static_cast<double>(windowMs_);
        p.setPen(QPen(palette().mid().color(), 1, Qt::DotLine));
        p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        p.setPen(palette().text().color());
        p.drawText(QRectF(x - 40, area.bottom() + 2, 80, kTimeAxisHeight - 2), Qt::AlignCenter,
                   timeText(t));
    }

    // Value axes: first unit left, second right, further ones stacked on the left.
    for (const auto& [unit, axis] : axes) {
        double x;
        Qt::Alignment align;
        if (axis.order == 2) {
            x = area.right() + 4;
            align = Qt::AlignLeft | Qt::AlignVCenter;
        } else {
            const int leftIndex = axis.order == 1 ? 0 : axis.order - 2;
            x = area.left() - 4 - kAxisWidth * leftIndex;
            align = Qt::AlignRight | Qt::AlignVCenter;
        }
        const double step = niceStep(axis.high - axis.low, 5);
        p.setPen(palette().text().color());
        // Counted, not stepped: at large magnitudes a small step would not move v.
        const double first = std::ceil(axis.low / step);
        for (int k = 0; k < 50 && (first + k) * step <= axis.high; ++k) {
            const double v = (first + k) * step;
            const double y =
                area.bottom() - area.height() * (v - axis.low) / (axis.high - axis.low);
            const QRectF box = align & Qt::AlignLeft
                                   ? QRectF(x, y - 8, kAxisWidth - 6, 16)
                                   : QRectF(x - kAxisWidth + 6, y - 8, kAxisWidth - 6, 16);
            p.drawText(box, align, valueText(std::abs(v) < step * 1e-6 ? 0.0 : v));
        }
        const QRectF unitBox =
            align & Qt::AlignLeft
                ? QRectF(x, area.top() - kLegendHeight + 2, kAxisWidth, 16)
                : QRectF(x - kAxisWidth + 6, area.top() - kLegendHeight + 2, kAxisWidth - 6, 16);
        p.drawText(unitBox, align, QString::fromStdString(unit));
    }

    // The series: a line through each pixel's last value, the pixel's range as a bar.
    // Drawn without antialiasing in one call each: at a few frames a second for ten
    // series this is most of the plot's cost.
    p.setRenderHint(QPainter::Antialiasing, false);
    double legendX = area.left() + 60;
    QPolygonF line;
    QList<QLineF> bars;
    for (int i = 0; i < series_.size(); ++i) {
        const Axis& axis = axes[series_[i]->unit()];
        auto y = [&](double v) {
            return area.bottom() - area.height() * (v - axis.low) / (axis.high - axis.low);
        };
        const QColor colour = seriesColour(i);
        line.clear();
        bars.clear();
        for (const plot::Span& span : spans[static_cast<std::size_t>(i)]) {
            const double x = area.left() + area.width() * static_cast<double>(span.timeMs - start) /
                                               static_cast<double>(windowMs_);
            if (span.high > span.low)
                bars.append(QLineF(x, y(span.low), x, y(span.high)));
            line.append(QPointF(x, y(span.last)));
        }
        p.setPen(QPen(colour, 1));
        p.drawLines(bars);
        p.setPen(QPen(colour, 2));
        p.drawPolyline(line);
        // Legend entry.
        const QString name = QString::fromStdString(series_[i]->name());
        p.fillRect(QRectF(legendX, 6, 12, 10), colour);
        p.setPen(palette().text().color());
        p.drawText(QPointF(legendX + 16, 15), name);
        legendX += 28 + QFontMetricsF(font()).horizontalAdvance(name);
    }

    if (hoverX_ >= area.left() && hoverX_ <= area.right()) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(palette().text().color(), 1, Qt::DashLine));
        p.drawLine(QPointF(hoverX_, area.top()), QPointF(hoverX_, area.bottom()));
    }
}

void PlotWidget::mouseMoveEvent(QMouseEvent* event) {
    hoverX_ = event->position().x();
    emit readoutChanged(readoutAt(hoverX_));
    update();
}

void PlotWidget::leaveEvent(QEvent*) {
    hoverX_ = -1;
    emit readoutChanged(QString());
    update();
}
