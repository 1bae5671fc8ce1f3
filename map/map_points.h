#pragma once

#include "core/position.h"

#include <QRgb>
#include <QString>

#include <span>

namespace skybrant {

// A place marked on the map: a worked station or a spot.
struct MapPoint {
    Position position;
    QRgb colour = 0xff808080;
    // 1 for a full marker, less for one fading out, 0 for none at all.
    float opacity = 1;
    // Drawn beside the marker where no earlier label stands.
    QString label;
};

// A dot for a worked station, a diamond for a spot.
enum class PointShape { Dot, Diamond };

// One layer of points in one shape, the most important point first.
struct PointSet {
    std::span<const MapPoint> points;
    PointShape shape = PointShape::Dot;
};

}  // namespace skybrant
