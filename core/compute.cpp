#include "compute.h"

#include "number_text.h"
#include "position.h"

#include <cmath>

namespace skybrant {

double roundDistance(double km)
{
    return std::floor(km * 10 + 0.5) / 10;
}

double roundHeading(double degrees)
{
    return std::floor(degrees + 0.5);
}

GreatCircleResult solveStations(const StationEntry& own, const StationEntry& other)
{
    return solvePositions(positionFromEntry(own), positionFromEntry(other));
}

ComputedTexts computeTexts(const StationEntry& own, const StationEntry& other, std::string_view decimalSeparator)
{
    ComputedTexts t;
    t.result = solveStations(own, other);
    t.distance = numberText(roundDistance(t.result.distanceKm), decimalSeparator);
    if (t.result.hasHeadings()) {
        t.ownToOther = numberText(roundHeading(t.result.headingOwnToOther), decimalSeparator);
        t.otherToOwn = numberText(roundHeading(t.result.headingOtherToOwn), decimalSeparator);
    }
    return t;
}

std::string_view geometryNote(StationGeometry geometry)
{
    switch (geometry) {
    case StationGeometry::SamePlace:
        return "Both stations are at the same place, so there is no beam heading.";
    case StationGeometry::Antipodes:
        return "The stations are at opposite points of the globe: every beam heading leads there.";
    case StationGeometry::Distinct:
        break;
    }
    return {};
}

}  // namespace skybrant
