#pragma once

#include "position.h"

namespace skybrant {

// The geodesic on the WGS84 ellipsoid between two stations, for comparing
// with the sphere the program's headings come from.
struct GeodesicResult {
    double distanceMetres = 0;
    double azimuthOwnToOther = 0;  // degrees clockwise from north, as wrap360 gives them
    double azimuthOtherToOwn = 0;
};

GeodesicResult solveWgs84(const Position& own, const Position& other);

}  // namespace skybrant
