// How the sky view draws: the place of a satellite on the polar plot and the colour
// of each constellation, shared by the plot, the signal bars and the tests.
#pragma once

#include <QColor>
#include <QPointF>
#include <QRectF>

#include "sky/constellation.h"

namespace skyview {

// The circle of the polar plot inside `area`: horizon on the rim, zenith at the centre.
QRectF plotCircle(const QRectF& area);
// Where a satellite at `elevation` and `azimuth` (degrees, north up, east right) sits.
QPointF skyPosition(const QRectF& area, double elevation, double azimuth);
QColor constellationColour(sky::Constellation system);

}  // namespace skyview
