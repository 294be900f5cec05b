// The polar plot of the sky: each satellite with a position at its elevation and
// azimuth, coloured by constellation, filled when its signal is tracked (hollow when
// not), ringed when the fix uses it, fading when it is no longer reported.
#pragma once

#include <QWidget>

namespace sky {
class SkyModel;
}

class SkyPlot : public QWidget {
    Q_OBJECT

public:
    explicit SkyPlot(const sky::SkyModel* model, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {320, 320}; }
    void setSelected(int index) {
        selected_ = index;
        update();
    }

signals:
    void satelliteClicked(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    const sky::SkyModel* model_;
    int selected_ = -1;
};
