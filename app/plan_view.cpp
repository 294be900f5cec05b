#include "app/plan_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>
#include <QWheelEvent>
#include <cmath>

#include "app/ais_targets_model.h"
#include "targets/motion.h"
#include "targets/target_fields.h"

using targets::Field;
using targets::TargetClass;

namespace {

constexpr double kVectorHours = 0.1;  // six minutes
constexpr double kPickPixels = 8.0;

// Offset of a position from the centre on the local flat chart, in nautical miles
// (east, north).
QPointF offsetNm(double fromLat, double fromLon, double lat, double lon) {
    const targets::ChartVector offset = targets::chartOffsetNm(fromLat, fromLon, lat, lon);
    return {offset.east, offset.north};
}

QPainterPath makeSymbol(TargetClass targetClass) {
    QPainterPath path;
    switch (targetClass) {
        case TargetClass::A:
            path.moveTo(0, -9);
            path.lineTo(6, 7);
            path.lineTo(-6, 7);
            path.closeSubpath();
            break;
        case TargetClass::B:
            path.moveTo(0, -6);
            path.lineTo(4, 5);
            path.lineTo(-4, 5);
            path.closeSubpath();
            break;
        case TargetClass::BaseStation:
            path.addRect(-5, -5, 10, 10);
            break;
        case TargetClass::AtoN:
            path.moveTo(0, -6);
            path.lineTo(6, 0);
            path.lineTo(0, 6);
            path.lineTo(-6, 0);
            path.closeSubpath();
            break;
        case TargetClass::Sar:
            path.moveTo(-7, 0);
            path.lineTo(7, 0);
            path.moveTo(0, -7);
            path.lineTo(0, 7);
            path.moveTo(-4, 5);
            path.lineTo(4, 5);
            break;
        default:
            path.addEllipse(QPointF(0, 0), 4, 4);
            break;
    }
    return path;
}

const QPainterPath& symbolFor(TargetClass targetClass) {
    static const QPainterPath kSymbols[] = {
        makeSymbol(TargetClass::Unknown), makeSymbol(TargetClass::A),
        makeSymbol(TargetClass::B),       makeSymbol(TargetClass::BaseStation),
        makeSymbol(TargetClass::AtoN),    makeSymbol(TargetClass::Sar),
        makeSymbol(TargetClass::OwnShip),
    };
    return kSymbols[static_cast<int>(targetClass)];
}

}  // namespace

PlanView::PlanView(const AisTargetsModel* model, QWidget* parent) : QWidget(parent), model_(model) {
    setAccessibleName(tr("AIS plan view"));
    setMouseTracking(true);
    setMinimumSize(200, 200);
    throttle_.setSingleShot(true);
    throttle_.setInterval(kMinRepaintIntervalMs);
    connect(&throttle_, &QTimer::timeout, this, [this] {
        if (pending_) {
            repaintNow();
        }
    });
}

const std::vector<double>& PlanView::ranges() {
    static const std::vector<double> kRanges = {0.5, 0.75, 1,  1.5, 2,  3,  4,
                                                6,   8,    12, 16,  24, 32, 48};
    return kRanges;
}

void PlanView::setRange(double nm) {
    if (nm == rangeNm_) {
        return;
    }
    rangeNm_ = nm;
    emit rangeChanged(nm);
    requestRepaint();
}

void PlanView::setSelectedMmsi(quint32 mmsi) {
    if (mmsi != selected_) {
        selected_ = mmsi;
        requestRepaint();
    }
}

void PlanView::requestRepaint() {
    if (throttle_.isActive()) {
        pending_ = true;
        return;
    }
    repaintNow();
}

void PlanView::repaintNow() {
    pending_ = false;
    update();
    throttle_.start();
}

bool PlanView::targetPoint(quint32 mmsi, QPointF& point) const {
    for (const auto& [m, p] : drawn_) {
        if (m == mmsi) {
            point = p;
            return true;
        }
    }
    return false;
}

