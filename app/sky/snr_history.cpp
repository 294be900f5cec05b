#include "app/sky/snr_history.h"

#include <QPainter>
#include <QPainterPath>

#include "app/sky/signal_bars.h"
#include "app/sky/sky_painting.h"
#include "sky/sky_model.h"

SnrHistory::SnrHistory(const sky::SkyModel* model, QWidget* parent)
    : QWidget(parent), model_(model) {
    setAccessibleName(tr("Signal strength history"));
    setAccessibleDescription(tr("The selected satellite's signal strength over ten minutes"));
    setMinimumHeight(70);
}

void SnrHistory::setSatellite(int index) {
    index_ = index;
    update();
}

void SnrHistory::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), palette().base());
    p.setPen(palette().mid().color());
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    if (index_ < 0 || index_ >= model_->count()) {
        p.setPen(palette().text().color());
        p.drawText(rect(), Qt::AlignCenter, tr("Select a satellite to see its signal history"));
        return;
    }
    const sky::Satellite& s = model_->satellite(index_);
    const std::int64_t now = model_->now();
    const double w = width() - 2, h = height() - 18;
    auto x = [&](std::int64_t t) {
        return 1 + w * (1.0 - static_cast<double>(now - t) / sky::SkyModel::kHistoryMs);
    };
    auto y = [&](int snr) { return 16 + h * (1.0 - snr / double(SignalBars::kFullScale)); };
    QPainterPath path;
    bool open = false;
    for (int k = 0; k < s.historyCount; ++k) {
        const sky::SnrSample& sample =
            s.history[static_cast<std::size_t>((s.historyStart + k) % int(s.history.size()))];
        if (sample.snr < 0) {
            open = false;  // not tracked: a gap
            continue;
        }
        const QPointF at(x(sample.timeMs), y(sample.snr));
        if (open)
            path.lineTo(at);
        else
            path.moveTo(at);
        open = true;
    }
    p.setPen(QPen(skyview::constellationColour(s.report.system), 2));
    p.drawPath(path);
    p.setPen(palette().text().color());
    p.drawText(QRectF(4, 0, width() - 8, 16), Qt::AlignLeft | Qt::AlignVCenter,
               tr("%1 %2: last 10 min, 0-%3 dB-Hz")
                   .arg(QString::fromLatin1(sky::constellationName(s.report.system)))
                   .arg(s.report.number)
                   .arg(SignalBars::kFullScale));
}
