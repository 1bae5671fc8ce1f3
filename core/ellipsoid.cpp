#include "ellipsoid.h"

#include "angles.h"

#include <GeographicLib/Geodesic.hpp>

namespace skybrant {

namespace {

// The standard form of the position: entries may run past a pole
// (89 60 60), which the geodesic routines do not take. At a pole the
// headings are measured from the meridian the station was given on, as the
// sphere measures them, so the longitude stays as given there.
Position standard(const Position& p)
{
    GridPoint g = gridPoint(p);
    if (g.lat == 90 * kUnitsPerDegree || g.lat == -90 * kUnitsPerDegree) {
        g.lon = gridPoint(positionFromUnits(0, p.lonUnits)).lon;
    }
    return positionFromUnits(g.lat, g.lon);
}

}  // namespace

GeodesicResult solveWgs84(const Position& own, const Position& other)
{
    const Position a = standard(own);
    const Position b = standard(other);
    double s12 = 0;
    double azi1 = 0;
    double azi2 = 0;
    GeographicLib::Geodesic::WGS84().Inverse(a.latDegrees, a.lonDegrees, b.latDegrees, b.lonDegrees, s12, azi1, azi2);
    // azi2 is the direction of travel on arrival; the beam back points the
    // other way.
    return {s12, wrap360(azi1), wrap360(azi2 + 180)};
}

}  // namespace skybrant
