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

}  // namespace
}  // namespace skybrant
