// A plot window: one or more series in one plot, a time window of 1, 10 or 60
// minutes, pause and scroll back, a readout of the values under the mouse, and export
// of what is visible as PNG and CSV. It owns its series; the plot hub feeds them.
#pragma once

#include <QWidget>
#include <memory>
#include <vector>

#include "app/plot/plot_widget.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QScrollBar;
class QTimer;
namespace plot {
class PlotSeries;
}

class PlotWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr int kRedrawMs = 500;
    static constexpr qint64 kWindowsMs[] = {60'000, 600'000, 3'600'000};

    explicit PlotWindow(PlotWidget::Clock clock, QWidget* parent = nullptr);
    ~PlotWindow() override;

    // Adds a series (its unit may still be empty); returns it for the feed.
    plot::PlotSeries* addSeries(const QString& name, const QString& unit);
    plot::PlotSeries* findSeries(const QString& name) const;
    int seriesCount() const { return static_cast<int>(series_.size()); }
    // Marks the plot for a redraw on the next tick (a value arrived).
    void touch() { dirty_ = true; }

    PlotWidget* plotWidget() const { return plot_; }
    QComboBox* windowChooser() const { return windowBox_; }
    QCheckBox* pauseBox() const { return pause_; }
    QScrollBar* scrollBar() const { return scroll_; }
    QLabel* readout() const { return readout_; }

    void setPaused(bool paused);
    // The visible data, as the export buttons write it; false with *error on failure.
    bool exportCsv(const QString& path, QString* error) const;
    bool exportPng(const QString& path, QString* error) const;

private:
    void retitle();
    void updateScrollRange();
    void tick();

    PlotWidget::Clock clock_;
    std::vector<std::unique_ptr<plot::PlotSeries>> series_;
    PlotWidget* plot_;
    QComboBox* windowBox_;
    QCheckBox* pause_;
    QScrollBar* scroll_;
    QLabel* readout_;
    QPushButton* png_;
    QPushButton* csv_;
    QTimer* timer_;
    bool dirty_ = true;
    qint64 lastDrawnMs_ = 0;
};
