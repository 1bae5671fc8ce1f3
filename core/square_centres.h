#pragma once

#include "great_circle.h"
#include "position.h"

#include <cstddef>
#include <cstdint>

namespace skybrant {

// Six-character locators cut the globe into 4320 columns of 5 minutes of
// longitude and 4320 rows of 2.5 minutes of latitude. A batch of locators
// meets the same few thousand middles again and again, so their degrees,
// and the sines and cosines of the rows' latitudes, are worked out once.
inline constexpr std::size_t kSquareColumns = std::size_t{18} * 10 * 24;
inline constexpr std::size_t kSquareRows = std::size_t{18} * 10 * 24;
inline constexpr std::int64_t kSquareWidth = 360 * kUnitsPerDegree / static_cast<std::int64_t>(kSquareColumns);
inline constexpr std::int64_t kSquareHeight = 180 * kUnitsPerDegree / static_cast<std::int64_t>(kSquareRows);

// The centre of the square in that column (from 180 W) and row (from 90 S),
// exactly as positionFromUnits gives it. Both must be below 4320.
Position squareCentre(std::size_t column, std::size_t row);

// The sine and cosine of the position's latitude in radians; from the table
// when it is the middle of a row.
LatitudeTrig latitudeTrigOf(const Position& position);

// numberText of a latitude or a longitude in degrees, whose units place it
// on the grid, written at out (at most kNumberTextCapacity bytes); returns
// its end. The middles of rows and columns are written once, then copied.
char* writeLatitudeText(char* out, std::int64_t latUnits, double latDegrees);
char* writeLongitudeText(char* out, std::int64_t lonUnits, double lonDegrees);

}  // namespace skybrant
