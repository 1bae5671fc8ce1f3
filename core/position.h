#pragma once

#include "great_circle.h"
#include "station.h"

#include <cstdint>

namespace skybrant {

// Exact angles: 1/9,000,000,000 of a degree. Whole arc-seconds, the centres
// of locator squares down to 10 characters and decimal degrees with up to
// nine places all land on this grid, so same place and antipodes are decided
// exactly whichever way a station was given.
inline constexpr std::int64_t kUnitsPerDegree = 9'000'000'000;
inline constexpr std::int64_t kUnitsPerArcSecond = kUnitsPerDegree / 3600;

// A station's position, north and east positive.
struct Position {
    double latDegrees = 0;  // what the great circle is solved from
    double lonDegrees = 0;
    std::int64_t latUnits = 0;  // the same, exactly, for comparisons
    std::int64_t lonUnits = 0;
};

// As the window reads its boxes: decimal degrees summed from degrees,
// minutes and seconds, the sign from the hemisphere texts.
Position positionFromEntry(const StationEntry& entry);

// One coordinate of an entry, its hemisphere already told apart.
struct EntryAngle {
    std::int32_t degrees = 0;
    std::int32_t minutes = 0;
    std::int32_t seconds = 0;
    bool negative = false;  // south or west
};

// The same for an entry whose hemispheres are already known.
Position positionFromAngles(const EntryAngle& lat, const EntryAngle& lon);

// Signed decimal degrees. Values with up to nine decimal places are exact
// on the grid; finer ones are rounded to it for the comparisons only.
Position positionFromDegrees(double latDegrees, double lonDegrees);

// A point of the grid, as locator centres are.
Position positionFromUnits(std::int64_t latUnits, std::int64_t lonUnits);

// One standard form of a position on the grid: latitude in [-90, 90]
// degrees (latitudes past a pole continue down the far side), longitude in
// [-180, 180), and longitude -180 at either pole.
struct GridPoint {
    std::int64_t lat = 0;
    std::int64_t lon = 0;
    bool operator==(const GridPoint&) const = default;
};
GridPoint gridPoint(const Position& position);

StationGeometry relatePositions(const Position& own, const Position& other);

// A latitude past a pole (89 60 60 N, or -100 degrees N) continues down the
// far side of the globe, half a turn round in longitude. The headings from
// such a point are those of the point it stands for; latitudes of at most 90
// degrees come back exactly as they are.
Position onTheGlobe(const Position& position);

// The great circle from own to other, with exact same-place and antipode
// detection; for two entries the same numbers as solveStations.
GreatCircleResult solvePositions(const Position& own, const Position& other);

}  // namespace skybrant
