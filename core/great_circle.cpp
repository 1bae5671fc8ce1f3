#include "great_circle.h"

#include "angles.h"

#include <cmath>

namespace skybrant {

namespace {

// Initial bearing at the first point towards the second, from the sine part
// x and cosine part y of the bearing.
double placeHeading(double x, double y)
{
    // arcsin(x) through the arctangent; rounding can push |x| to 1 or past
    // it, where the arcsine is a right angle.
    double a = 90;
    if (std::fabs(x) < 1) {
        a = std::fabs((std::atan(x / std::sqrt(1 - x * x)) * kDegreesPerHalfTurn) / kPi);
    }

    if (x > 0 && y > 0) {
        return a;
    }
    if (x > 0 && y < 0) {
        return 180 - a;
    }
    if (x < 0 && y < 0) {
        return a + 180;
    }
    if (x < 0 && y > 0) {
        return 360 - a;
    }
    // On an axis: same meridian (x = 0) or a due east/west start (y = 0).
    if (x == 0) {
        return y < 0 ? 180 : 0;
    }
    return x > 0 ? 90 : 270;
}

}  // namespace

double degreesOfArcToNauticalMiles(double degreesOfArc)
{
    return degreesOfArc * kNauticalMilesPerDegree;
}

double degreesOfArcToStatuteMiles(double degreesOfArc)
{
    return (degreesOfArcToNauticalMiles(degreesOfArc) * kFeetPerNauticalMile) / kFeetPerStatuteMile;
}

double degreesOfArcToKm(double degreesOfArc)
{
    return (degreesOfArcToStatuteMiles(degreesOfArc) * 8) / 5;
}

GreatCircleResult degenerateGreatCircle(StationGeometry geometry)
{
    GreatCircleResult r;
    r.geometry = geometry;
    if (geometry == StationGeometry::Antipodes) {
        r.cosine = -1;
        r.centralAngle = 180;
        r.distanceKm = degreesOfArcToKm(180);
    }
    return r;
}

LatitudeTrig latitudeTrig(double latRadians)
{
    return {std::sin(latRadians), std::cos(latRadians)};
}

GreatCircleResult solveGreatCircle(double latA, double lonA, double latB, double lonB)
{
    return solveGreatCircle(latitudeTrig(latA), lonA, latitudeTrig(latB), lonB);
}

GreatCircleResult solveGreatCircle(LatitudeTrig latA, double lonA, LatitudeTrig latB, double lonB)
{
    const double c = latB.sin * latA.sin + (latA.cos * latB.cos) * std::cos(lonB - lonA);
    const double s = std::sqrt(1 - c * c);
    // c of +-1 (or s of 0) after rounding: the points coincide or are
    // opposite, and neither the angle nor the headings can be divided out.
    if (!(s > 0)) {
        return degenerateGreatCircle(c > 0 ? StationGeometry::SamePlace : StationGeometry::Antipodes);
    }

    GreatCircleResult r;
    r.geometry = StationGeometry::Distinct;
    r.cosine = c;
    // arccos(c) through the arctangent; |c| squared is c squared, so s serves
    // both branches bit for bit.
    if (c < 0) {
        r.centralAngle = 180 - (std::atan(s / std::fabs(c)) * kDegreesPerHalfTurn) / kPi;
    } else if (c > 0) {
        r.centralAngle = (std::atan(s / c) * kDegreesPerHalfTurn) / kPi;
    } else {
        r.centralAngle = 90;
    }
    r.distanceKm = degreesOfArcToKm(r.centralAngle);

    const double sinDLon = std::sin(lonB - lonA);
    const double x = (sinDLon * latB.cos) / s;
    const double y = (latB.sin - latA.sin * c) / (s * latA.cos);
    r.headingOwnToOther = placeHeading(x, y);

    // sin(lonA - lonB): the sine is odd, and the library's sine keeps that
    // to the last bit, so one call serves both ways.
    const double xBack = (-sinDLon * latA.cos) / s;
    const double yBack = (latA.sin - latB.sin * c) / (s * latB.cos);
    r.headingOtherToOwn = placeHeading(xBack, yBack);
    return r;
}

}  // namespace skybrant
