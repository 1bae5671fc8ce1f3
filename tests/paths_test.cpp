// Units, the long path, exact positions and the ellipsoid beside the sphere.

#include "core/ellipsoid.h"
#include "core/position.h"
#include "core/units.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace skybrant {
namespace {

TEST(Units, OneDegreeOfArcByTheProgramsRule)
{
    // 60 nautical miles of 6080 ft is 69 1/11 statute miles of 5280 ft,
    // and 8/5 of that is 110 6/11 km.
    struct Case {
        DistanceUnit unit;
        const char* symbol;
        double degree, circumference;
    };
    const Case cases[] = {
        {DistanceUnit::Kilometres, "km", 110.0 + 6.0 / 11, 360 * (110.0 + 6.0 / 11)},
        {DistanceUnit::StatuteMiles, "mi", 69.0 + 1.0 / 11, 360 * (69.0 + 1.0 / 11)},
        {DistanceUnit::NauticalMiles, "nmi", 60, 21600},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(unitSymbol(c.unit), c.symbol);
        EXPECT_EQ(unitFromSymbol(c.symbol), c.unit);
        EXPECT_NEAR(arcToDistance(1, c.unit), c.degree, 1e-12);
        EXPECT_NEAR(circumference(c.unit), c.circumference, 1e-9);
    }
    EXPECT_EQ(arcToDistance(50.10759, DistanceUnit::Kilometres), degreesOfArcToKm(50.10759));
    for (const char* bad : {"", "KM", "miles", "nm", "km "}) {
        EXPECT_FALSE(unitFromSymbol(bad).has_value()) << bad;
    }
}

TEST(LongPath, AddsUpToTheCircumferenceAndTurnsHalfRound)
{
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> lat(-90, 90);
    std::uniform_real_distribution<double> lon(-180, 180);
    for (int i = 0; i < 20000; ++i) {
        const GreatCircleResult r =
            solvePositions(positionFromDegrees(lat(rng), lon(rng)), positionFromDegrees(lat(rng), lon(rng)));
        for (const DistanceUnit unit :
            {DistanceUnit::Kilometres, DistanceUnit::StatuteMiles, DistanceUnit::NauticalMiles}) {
            const double shortWay = arcToDistance(r.centralAngle, unit);
            const double longWay = longPathDistance(shortWay, unit);
            EXPECT_DOUBLE_EQ(shortWay + longWay, circumference(unit));
            EXPECT_GE(longWay, shortWay);
        }
        const double heading = longPathHeading(r.headingOwnToOther);
        EXPECT_GE(heading, 0);
        EXPECT_LT(heading, 360);
        EXPECT_NEAR(std::fmod(heading - r.headingOwnToOther + 360, 360.0), 180, 1e-9);
    }
    struct Case {
        double heading, longWay;
    };
    for (const Case c : {Case{0, 180}, Case{90, 270}, Case{180, 0}, Case{359.75, 179.75}, Case{360, 180}}) {
        EXPECT_EQ(longPathHeading(c.heading), c.longWay) << c.heading;
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
        EXPECT_EQ(relatePositions(c.own, c.other), c.geometry) << c.own.latDegrees << " " << c.own.lonDegrees;
        const GreatCircleResult r = solvePositions(c.own, c.other);
        EXPECT_EQ(r.geometry, c.solved);
        EXPECT_TRUE(std::isfinite(r.headingOwnToOther) && std::isfinite(r.distanceKm));
    }
}

// The sphere's shape against WGS84: the arc on a sphere of the mean earth
// radius stays within 0.6 % of the geodesic. The program's own kilometres
// (60 nautical miles of 6080 ft a degree, 1.6 km a mile) make that sphere
// about 0.58 % smaller, so its distances run short by up to about 1.1 %.
TEST(Ellipsoid, SphereAgreesWithWgs84)
{
    constexpr double kMeanRadiusKm = 6371.0088;
    std::mt19937_64 rng(42);
    std::uniform_real_distribution<double> z(-1, 1);
    std::uniform_real_distribution<double> lon(-180, 180);
    const auto latitude = [&] { return std::asin(z(rng)) * 180 / std::numbers::pi; };
    double worstShape = 0;
    double shortest = 1;
    double longest = 0;
    for (int i = 0; i < 20000; ++i) {
        const Position a = positionFromDegrees(latitude(), lon(rng));
        const Position b = positionFromDegrees(latitude(), lon(rng));
        const GeodesicResult g = solveWgs84(a, b);
        const GreatCircleResult s = solvePositions(a, b);
        const double km = g.distanceMetres / 1000;
        if (km < 1) {
            continue;
        }
        const double sphereKm = s.centralAngle * std::numbers::pi / 180 * kMeanRadiusKm;
        worstShape = std::max(worstShape, std::fabs(sphereKm / km - 1));
        const double ratio = s.distanceKm / km;
        shortest = std::min(shortest, ratio);
        longest = std::max(longest, ratio);
        // Away from the antipodes the two agree on the heading to within a
        // degree, and both stay on the compass.
        EXPECT_GE(g.azimuthOwnToOther, 0);
        EXPECT_LT(g.azimuthOwnToOther, 360);
        if (km < 10000) {
            const double turn = std::fabs(g.azimuthOwnToOther - s.headingOwnToOther);
            EXPECT_LT(std::min(turn, 360 - turn), 1.0) << km;
        }
    }
    EXPECT_LT(worstShape, 0.006);
    EXPECT_GT(shortest, 0.989);
    EXPECT_LT(longest, 1.0);
}

TEST(Ellipsoid, HeadingBackPointsAlongTheArrival)
{
    struct Case {
        Position own, other;
        double forward, back;
    };
    const Case cases[] = {
        {positionFromDegrees(0, 0), positionFromDegrees(0, 10), 90, 270},
        {positionFromDegrees(0, 0), positionFromDegrees(10, 0), 0, 180},
        {positionFromDegrees(10, 0), positionFromDegrees(0, 0), 180, 0},
        // Latitude past the pole: 90 0 60 N at 0 E is 89 59' N at 180 E.
        {positionFromEntry({90, 0, 60, 0, 0, 0, "N", "E"}), positionFromDegrees(0, 180), 180, 0},
    };
    for (const auto& c : cases) {
        const GeodesicResult g = solveWgs84(c.own, c.other);
        EXPECT_NEAR(g.azimuthOwnToOther, c.forward, 1e-9);
        const double back = std::fmod(g.azimuthOtherToOwn + 1, 360.0) - 1;  // 360 and 0 alike
        EXPECT_NEAR(back, c.back, 1e-9);
        EXPECT_TRUE(std::isfinite(g.distanceMetres));
    }
}

}  // namespace
}  // namespace skybrant
