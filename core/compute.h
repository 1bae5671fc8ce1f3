#pragma once

#include "great_circle.h"
#include "station.h"

#include <string>
#include <string_view>

namespace skybrant {

// Display rounding: the distance to one decimal and headings to whole
// degrees, halves upward (so 359.5 shows as 360).
double roundDistance(double km);
double roundHeading(double degrees);

// The three texts a press of the compute button shows. A heading text is
// empty when there is no heading (same place, antipodes).
struct ComputedTexts {
    std::string distance;  // txtAB3, km
    std::string ownToOther;  // txtBA, degrees
    std::string otherToOwn;  // txtAB, degrees
    GreatCircleResult result;
};

// The whole compute flow: convert both stations, solve the great circle
// (the own station first) and turn the results into display texts with the
// given decimal separator.
ComputedTexts computeTexts(const StationEntry& own, const StationEntry& other, std::string_view decimalSeparator = ".");

// The great circle alone, with the exact same-place and antipode detection.
GreatCircleResult solveStations(const StationEntry& own, const StationEntry& other);

// A sentence for the operator about a result with no headings; empty for
// an ordinary result.
std::string_view geometryNote(StationGeometry geometry);

}  // namespace skybrant
