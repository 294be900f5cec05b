#include "app/sky/sky_painting.h"

#include <QtMath>
#include <algorithm>

namespace skyview {

QRectF plotCircle(const QRectF& area) {
    const double margin = 18;  // room for the N, E, S, W letters
    const double side = std::max(0.0, std::min(area.width(), area.height()) - 2 * margin);
    return QRectF(area.center().x() - side / 2, area.center().y() - side / 2, side, side);
}

QPointF skyPosition(const QRectF& area, double elevation, double azimuth) {
    const QRectF circle = plotCircle(area);
    const double radius = circle.width() / 2 * (90.0 - std::clamp(elevation, 0.0, 90.0)) / 90.0;
    const double angle = qDegreesToRadians(azimuth);
    return {circle.center().x() + radius * std::sin(angle),
            circle.center().y() - radius * std::cos(angle)};
}

QColor constellationColour(sky::Constellation system) {
    switch (system) {
        case sky::Constellation::Gps:
            return QColor(0x1f, 0x77, 0xb4);
        case sky::Constellation::Glonass:
            return QColor(0xd6, 0x27, 0x28);
        case sky::Constellation::Galileo:
            return QColor(0x2c, 0xa0, 0x2c);
        case sky::Constellation::BeiDou:
            return QColor(0xff, 0x7f, 0x0e);
        case sky::Constellation::Qzss:
            return QColor(0x94, 0x67, 0xbd);
        case sky::Constellation::NavIC:
            return QColor(0x8c, 0x56, 0x4b);
        case sky::Constellation::Sbas:
            return QColor(0x17, 0xbe, 0xcf);
        case sky::Constellation::Other:
            break;
    }
    return QColor(0x7f, 0x7f, 0x7f);
}

}  // namespace skyview