quint32 PlanView::targetAt(const QPointF& point) const {
    quint32 best = 0;
    double bestDistance = kPickPixels;
    for (const auto& [mmsi, p] : drawn_) {
        const double d = std::hypot(p.x() - point.x(), p.y() - point.y());
        if (d <= bestDistance) {
            best = mmsi;
            bestDistance = d;
        }
    }
    return best;
}

void PlanView::wheelEvent(QWheelEvent* event) {
    const std::vector<double>& list = ranges();
    auto it = std::find(list.begin(), list.end(), rangeNm_);
    int index = it == list.end() ? 7 : static_cast<int>(it - list.begin());
    // Wheel away from the user zooms in, as on a chart plotter.
    index += event->angleDelta().y() > 0 ? -1 : 1;
    index = std::clamp(index, 0, static_cast<int>(list.size()) - 1);
    setRange(list[index]);
    event->accept();
}

void PlanView::mousePressEvent(QMouseEvent* event) {
    const quint32 mmsi = targetAt(event->position());
    if (mmsi != 0) {
        setSelectedMmsi(mmsi);
        emit targetClicked(mmsi);
    }
}

void PlanView::mouseMoveEvent(QMouseEvent* event) {
    const quint32 mmsi = targetAt(event->position());
    const targets::Target* t = mmsi ? model_->table().find(mmsi) : nullptr;
    if (t == nullptr) {
        QToolTip::hideText();
        return;
    }
    const QString name = QString::fromLatin1(t->shipName);
    QToolTip::showText(event->globalPosition().toPoint(),
                       name.isEmpty()
                           ? QString::number(mmsi)
                           : name + QStringLiteral(" (") + QString::number(mmsi) + QLatin1Char(')'),
                       this);
}

