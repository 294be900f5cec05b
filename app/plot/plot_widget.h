// Draws plot series over a time window with QPainter: one value axis per unit (the
// first on the left, the second on the right, further ones stacked on the left), a
// time axis, a legend, and a readout of the time and every value under the mouse.
#pragma once

#include <QColor>
#include <QList>
#include <QWidget>
#include <functional>

namespace plot {
class PlotSeries;
}

class PlotWidget : public QWidget {
    Q_OBJECT

public:
    using Clock = std::function<qint64()>;
    explicit PlotWidget(Clock clock, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {720, 360}; }

    void setSeries(QList<const plot::PlotSeries*> series) {
        series_ = std::move(series);
        update();
    }
    static QColor seriesColour(int index);
    void setWindowMs(qint64 ms) {
        windowMs_ = ms;
        update();
    }
    qint64 windowMs() const { return windowMs_; }
    // The right edge of the window; 0: follows the clock (live).
    void setEndMs(qint64 ms) {
        endMs_ = ms;
        update();
    }
    qint64 endMs() const { return endMs_ != 0 ? endMs_ : clock_(); }
    // The readout for the time at widget x (tests and the hover use it).
    QString readoutAt(double x) const;
    qint64 timeAt(double x) const;

signals:
    void readoutChanged(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QRectF plotArea() const;

    Clock clock_;
    QList<const plot::PlotSeries*> series_;
    qint64 windowMs_ = 60'000;
    qint64 endMs_ = 0;
    double hoverX_ = -1;
};
