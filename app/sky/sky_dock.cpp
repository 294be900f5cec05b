#include "app/sky/sky_dock.h"

#include <QComboBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/sky/signal_bars.h"
#include "app/sky/sky_painting.h"
#include "app/sky/sky_plot.h"
#include "app/sky/snr_history.h"

namespace {

QString qualityText(int quality) {
    static const char* const names[] = {"invalid",   "GNSS fix",  "differential",   "PPS",
                                        "RTK fixed", "RTK float", "dead reckoning", "manual input",
                                        "simulation"};
    if (quality < 0)
        return QObject::tr("not known");
    if (quality < static_cast<int>(std::size(names)))
        return QObject::tr(names[quality]);
    return QString::number(quality);
}

QString modeText(int mode) {
    switch (mode) {
        case 1:
            return QObject::tr("no fix");
        case 2:
            return QObject::tr("2D");
        case 3:
            return QObject::tr("3D");
        default:
            return QObject::tr("not known");
    }
}

QString dopText(double dop) {
    return dop > 0 ? QString::number(dop, 'f', 1) : QObject::tr("-");
}

QString satelliteName(const sky::SatelliteReport& r) {
    QString name = QStringLiteral("%1 %2")
                       .arg(QString::fromLatin1(sky::constellationName(r.system)))
                       .arg(r.number);
    if (r.signal != 0)
        name += QObject::tr(" signal %1").arg(r.signal, 0, 16).toUpper();
    return name;
}

}  // namespace

SkyDock::SkyDock(QWidget* parent)
    : SkyDock([] { return QDateTime::currentMSecsSinceEpoch(); }, parent) {}

SkyDock::SkyDock(sky::SkyModel::Clock clock, QWidget* parent)
    : QDockWidget(tr("Sky View"), parent),
      model_(std::make_unique<sky::SkyModel>(std::move(clock))) {
    setObjectName(QStringLiteral("skyDock"));
    setAccessibleName(tr("Sky View"));
    auto* body = new QWidget(this);
    body->setAccessibleName(tr("Sky view"));
    plot_ = new SkyPlot(model_.get(), body);
    bars_ = new SignalBars(model_.get(), body);
    history_ = new SnrHistory(model_.get(), body);
    chooser_ = new QComboBox(body);
    chooser_->setAccessibleName(tr("Satellite"));
    chooser_->setAccessibleDescription(tr("The satellite whose signal history is shown"));
    fixLabel_ = new QLabel(body);
    qualityLabel_ = new QLabel(body);
    dopLabel_ = new QLabel(body);
    countLabel_ = new QLabel(body);
    auto* legend = new QLabel(body);
    QString legendText;
    QStringList legendNames;
    for (int c = 0; c < sky::kConstellationCount - 1; ++c) {
        const auto system = static_cast<sky::Constellation>(c);
        const QString name = QString::fromLatin1(sky::constellationName(system));
        legendText += QStringLiteral("<span style=\"color:%1\">&#9632;</span>&nbsp;%2<br>")
                          .arg(skyview::constellationColour(system).name(), name);
        legendNames << name;
    }
    legend->setText(legendText);
    legend->setAccessibleName(tr("Legend"));
    legend->setAccessibleDescription(tr("Colours of the constellations: %1; filled: tracked, "
                                        "hollow: not tracked, ringed: used in the fix")
                                         .arg(legendNames.join(QStringLiteral(", "))));

    auto* side = new QVBoxLayout;
    for (QLabel* label : {fixLabel_, qualityLabel_, dopLabel_, countLabel_})
        side->addWidget(label);
    side->addSpacing(8);
    side->addWidget(legend);
    side->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(plot_, 1);
    top->addLayout(side);
    auto* layout = new QVBoxLayout(body);
    layout->addLayout(top, 3);
    layout->addWidget(bars_, 1);
    layout->addWidget(chooser_);
    layout->addWidget(history_, 1);
    setWidget(body);

    auto select = [this](int index) { selectSatellite(index); };
    connect(plot_, &SkyPlot::satelliteClicked, this, select);
    connect(bars_, &SignalBars::satelliteClicked, this, select);
    connect(chooser_, &QComboBox::activated, this, [this](int row) { selectSatellite(row - 1); });
    timer_.setInterval(kRefreshMs);
    connect(&timer_, &QTimer::timeout, this, &SkyDock::refresh);
    timer_.start();
    refresh();
}

SkyDock::~SkyDock() = default;

void SkyDock::setLabel(QLabel* label, const QString& purpose, const QString& value) {
    const QString text = QStringLiteral("%1: %2").arg(purpose, value);
    if (label->text() != text) {
        label->setText(text);
        label->setAccessibleName(text);
    }
}

void SkyDock::selectSatellite(int index) {
    hasSelection_ = index >= 0 && index < model_->count();
    if (hasSelection_)
        selected_ = model_->satellite(index).report;
    shownRevision_ = ~std::uint64_t{0};
    refresh();
}

void SkyDock::refresh() {
    model_->expire();
    bool fading = false;
    for (int i = 0; i < model_->count() && !fading; ++i)
        fading = model_->opacity(i) < 1.0;
    int selectedIndex = -1;
    for (int i = 0; hasSelection_ && i < model_->count(); ++i) {
        const sky::SatelliteReport& r = model_->satellite(i).report;
        if (r.system == selected_.system && r.number == selected_.number &&
            r.signal == selected_.signal)
            selectedIndex = i;
    }
    const bool changed = model_->revision() != shownRevision_;
    if (changed) {
        shownRevision_ = model_->revision();
        const sky::FixInfo& fix = model_->fix();
        const sky::Dops& dops = model_->dops();
        setLabel(fixLabel_, tr("Fix"), modeText(fix.mode));
        setLabel(qualityLabel_, tr("Quality"), qualityText(fix.quality));
        setLabel(dopLabel_, tr("PDOP / HDOP / VDOP"),
                 QStringLiteral("%1 / %2 / %3")
                     .arg(dopText(dops.pdop), dopText(dops.hdop), dopText(dops.vdop)));
        setLabel(countLabel_, tr("Satellites in view / in use"),
                 QStringLiteral("%1 / %2").arg(model_->inView()).arg(model_->inUse()));
        QStringList names{tr("(none)")};
        for (int i = 0; i < model_->count(); ++i)
            names << satelliteName(model_->satellite(i).report);
        bool same = chooser_->count() == names.size();
        for (int i = 0; same && i < names.size(); ++i)
            same = chooser_->itemText(i) == names[i];
        if (!same) {
            chooser_->clear();
            chooser_->addItems(names);
        }
        chooser_->setCurrentIndex(selectedIndex + 1);
        plot_->setAccessibleDescription(
            tr("%1 satellites in view, %2 in use").arg(model_->inView()).arg(model_->inUse()));
    }
    plot_->setSelected(selectedIndex);
    bars_->setSelected(selectedIndex);
    history_->setSatellite(selectedIndex);
    if (changed || fading) {
        plot_->update();
        bars_->update();
    }
}
