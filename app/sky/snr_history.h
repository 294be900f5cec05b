// The signal strength of one satellite signal over the last ten minutes.
#pragma once

#include <QWidget>

namespace sky {
class SkyModel;
}

class SnrHistory : public QWidget {
    Q_OBJECT

public:
    explicit SnrHistory(const sky::SkyModel* model, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {320, 90}; }
    // -1: none selected.
    void setSatellite(int index);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const sky::SkyModel* model_;
    int index_ = -1;
};
