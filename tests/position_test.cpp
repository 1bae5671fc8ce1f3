// Positions: the signs of entries, exact comparisons on the grid.

#include "core/angles.h"
#include "core/position.h"
#include "station_entries.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace skybrant {
namespace {

using test::at;
using test::describe;

TEST(Position, EntriesTakeTheirSignsFromTheHemispheres)
{
    struct Case {
        StationEntry entry;
        double lat, lon;
    };
    const Case cases[] = {
        {at(51, 30, 0, "N", 0, 7, 0, "W"), 51.5, -toDecimalDegrees(0, 7, 0)},
        {at(-10, 0, 0, " S ", 5, 0, 0, "e"), 10, 5},
        {at(0, 0, 0, "S", 0, 0, 0, "W"), -0.0, -0.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(describe(c.entry));
        const Position p = positionFromEntry(c.entry);
        EXPECT_EQ(p.latDegrees, c.lat);
        EXPECT_EQ(p.lonDegrees, c.lon);
        EXPECT_EQ(std::signbit(p.latDegrees), std::signbit(c.lat));
        EXPECT_EQ(std::signbit(p.lonDegrees), std::signbit(c.lon));
        // Negating before or after the conversion to radians is the same.
        EXPECT_EQ(toRadians(p.latDegrees), std::signbit(c.lat) ? -toRadians(-c.lat) : toRadians(c.lat));
    }
}

TEST(Position, AnglesWithKnownHemispheresMatchTheEntry)
{
    struct Case {
        StationEntry entry;
        bool south, west;
    };
    const Case cases[] = {
        {at(51, 30, 0, "N", 0, 7, 0, "W"), false, true},
        {at(12, 34, 56, "S", 98, 7, 6, "E"), true, false},
        {at(-10, 0, 0, " S ", 5, 0, 0, "e"), true, false},
        {at(0, 0, 0, "S", 0, 0, 0, "W"), true, true},
        {at(89, 60, 60, "N", 179, 59, 60, "W"), false, true},
        {at(2147483647, -2147483647, 5, "S", -1, 0, 2147483647, "W"), true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(describe(c.entry));
        const StationEntry& e = c.entry;
        const Position a = positionFromEntry(e);
        const Position b = positionFromAngles(
            {e.latDegrees, e.latMinutes, e.latSeconds, c.south}, {e.lonDegrees, e.lonMinutes, e.lonSeconds, c.west});
        EXPECT_EQ(std::signbit(a.latDegrees), std::signbit(b.latDegrees));
        EXPECT_EQ(std::signbit(a.lonDegrees), std::signbit(b.lonDegrees));
        EXPECT_EQ(a.latDegrees, b.latDegrees);
        EXPECT_EQ(a.lonDegrees, b.lonDegrees);
        EXPECT_EQ(a.latUnits, b.latUnits);
        EXPECT_EQ(a.lonUnits, b.lonUnits);
    }
}

TEST(Position, EntriesRelateExactlyInArcSeconds)
{
    struct Case {
        StationEntry a, b;
        StationGeometry expected;
    };
    const auto G = [](int ld, int lm, int ls, const char* ns, int od, int om, int os, const char* ew) {
        return StationEntry{ld, lm, ls, od, om, os, ns, ew};
    };
    using enum StationGeometry;
    const Case cases[] = {
        {G(51, 30, 0, "N", 0, 7, 0, "W"), G(51, 30, 0, "N", 0, 7, 0, "W"), SamePlace},
        {G(10, 0, 0, "N", 180, 0, 0, "E"), G(10, 0, 0, "N", 180, 0, 0, "W"), SamePlace},
        {G(90, 0, 0, "N", 0, 0, 0, "E"), G(90, 0, 0, "N", 123, 4, 5, "W"), SamePlace},
        {G(90, 0, 0, "S", 7, 0, 0, "E"), G(-90, 0, 0, "N", 0, 0, 0, "E"), SamePlace},
        {G(89, 60, 0, "N", 1, 0, 0, "E"), G(90, 0, 0, "N", 50, 0, 0, "E"), SamePlace},
        {G(0, 0, 3600, "N", 0, 60, 0, "E"), G(1, 0, 0, "N", 1, 0, 0, "E"), SamePlace},
        {G(-10, 0, 0, "S", 20, 0, 0, "E"), G(10, 0, 0, "N", 380, 0, 0, "E"), SamePlace},
        {G(100, 0, 0, "N", 0, 0, 0, "E"), G(80, 0, 0, "N", 180, 0, 0, "E"), SamePlace},
        {G(0, 0, 0, "N", 0, 0, 0, "E"), G(0, 0, 0, "S", 0, 0, 0, "W"), SamePlace},
        {G(10, 0, 0, "N", 20, 0, 0, "E"), G(10, 0, 0, "S", 160, 0, 0, "W"), Antipodes},
        {G(90, 0, 0, "N", 0, 0, 0, "E"), G(90, 0, 0, "S", 33, 0, 0, "E"), Antipodes},
        {G(0, 0, 0, "N", 0, 0, 0, "E"), G(0, 0, 0, "N", 180, 0, 0, "W"), Antipodes},
        {G(45, 30, 15, "N", 10, 0, 0, "W"), G(45, 30, 15, "S", 170, 0, 0, "E"), Antipodes},
        {G(10, 0, 0, "N", 20, 0, 0, "E"), G(10, 0, 0, "N", 20, 0, 1, "E"), Distinct},
        {G(10, 0, 0, "N", 20, 0, 0, "E"), G(10, 0, 0, "s", 160, 0, 0, "W"), Distinct},  // "s" is north
        {G(89, 59, 59, "N", 0, 0, 0, "E"), G(89, 59, 59, "N", 180, 0, 0, "E"), Distinct},
        {G(2147483647, 2147483647, 2147483647, "N", -2147483647 - 1, 0, 0, "W"), G(0, 0, 0, "N", 0, 0, 0, "E"),
            Distinct},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(describe(c.a, c.b));
        const Position a = positionFromEntry(c.a);
        const Position b = positionFromEntry(c.b);
        EXPECT_EQ(relatePositions(a, b), c.expected);
        EXPECT_EQ(relatePositions(b, a), c.expected);
    }
}

TEST(Position, DecimalDegreesAreExactOnTheGrid)
{
    struct Case {
        Position own, other;
        StationGeometry geometry;
        // What the solver makes of it: a tenth of a millimetre is
        // below what the cosine of the arc can hold.
        StationGeometry solved = geometry;
    };
    const Case cases[] = {
        // Sums that floating point gets wrong: 20.2 - (-159.8) is not 180.
        {positionFromDegrees(10.1, 20.2), positionFromDegrees(-10.1, -159.8), StationGeometry::Antipodes},
        {positionFromDegrees(0.123456789, 0.3), positionFromDegrees(-0.123456789, -179.7), StationGeometry::Antipodes},
        {positionFromDegrees(51.5, -0.1), positionFromEntry({51, 30, 0, 0, 6, 0, "N", "W"}),
            StationGeometry::SamePlace},
        {positionFromDegrees(0, 180), positionFromDegrees(0, -180), StationGeometry::SamePlace},
        {positionFromDegrees(90, 10), positionFromDegrees(90, -170.5), StationGeometry::SamePlace},
        {positionFromDegrees(-90, 10), positionFromDegrees(90, 10), StationGeometry::Antipodes},
        {positionFromDegrees(0.000000001, 0), positionFromDegrees(0, 0), StationGeometry::Distinct,
            StationGeometry::SamePlace},
        {positionFromDegrees(0.00001, 0), positionFromDegrees(0, 0), StationGeometry::Distinct},
        {positionFromDegrees(45, 0), positionFromEntry({45, 0, 1, 0, 0, 0, "N", "E"}), StationGeometry::Distinct},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.own.latDegrees) + " " + std::to_string(c.own.lonDegrees) + " to " +
            std::to_string(c.other.latDegrees) + " " + std::to_string(c.other.lonDegrees));
        EXPECT_EQ(relatePositions(c.own, c.other), c.geometry);
        const GreatCircleResult r = solvePositions(c.own, c.other);
        EXPECT_EQ(r.geometry, c.solved);
        EXPECT_TRUE(std::isfinite(r.headingOwnToOther) && std::isfinite(r.distanceKm));
    }
}

}  // namespace
}  // namespace skybrant
