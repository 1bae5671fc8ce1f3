// The WGS84 ellipsoid beside the program's sphere.

#include "core/ellipsoid.h"
#include "core/position.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <string>

namespace skybrant {
namespace {

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
        SCOPED_TRACE(std::to_string(c.own.latDegrees) + " " + std::to_string(c.own.lonDegrees) + " to " +
            std::to_string(c.other.latDegrees) + " " + std::to_string(c.other.lonDegrees));
        const GeodesicResult g = solveWgs84(c.own, c.other);
        EXPECT_NEAR(g.azimuthOwnToOther, c.forward, 1e-9);
        const double back = std::fmod(g.azimuthOtherToOwn + 1, 360.0) - 1;  // 360 and 0 alike
        EXPECT_NEAR(back, c.back, 1e-9);
        EXPECT_TRUE(std::isfinite(g.distanceMetres));
    }
}

// From a pole every path runs along a meridian, so on the ellipsoid as on
// the sphere the heading is the turn from the meridian the station stands on
// to the other station's: from the north pole on meridian L0 towards
// meridian L it is 180 - (L - L0), from the south pole L - L0.
TEST(Ellipsoid, HeadingsAtAPoleTurnFromTheGivenMeridian)
{
    struct Case {
        const char* name;
        Position own, other;
        double forward, back;
    };
    const Case cases[] = {
        {"north pole on 0 E", positionFromDegrees(90, 0), positionFromDegrees(50, 10), 170, 0},
        {"north pole on 90 W", positionFromDegrees(90, -90), positionFromDegrees(50, 10), 80, 0},
        {"north pole on 180 E", positionFromDegrees(90, 180), positionFromDegrees(50, 10), 350, 0},
        {"north pole from the entry fields", positionFromEntry({90, 0, 0, 30, 0, 0, "N", "E"}),
            positionFromDegrees(-20, 100), 110, 0},
        {"towards the north pole", positionFromDegrees(50, 10), positionFromDegrees(90, 0), 0, 170},
        {"south pole on 0 E", positionFromDegrees(-90, 0), positionFromDegrees(-50, 10), 10, 180},
        {"south pole on 45 E", positionFromDegrees(-90, 45), positionFromDegrees(-50, 10), 325, 180},
        {"towards the south pole", positionFromDegrees(-50, 10), positionFromDegrees(-90, 45), 180, 325},
        {"pole to pole along the other's meridian", positionFromDegrees(90, 0), positionFromDegrees(-89, 10), 170, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const GeodesicResult g = solveWgs84(c.own, c.other);
        const GreatCircleResult s = solvePositions(c.own, c.other);
        const auto near = [](double actual, double expected) {
            const double turn = std::fabs(actual - expected);
            return std::min(turn, 360 - turn);
        };
        EXPECT_LT(near(g.azimuthOwnToOther, c.forward), 1e-9) << g.azimuthOwnToOther;
        EXPECT_LT(near(g.azimuthOtherToOwn, c.back), 1e-9) << g.azimuthOtherToOwn;
        EXPECT_LT(near(s.headingOwnToOther, c.forward), 1e-6) << s.headingOwnToOther;
        EXPECT_LT(near(s.headingOtherToOwn, c.back), 1e-6) << s.headingOtherToOwn;
    }
}

// Both stations at a pole: the same pole is no distance whatever the
// longitudes, the two poles twice the WGS84 quarter meridian apart.
TEST(Ellipsoid, PoleToPoleDistances)
{
    constexpr double kQuarterMeridianMetres = 10001965.729;
    struct Case {
        const char* name;
        Position own, other;
        double metres;
    };
    const Case cases[] = {
        {"north pole on two meridians", positionFromDegrees(90, 0), positionFromDegrees(90, 120), 0},
        {"south pole on two meridians", positionFromDegrees(-90, -45), positionFromDegrees(-90, 45), 0},
        {"north to south", positionFromDegrees(90, 10), positionFromDegrees(-90, -170), 2 * kQuarterMeridianMetres},
        {"south to north", positionFromDegrees(-90, 0), positionFromDegrees(90, 0), 2 * kQuarterMeridianMetres},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(solveWgs84(c.own, c.other).distanceMetres, c.metres, 1e-3);
    }
}

}  // namespace
}  // namespace skybrant
