// The plan view: own ship at the centre, north up, range rings, every target with a
// position as a symbol by class and a vector of six minutes of its motion. Hovering
// names a target, clicking selects it. Paints with plain QPainter, at most twice a
// second however often it is asked to.
#pragma once

#include <QPointF>
#include <QTimer>
#include <QWidget>
#include <utility>
#include <vector>

class AisTargetsModel;

class PlanView : public QWidget {
    Q_OBJECT

public:
    explicit PlanView(const AisTargetsModel* model, QWidget* parent = nullptr);

    // The ranges offered, in nautical miles from the centre to the outer ring.
    static const std::vector<double>& ranges();
    static constexpr int kMinRepaintIntervalMs = 500;

    double range() const { return rangeNm_; }
    void setRange(double nm);
    quint32 selectedMmsi() const { return selected_; }
    void setSelectedMmsi(quint32 mmsi);
    // Asks for a repaint; requests closer than kMinRepaintIntervalMs together share one.
    void requestRepaint();
    int paintCount() const { return paints_; }
    // Where a target was drawn last, in widget coordinates; false when it was not.
    bool targetPoint(quint32 mmsi, QPointF& point) const;
    // The target drawn nearest to `point` within a few pixels, 0 when none.
    quint32 targetAt(const QPointF& point) const;

signals:
    void targetClicked(quint32 mmsi);
    void rangeChanged(double nm);

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void repaintNow();

    const AisTargetsModel* model_;
    double rangeNm_ = 6.0;
    quint32 selected_ = 0;
    QTimer throttle_;
    bool pending_ = false;
    int paints_ = 0;
    std::vector<std::pair<quint32, QPointF>> drawn_;
};
