// A bar per satellite signal, as high as its strength (dB-Hz), coloured by
// constellation: solid when the fix uses the satellite, pale when not, an empty frame
// when the signal is not tracked. Satellites without a position show here only.
#pragma once

#include <QWidget>
#include <vector>

namespace sky {
class SkyModel;
}

class SignalBars : public QWidget {
    Q_OBJECT

public:
    static constexpr int kFullScale = 60;  // dB-Hz at the top of the bars

    explicit SignalBars(const sky::SkyModel* model, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {320, 130}; }
    void setSelected(int index) {
        selected_ = index;
        update();
    }
    // The bar of satellite `index` (model order) in widget coordinates.
    QRectF barRect(int index) const;

signals:
    void satelliteClicked(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    double slotWidth() const;
    // The bar of satellite `index` drawn at `position` in the drawing order.
    QRectF barAt(int position, int index) const;
    // Model indices in drawing order: by constellation, satellite number and signal.
    std::vector<int> order() const;

    const sky::SkyModel* model_;
    int selected_ = -1;
};
