#include "position.h"

#include "angles.h"
#include "square_centres.h"

#include <cmath>

namespace skybrant {

namespace {

constexpr std::int64_t kFullTurn = 360 * kUnitsPerDegree;
constexpr std::int64_t kHalfTurn = kFullTurn / 2;
constexpr std::int64_t kQuarterTurn = kFullTurn / 4;
constexpr std::int64_t kArcSecondsPerTurn = std::int64_t{360} * 3600;

// Entries may hold any 32-bit numbers; wrapping in arc-seconds first keeps
// the grid value inside 64 bits.
std::int64_t entryUnits(std::int32_t degrees, std::int32_t minutes, std::int32_t seconds, bool negative)
{
    std::int64_t arc = std::int64_t{degrees} * 3600 + std::int64_t{minutes} * 60 + seconds;
    if (negative) {
        arc = -arc;
    }
    return wrapTurn(arc, kArcSecondsPerTurn) * kUnitsPerArcSecond;
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
    return positionFromAngles({entry.latDegrees, entry.latMinutes, entry.latSeconds, isSouth(entry.latHemisphere)},
        {entry.lonDegrees, entry.lonMinutes, entry.lonSeconds, isWest(entry.lonHemisphere)});
}

Position positionFromAngles(const EntryAngle& lat, const EntryAngle& lon)
{
    return {
        signedDegrees(lat.degrees, lat.minutes, lat.seconds, lat.negative),
        signedDegrees(lon.degrees, lon.minutes, lon.seconds, lon.negative),
        entryUnits(lat.degrees, lat.minutes, lat.seconds, lat.negative),
        entryUnits(lon.degrees, lon.minutes, lon.seconds, lon.negative),
    };
}

Position positionFromDegrees(double latDegrees, double lonDegrees)
{
    // Any finite value: the turn is taken off before scaling so llround
    // stays in range.
    const auto gridOf = [](double degrees) {
        return std::isfinite(degrees) ? unitsOf(remainderOfTurn(degrees, 360.0)) : 0;
    };
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
    const LatLon<std::int64_t> p = foldPastPole(latUnits, lonUnits, kFullTurn);
    // Every longitude is the same place at a pole.
    const bool pole = p.lat == kQuarterTurn || p.lat == -kQuarterTurn;
    return {p.lat, pole ? -kHalfTurn : wrapTurn(p.lon + kHalfTurn, kFullTurn) - kHalfTurn};
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
    const LatLon<double> p = foldPastPole(position.latDegrees, position.lonDegrees, 360.0);
    return {p.lat, p.lon, position.latUnits, position.lonUnits};
}

GreatCircleResult solvePositions(const Position& own, const Position& other)
{
    const StationGeometry geometry = relatePositions(own, other);
    if (geometry != StationGeometry::Distinct) {
        return degenerateGreatCircle(geometry);
    }
    const Position a = onTheGlobe(own);
    const Position b = onTheGlobe(other);
    return solveGreatCircle(latitudeTrigOf(a), toRadians(a.lonDegrees), latitudeTrigOf(b), toRadians(b.lonDegrees));
}

}  // namespace skybrant
