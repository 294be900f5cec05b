// The "Sky View" dock: the polar plot, the signal bars, the selected satellite's
// signal history, and the fix in words (mode, quality, DOPs, satellites in view and
// in use). Fed with every decoded GSV, GSA, GNS and GGA record; redrawn once a
// second and whenever a complete group changed the sky.
#pragma once

#include <QDockWidget>
#include <QTimer>
#include <memory>

#include "sky/sky_model.h"

class QComboBox;
class QLabel;
class SignalBars;
class SkyPlot;
class SnrHistory;

class SkyDock : public QDockWidget {
    Q_OBJECT

public:
    static constexpr int kRefreshMs = 1000;

    explicit SkyDock(sky::SkyModel::Clock clock, QWidget* parent = nullptr);
    explicit SkyDock(QWidget* parent = nullptr);
    ~SkyDock() override;

    // From the parse cycle: `address` as "GPGSV".
    void addSentence(const char* address, int code, const void* record) {
        model_->addSentence(address, code, record);
    }
    sky::SkyModel& model() { return *model_; }
    SkyPlot* plot() const { return plot_; }
    SignalBars* bars() const { return bars_; }
    QComboBox* satelliteChooser() const { return chooser_; }
    // Brings everything up to the model's state (the timer calls it).
    void refresh();
    void selectSatellite(int index);

private:
    void setLabel(QLabel* label, const QString& purpose, const QString& value);

    std::unique_ptr<sky::SkyModel> model_;
    SkyPlot* plot_;
    SignalBars* bars_;
    SnrHistory* history_;
    QComboBox* chooser_;
    QLabel* fixLabel_;
    QLabel* qualityLabel_;
    QLabel* dopLabel_;
    QLabel* countLabel_;
    QTimer timer_;
    std::uint64_t shownRevision_ = ~std::uint64_t{0};
    sky::SatelliteReport selected_{};
    bool hasSelection_ = false;
};
