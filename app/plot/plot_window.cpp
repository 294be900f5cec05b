#include "app/plot/plot_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "plot/plot_csv.h"
#include "plot/plot_series.h"

namespace {
// The scroll bar moves in seconds: a day in milliseconds would not fit its int range.
constexpr qint64 kScrollUnitMs = 1000;
}  // namespace

PlotWindow::PlotWindow(PlotWidget::Clock clock, QWidget* parent)
    : QWidget(parent, Qt::Window), clock_(std::move(clock)) {
    setAttribute(Qt::WA_DeleteOnClose);
    plot_ = new PlotWidget(clock_, this);
    windowBox_ = new QComboBox(this);
    windowBox_->addItems({tr("1 minute"), tr("10 minutes"), tr("60 minutes")});
    windowBox_->setAccessibleName(tr("Time window"));
    pause_ = new QCheckBox(tr("&Pause"), this);
    pause_->setAccessibleName(tr("Pause"));
    pause_->setAccessibleDescription(tr("Stops the plot moving so it can be scrolled back"));
    scroll_ = new QScrollBar(Qt::Horizontal, this);
    scroll_->setAccessibleName(tr("Scroll back"));
    scroll_->setEnabled(false);
    png_ = new QPushButton(tr("Export P&NG..."), this);
    png_->setAccessibleName(tr("Export PNG"));
    csv_ = new QPushButton(tr("Export &CSV..."), this);
    csv_->setAccessibleName(tr("Export CSV"));
    readout_ = new QLabel(this);
    readout_->setAccessibleName(tr("Readout: none"));
    readout_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* controls = new QHBoxLayout;
    auto* windowLabel = new QLabel(tr("&Window:"), this);
    windowLabel->setBuddy(windowBox_);
    controls->addWidget(windowLabel);
    controls->addWidget(windowBox_);
    controls->addWidget(pause_);
    controls->addWidget(scroll_, 1);
    controls->addWidget(png_);
    controls->addWidget(csv_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(plot_, 1);
    layout->addWidget(readout_);

    connect(windowBox_, &QComboBox::currentIndexChanged, this, [this](int index) {
        plot_->setWindowMs(kWindowsMs[std::clamp(index, 0, 2)]);
        updateScrollRange();
    });
    connect(pause_, &QCheckBox::toggled, this, &PlotWindow::setPaused);
    connect(scroll_, &QScrollBar::valueChanged, this, [this](int value) {
        if (pause_->isChecked())
            plot_->setEndMs(static_cast<qint64>(value) * kScrollUnitMs);
    });
    connect(plot_, &PlotWidget::readoutChanged, this, [this](const QString& text) {
        readout_->setText(text);
        readout_->setAccessibleName(text.isEmpty() ? tr("Readout: none")
                                                   : tr("Readout: %1").arg(text));
    });
    auto save = [this](bool png) {
        const QString filter = png ? tr("PNG image (*.png)") : tr("CSV table (*.csv)");
        const QString path = QFileDialog::getSaveFileName(
            this, png ? tr("Export plot as PNG") : tr("Export visible data as CSV"),
            png ? QStringLiteral("plot.png") : QStringLiteral("plot.csv"), filter);
        if (path.isEmpty())
            return;
        QString error;
        if (!(png ? exportPng(path, &error) : exportCsv(path, &error)))
            QMessageBox::warning(this, tr("Export failed"), error);
    };
    connect(png_, &QPushButton::clicked, this, [save] { save(true); });
    connect(csv_, &QPushButton::clicked, this, [save] { save(false); });

    timer_ = new QTimer(this);
    timer_->setInterval(kRedrawMs);
    connect(timer_, &QTimer::timeout, this, &PlotWindow::tick);
    timer_->start();
    resize(760, 420);
    retitle();
}

PlotWindow::~PlotWindow() = default;

plot::PlotSeries* PlotWindow::addSeries(const QString& name, const QString& unit) {
    if (plot::PlotSeries* existing = findSeries(name))
        return existing;
    series_.push_back(std::make_unique<plot::PlotSeries>(name.toStdString(), unit.toStdString()));
    QList<const plot::PlotSeries*> shown;
    for (const auto& s : series_)
        shown << s.get();
    plot_->setSeries(shown);
    retitle();
    return series_.back().get();
}

plot::PlotSeries* PlotWindow::findSeries(const QString& name) const {
    const std::string wanted = name.toStdString();
    for (const auto& s : series_) {
        if (s->name() == wanted)
            return s.get();
    }
    return nullptr;
}

void PlotWindow::retitle() {
    QStringList names;
    for (const auto& s : series_)
        names << QString::fromStdString(s->name());
    const QString title =
        names.isEmpty() ? tr("Plot") : tr("Plot: %1").arg(names.join(QStringLiteral(", ")));
    setWindowTitle(title);
    setAccessibleName(title);
}

void PlotWindow::setPaused(bool paused) {
    if (pause_->isChecked() != paused)
        pause_->setChecked(paused);
    scroll_->setEnabled(paused);
    if (paused) {
        const qint64 now = clock_();
        updateScrollRange();
        scroll_->setValue(static_cast<int>(now / kScrollUnitMs));
        plot_->setEndMs(now);
    } else {
        plot_->setEndMs(0);
    }
}

void PlotWindow::updateScrollRange() {
    qint64 oldest = clock_();
    for (const auto& s : series_) {
        if (!s->points().empty())
            oldest = std::min<qint64>(oldest, s->points().front().timeMs);
    }
    const qint64 newest = pause_->isChecked() ? plot_->endMs() : clock_();
    scroll_->setRange(static_cast<int>((oldest + plot_->windowMs()) / kScrollUnitMs),
                      static_cast<int>(std::max(newest, clock_()) / kScrollUnitMs));
    scroll_->setPageStep(static_cast<int>(plot_->windowMs() / kScrollUnitMs));
}

void PlotWindow::tick() {
    // Live, the window moves with the clock: redrawn when a value arrived or the time
    // moved by a pixel, not more often.
    if (pause_->isChecked() || series_.empty() || !isVisible())
        return;
    const qint64 now = clock_();
    const qint64 pixelMs = plot_->windowMs() / std::max(1, plot_->width());
    if (dirty_ || now - lastDrawnMs_ >= pixelMs) {
        dirty_ = false;
        lastDrawnMs_ = now;
        plot_->update();
    }
}

bool PlotWindow::exportCsv(const QString& path, QString* error) const {
    std::vector<const plot::PlotSeries*> all;
    for (const auto& s : series_)
        all.push_back(s.get());
    const qint64 end = plot_->endMs();
    const std::string text = plot::toCsv(all, end - plot_->windowMs(), end);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size()) ||
        !file.commit()) {
        *error = tr("Could not write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

bool PlotWindow::exportPng(const QString& path, QString* error) const {
    const QImage image = plot_->grab().toImage();
    if (!image.save(path, "PNG")) {
        *error = tr("Could not write the image to %1").arg(path);
        return false;
    }
    return true;
}
