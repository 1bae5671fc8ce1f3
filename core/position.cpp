#include "position.h"

#include "angles.h"

#include <cmath>

namespace skybrant {

namespace {

constexpr std::int64_t kFullTurn = 360 * kUnitsPerDegree;
constexpr std::int64_t kHalfTurn = kFullTurn / 2;
constexpr std::int64_t kQuarterTurn = kFullTurn / 4;
constexpr std::int64_t kArcSecondsPerTurn = std::int64_t{360} * 3600;

std::int64_t wrap(std::int64_t value, std::int64_t turn)
{
    const std::int64_t r = value % turn;
    return r < 0 ? r + turn : r;
}

// Entries may hold any 32-bit numbers; wrapping in arc-seconds first keeps
// the grid value inside 64 bits.
std::int64_t entryUnits(std::int32_t degrees, std::int32_t minutes, std::int32_t seconds, bool negative)
{
    std::int64_t arc = std::int64_t{degrees} * 3600 + std::int64_t{minutes} * 60 + seconds;
    if (negative) {
        arc = -arc;
    }
    return wrap(arc, kArcSecondsPerTurn) * kUnitsPerArcSecond;
}

double signedDegrees(std::int32_t degrees, std::int32_t minutes, std::int32_t seconds, bool negative)
{
    const double d = toDecimalDegrees(degrees, minutes, seconds);
    return negative ? -d : d;
}

std::int64_t unitsOf(double degrees)
{
    return std::llround(degrees * static_cast<double>(kUnitsPerDegree));
}

}  // namespace

Position positionFromEntry(const StationEntry& entry)
{
    const bool south = isSouth(entry.latHemisphere);
    const bool west = isWest(entry.lonHemisphere);
    return {
        signedDegrees(entry.latDegrees, entry.latMinutes, entry.latSeconds, south),
        signedDegrees(entry.lonDegrees, entry.lonMinutes, entry.lonSeconds, west),
        entryUnits(entry.latDegrees, entry.latMinutes, entry.latSeconds, south),
        entryUnits(entry.lonDegrees, entry.lonMinutes, entry.lonSeconds, west),
    };
}

Position positionFromDegrees(double latDegrees, double lonDegrees)
{
    // Any finite value: the turn is taken off before scaling so llround
    // stays in range.
    const auto gridOf = [](double degrees) { return std::isfinite(degrees) ? unitsOf(std::fmod(degrees, 360.0)) : 0; };
    return {latDegrees, lonDegrees, gridOf(latDegrees), gridOf(lonDegrees)};
}

Position positionFromUnits(std::int64_t latUnits, std::int64_t lonUnits)
{
    const auto perDegree = static_cast<double>(kUnitsPerDegree);
    return {static_cast<double>(latUnits) / perDegree, static_cast<double>(lonUnits) / perDegree, latUnits, lonUnits};
}

namespace {

GridPoint gridPointOf(std::int64_t latUnits, std::int64_t lonUnits)
{
    std::int64_t lat = wrap(latUnits, kFullTurn);
    std::int64_t lon = lonUnits;
    if (lat > kQuarterTurn && lat < 3 * kQuarterTurn) {
        lat = kHalfTurn - lat;
        lon += kHalfTurn;
    } else if (lat >= 3 * kQuarterTurn) {
        lat -= kFullTurn;
    }
    lon = (lat == kQuarterTurn || lat == -kQuarterTurn) ? 0 : wrap(lon + kHalfTurn, kFullTurn);
    return {lat, lon - kHalfTurn};
}

}  // namespace

GridPoint gridPoint(const Position& position)
{
    return gridPointOf(position.latUnits, position.lonUnits);
}

StationGeometry relatePositions(const Position& own, const Position& other)
{
    const GridPoint a = gridPoint(own);
    const GridPoint b = gridPoint(other);
    if (a == b) {
        return StationGeometry::SamePlace;
    }
    if (a == gridPointOf(-b.lat, b.lon + kHalfTurn)) {
        return StationGeometry::Antipodes;
    }
    return StationGeometry::Distinct;
}

Position onTheGlobe(const Position& position)
{
    double lat = position.latDegrees;
    if (!(std::fabs(lat) > 90)) {
        return position;
    }
    double lon = position.lonDegrees;
    lat = std::fmod(lat, 360.0);
    if (lat > 180) {
        lat -= 360;
    } else if (lat < -180) {
        lat += 360;
    }
    if (lat > 90 || lat < -90) {
        lat = (lat > 0 ? 180 : -180) - lat;
        lon = std::fmod(lon, 360.0) + 180;
    }
    return {lat, lon, position.latUnits, position.lonUnits};
}

GreatCircleResult solvePositions(const Position& own, const Position& other)
{
    const StationGeometry geometry = relatePositions(own, other);
    if (geometry != StationGeometry::Distinct) {
        return degenerateGreatCircle(geometry);
    }
    const Position a = onTheGlobe(own);
    const Position b = onTheGlobe(other);
    return solveGreatCircle(
        toRadians(a.latDegrees), toRadians(a.lonDegrees), toRadians(b.latDegrees), toRadians(b.lonDegrees));
}

}  // namespace skybrant
