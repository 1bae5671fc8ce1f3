#include "azimuthal.h"

#include "angles.h"

#include <cmath>
#include <numbers>

namespace skybrant {

namespace {

// The compute flow turns each arctangent into degrees with the program's pi
// and then adds or takes it from whole half turns in degrees; undoing those
// two steps exactly gives the true angle on the sphere, in radians.
double trueAngle(double degrees)
{
    constexpr double pi = std::numbers::pi;
    if (degrees <= 90) {
        return toRadians(degrees);
    }
    if (degrees <= 180) {
        return pi - toRadians(180 - degrees);
    }
    if (degrees <= 270) {
        return pi + toRadians(degrees - 180);
    }
    return 2 * pi - toRadians(360 - degrees);
}

}  // namespace

MapPlace AzimuthalProjection::placeAlong(double bearing, double arc)
{
    const double rho = trueAngle(arc) / std::numbers::pi;
    const double theta = trueAngle(bearing);
    // The four compass points stay exactly on the axes.
    const double x = bearing == 0 || bearing == 180 ? 0 : rho * std::sin(theta);
    const double y = bearing == 90 || bearing == 270 ? 0 : rho * std::cos(theta);
    return {bearing, arc, x, y};
}

AzimuthalProjection::AzimuthalProjection(const Position& centre)
    : centre_(onTheGlobe(centre)), sinLat_(std::sin(toRadians(centre_.latDegrees))),
      cosLat_(std::cos(toRadians(centre_.latDegrees)))
{
    centre_.lonDegrees = wrapLongitude(centre_.lonDegrees);
}

MapPlace AzimuthalProjection::forward(const Position& point) const
{
    switch (relatePositions(centre_, point)) {
    case StationGeometry::SamePlace:
        return placeAlong(0, 0);
    case StationGeometry::Antipodes:
        return placeAlong(0, kDegreesPerHalfTurn);
    case StationGeometry::Distinct:
        break;
    }
    const Position p = onTheGlobe(point);
    double lon = p.lonDegrees;
    if (lon - centre_.lonDegrees > 180) {
        lon -= 360 * std::ceil((lon - centre_.lonDegrees - 180) / 360);
    } else if (lon - centre_.lonDegrees < -180) {
        lon += 360 * std::ceil((centre_.lonDegrees - lon - 180) / 360);
    }
    const GreatCircleResult r = solveGreatCircle(
        toRadians(centre_.latDegrees), toRadians(centre_.lonDegrees), toRadians(p.latDegrees), toRadians(lon));
    // Rounding can leave a point very near the centre or its antipode with
    // no heading; it lies at the centre or on the rim all the same.
    return placeAlong(r.hasHeadings() ? r.headingOwnToOther : 0, r.centralAngle);
}

std::optional<AzimuthalProjection::GlobeVector> AzimuthalProjection::toGlobe(double x, double y) const
{
    // Inside the unit disc nothing can overflow: no need for hypot's care,
    // which would cost a whole map a tenth of its drawing time.
    const double rho = std::sqrt(x * x + y * y);
    if (!(rho <= 1)) {
        return std::nullopt;
    }
    if (rho == 0) {
        return GlobeVector{cosLat_, 0, sinLat_};
    }
    const double d = rho * std::numbers::pi;
    const double sinD = std::sin(d);
    const double cosD = std::cos(d);
    // The point is cos d along the centre plus sin d along its heading,
    // split into north and east.
    const double north = sinD * (y / rho);
    const double east = sinD * (x / rho);
    return GlobeVector{cosD * cosLat_ - north * sinLat_, east, cosD * sinLat_ + north * cosLat_};
}

std::optional<Position> AzimuthalProjection::inverse(double x, double y) const
{
    const std::optional<GlobeVector> v = toGlobe(x, y);
    if (!v) {
        return std::nullopt;
    }
    if (std::hypot(x, y) == 1) {
        return positionFromDegrees(-centre_.latDegrees, wrapLongitude(centre_.lonDegrees + 180));
    }
    if (x == 0 && y == 0) {
        return positionFromDegrees(centre_.latDegrees, centre_.lonDegrees);
    }
    // The arctangents keep full precision at the poles.
    const double lat = toDegrees(std::atan2(v->z, std::hypot(v->x, v->y)));
    const double lon = centre_.lonDegrees + toDegrees(std::atan2(v->y, v->x));
    return positionFromDegrees(lat, wrapLongitude(lon));
}

}  // namespace skybrant
