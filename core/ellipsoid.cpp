#include "ellipsoid.h"

#include <GeographicLib/Geodesic.hpp>

#include <cmath>

namespace skybrant {

namespace {

double compass(double azimuth)
{
    const double a = std::fmod(azimuth, 360.0);
    return a < 0 ? a + 360 : a;
}

// The standard form of the position: entries may run past a pole
// (89 60 60), which the geodesic routines do not take.
void latLon(const Position& p, double& lat, double& lon)
{
    const GridPoint g = gridPoint(p);
    const auto perDegree = static_cast<double>(kUnitsPerDegree);
    lat = static_cast<double>(g.lat) / perDegree;
    lon = static_cast<double>(g.lon) / perDegree;
}

}  // namespace

GeodesicResult solveWgs84(const Position& own, const Position& other)
{
    double lat1 = 0;
    double lon1 = 0;
    double lat2 = 0;
    double lon2 = 0;
    latLon(own, lat1, lon1);
    latLon(other, lat2, lon2);
    double s12 = 0;
    double azi1 = 0;
    double azi2 = 0;
    GeographicLib::Geodesic::WGS84().Inverse(lat1, lon1, lat2, lon2, s12, azi1, azi2);
    // azi2 is the direction of travel on arrival; the beam back points the
    // other way.
    return {s12, compass(azi1), compass(azi2 + 180)};
}

}  // namespace skybrant
