#pragma once

#include "station.h"

namespace skybrant {

// Kilometres per degree of arc: 60 nautical miles of 6080 feet, converted to
// statute miles of 5280 feet, at 8/5 km per statute mile.
inline constexpr double kNauticalMilesPerDegree = 60;
inline constexpr double kFeetPerNauticalMile = 6080;
inline constexpr double kFeetPerStatuteMile = 5280;

double degreesOfArcToNauticalMiles(double degreesOfArc);
double degreesOfArcToStatuteMiles(double degreesOfArc);
double degreesOfArcToKm(double degreesOfArc);

struct GreatCircleResult {
    double cosine = 1;  // c, cosine of the central angle
    double centralAngle = 0;  // D, degrees, 0 to 180
    double distanceKm = 0;  // unrounded
    // Degrees clockwise from north. On an axis of the heading formula (the
    // same meridian, or a start due east or west) they are the true bearing
    // along that axis.
    double headingOwnToOther = 0;
    double headingOtherToOwn = 0;
    // SamePlace and Antipodes carry no headings: from the same place there is
    // no direction, towards the antipode every direction leads there.
    StationGeometry geometry = StationGeometry::SamePlace;

    bool hasHeadings() const { return geometry == StationGeometry::Distinct; }
};

// Great circle between two signed positions in radians (own station first).
// A pure function of its inputs; never yields a NaN or an infinity.
GreatCircleResult solveGreatCircle(double latA, double lonA, double latB, double lonB);

// A latitude by its sine and cosine, for callers that have them at hand.
struct LatitudeTrig {
    double sin = 0;
    double cos = 1;
};
LatitudeTrig latitudeTrig(double latRadians);

// The same great circle from the latitudes' sines and cosines; bit for bit
// what the radians would give.
GreatCircleResult solveGreatCircle(LatitudeTrig latA, double lonA, LatitudeTrig latB, double lonB);

// The result for stations known to be at the same place or at antipodes.
GreatCircleResult degenerateGreatCircle(StationGeometry geometry);

}  // namespace skybrant
