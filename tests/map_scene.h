#pragma once

// The scene the map's tests draw: London at midwinter noon, the Atlantic
// and the Sahara in daylight, Japan in the night, New York the other
// station.

#include "core/position.h"

#include <QPoint>
#include <QPointF>

#include <chrono>
#include <cmath>

namespace skybrant::map_scene {

inline const Position kLondon = positionFromDegrees(51.5, -0.1167);
inline const Position kNewYork = positionFromDegrees(40.7, -74.0);
inline const std::chrono::sys_seconds kNoon =
    std::chrono::sys_days{std::chrono::year{2026} / std::chrono::December / 21} + std::chrono::hours{12};
inline constexpr int kSize = 600;

// The pixel holding a point of the image.
inline QPoint pixelAt(QPointF p)
{
    return {static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y()))};
}

}  // namespace skybrant::map_scene