void PlanView::paintEvent(QPaintEvent*) {
    ++paints_;
    drawn_.clear();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), QColor(0x10, 0x20, 0x38));

    const targets::TargetTable& table = model_->table();
    const targets::OwnShip& own = table.ownShip();
    const QPointF centre(width() / 2.0, height() / 2.0);
    const double radius = std::min(width(), height()) / 2.0 - 16.0;
    const double pixelsPerNm = radius / rangeNm_;

    // Range rings at quarters of the range, labelled on the north line.
    painter.setPen(QPen(QColor(0x40, 0x70, 0x90), 1));
    for (int ring = 1; ring <= 4; ++ring) {
        const double r = radius * ring / 4.0;
        painter.drawEllipse(centre, r, r);
        painter.drawText(centre + QPointF(3, -r - 2),
                         QString::number(rangeNm_ * ring / 4.0, 'g', 3));
    }
    painter.drawText(centre + QPointF(-4, -radius - 4), QStringLiteral("N"));

    // Without own position the view centres on the selected target, else the newest one
    // with a position: something is always shown, and nothing pretends to be own ship.
    double centreLat = 0.0;
    double centreLon = 0.0;
    bool centred = own.hasPosition;
    if (centred) {
        centreLat = own.kinematics.latitude;
        centreLon = own.kinematics.longitude;
    } else {
        const targets::Target* anchor = selected_ ? table.find(selected_) : nullptr;
        if (anchor == nullptr || !anchor->hasPosition()) {
            anchor = nullptr;
            table.forEach([&anchor](const targets::Target& t) {
                if (t.hasPosition()) {
                    anchor = &t;
                }
            });
        }
        if (anchor != nullptr) {
            centreLat = anchor->number(Field::Latitude);
            centreLon = anchor->number(Field::Longitude);
            centred = true;
        }
        painter.setPen(QColor(0xd0, 0xd0, 0x80));
        painter.drawText(QPointF(6, height() - 6), tr("No own position"));
    }
    if (!centred) {
        return;
    }
    auto toScreen = [&](QPointF nm) {
        return QPointF(centre.x() + nm.x() * pixelsPerNm, centre.y() - nm.y() * pixelsPerNm);
    };
    // Where a ship at `from` on the screen will be after the vector's time.
    auto vectorLine = [&](QPointF from, double sog, double cog) {
        const targets::ChartVector v = targets::velocityKn(sog, cog);
        return QLineF(from, from + QPointF(v.east, -v.north) * (kVectorHours * pixelsPerNm));
    };

    if (own.hasPosition) {
        painter.setPen(QPen(Qt::white, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(centre, 6, 6);
        if (own.hasMotion) {
            painter.drawLine(vectorLine(centre, own.kinematics.sog, own.kinematics.cog));
        }
    }

    // Collect first, draw second: a crowded picture (a network feed) is drawn in a few
    // batched calls without antialiasing, a plotter-sized one with full symbols.
    struct Drawn {
        const targets::Target* target;
        QPointF point;
        int colour;
    };
    enum { Normal, Stale, Dangerous, Fixed, ColourCount };
    static const QColor kColours[ColourCount] = {QColor(0x60, 0xe0, 0x60), QColor(0x80, 0x80, 0x80),
                                                 QColor(0xff, 0x40, 0x40),
                                                 QColor(0xe0, 0xc0, 0x40)};
    const qint64 now = model_->now();
    const QRectF visible = QRectF(rect()).adjusted(-10, -10, 10, 10);
    std::vector<Drawn> shown;
    table.forEach([&](const targets::Target& t) {
        if (!t.hasPosition() || t.targetClass == TargetClass::OwnShip) {
            return;
        }
        const QPointF p = toScreen(
            offsetNm(centreLat, centreLon, t.number(Field::Latitude), t.number(Field::Longitude)));
        if (!visible.contains(p)) {
            return;
        }
        int colour = Normal;
        if (table.isStale(t, now)) {
            colour = Stale;
        } else if (table.relate(t).dangerous) {
            colour = Dangerous;
        } else if (t.targetClass == TargetClass::AtoN ||
                   t.targetClass == TargetClass::BaseStation) {
            colour = Fixed;
        }
        shown.push_back({&t, p, colour});
        drawn_.emplace_back(t.mmsi, p);
    });

    auto targetVector = [&](const Drawn& d) {
        return vectorLine(d.point, d.target->number(Field::Sog), d.target->number(Field::Cog));
    };
    constexpr std::size_t kDetailedLimit = 300;
    if (shown.size() > kDetailedLimit) {
        painter.setRenderHint(QPainter::Antialiasing, false);
        for (int colour = 0; colour < ColourCount; ++colour) {
            QList<QLineF> lines;
            QList<QRectF> marks;
            for (const Drawn& d : shown) {
                if (d.colour != colour) {
                    continue;
                }
                if (d.target->has(Field::Sog) && d.target->has(Field::Cog)) {
                    lines.append(targetVector(d));
                }
                marks.append(QRectF(d.point - QPointF(2, 2), QSizeF(4, 4)));
            }
            painter.setPen(kColours[colour]);
            painter.setBrush(kColours[colour]);
            painter.drawLines(lines);
            painter.drawRects(marks);
        }
    } else {
        for (const Drawn& d : shown) {
            const targets::Target& t = *d.target;
            const QColor& colour = kColours[d.colour];
            painter.setPen(QPen(colour, 1.5));
            if (t.has(Field::Sog) && t.has(Field::Cog)) {
                painter.drawLine(targetVector(d));
            }
            const double direction = t.has(Field::Heading) ? t.number(Field::Heading)
                                     : t.has(Field::Cog)   ? t.number(Field::Cog)
                                                           : 0.0;
            painter.save();
            painter.translate(d.point);
            painter.rotate(direction);
            painter.setBrush(t.targetClass == TargetClass::Sar ? QBrush(Qt::NoBrush)
                                                               : QBrush(colour.darker(160)));
            painter.drawPath(symbolFor(t.targetClass));
            painter.restore();
        }
    }
    if (const targets::Target* t = selected_ ? table.find(selected_) : nullptr) {
        QPointF p;
        if (targetPoint(t->mmsi, p)) {
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(Qt::white, 1, Qt::DashLine));
            painter.drawRect(QRectF(p - QPointF(12, 12), QSizeF(24, 24)));
        }
    }
}
