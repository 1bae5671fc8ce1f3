#include "core/angles.h"
#include "core/azimuthal.h"
#include "core/position.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

namespace skybrant {
namespace {

// How far apart two positions are on the ground, in degrees, for small
// differences: the longitude difference is taken in whole turns of 360
// degrees and shrinks with the cosine of the latitude.
double separation(const Position& a, const Position& b)
{
    double dLon = std::fmod(a.lonDegrees - b.lonDegrees, 360.0);
    if (dLon > 180) {
        dLon -= 360;
    } else if (dLon < -180) {
        dLon += 360;
    }
    const double east = dLon * std::cos(toRadians(a.latDegrees));
    return std::hypot(a.latDegrees - b.latDegrees, east);
}

// Area-uniform random positions over the globe.
Position randomPosition(std::mt19937_64& rng)
{
    std::uniform_real_distribution<double> z(-1, 1);
    std::uniform_real_distribution<double> lon(-180, 180);
    return positionFromDegrees(toDegrees(std::asin(z(rng))), lon(rng));
}

TEST(AzimuthalProjection, ForwardThenInverseLandsOnTheSamePosition)
{
    std::mt19937_64 rng(20260621);
    for (int i = 0; i < 20000; ++i) {
        const Position centre = randomPosition(rng);
        const Position point = randomPosition(rng);
        const AzimuthalProjection projection(centre);
        const MapPlace place = projection.forward(point);
        const std::optional<Position> back = projection.inverse(place.x, place.y);
        SCOPED_TRACE("centre " + std::to_string(centre.latDegrees) + " " + std::to_string(centre.lonDegrees) +
            ", point " + std::to_string(point.latDegrees) + " " + std::to_string(point.lonDegrees));
        ASSERT_TRUE(back.has_value());
        EXPECT_LE(separation(*back, point), 1e-9);
        EXPECT_GE(back->lonDegrees, -180);
        EXPECT_LT(back->lonDegrees, 180);
    }
}

TEST(AzimuthalProjection, HeadingAndArcAreTheComputeFlows)
{
    std::mt19937_64 rng(1963);
    for (int i = 0; i < 20000; ++i) {
        const Position centre = randomPosition(rng);
        const Position point = randomPosition(rng);
        const MapPlace place = AzimuthalProjection(centre).forward(point);
        const GreatCircleResult r = solvePositions(centre, point);
        SCOPED_TRACE("centre " + std::to_string(centre.latDegrees) + " " + std::to_string(centre.lonDegrees) +
            ", point " + std::to_string(point.latDegrees) + " " + std::to_string(point.lonDegrees));
        ASSERT_TRUE(r.hasHeadings());
        // Across the date line the map takes the short way round, where the
        // program's pi makes a turn of 360 degrees a shade more than one in
        // radians: the figures differ in their seventh decimal at most, well
        // inside the half pixel checked below.
        if (std::fabs(point.lonDegrees - centre.lonDegrees) <= 180) {
            EXPECT_EQ(place.bearing, r.headingOwnToOther);
            EXPECT_EQ(place.arc, r.centralAngle);
        }
        // The marker of the other station at 1024 pixels lies within half
        // a pixel of the compute flow's bearing and distance.
        const double radiusPixels = 512;
        const double rho = r.centralAngle / 180 * radiusPixels;
        const double theta = toRadians(r.headingOwnToOther);
        EXPECT_LE(
            std::hypot(place.x * radiusPixels - rho * std::sin(theta), place.y * radiusPixels - rho * std::cos(theta)),
            0.5);
    }
}

TEST(AzimuthalProjection, CompassDirectionsAndTheRim)
{
    struct Case {
        const char* name;
        double lat, lon;
    };
    const Case centres[] = {
        {"London", 51.5, -0.1167},
        {"Sydney", -33.85, 151.2},
        {"on the equator at the date line", 0, -180},
        {"near the north pole", 89.5, 40},
        {"near the south pole", -89.5, -100},
        {"Honolulu", 21.3, -157.86},
    };
    for (const Case& c : centres) {
        SCOPED_TRACE(c.name);
        const Position centre = positionFromDegrees(c.lat, c.lon);
        const AzimuthalProjection projection(centre);

        const MapPlace home = projection.forward(centre);
        EXPECT_EQ(home.x, 0);
        EXPECT_EQ(home.y, 0);

        // A point due north (on the same meridian, nearer the pole) is
        // straight up; due south straight down.
        const MapPlace north = projection.forward(positionFromDegrees(c.lat + 0.25, c.lon));
        EXPECT_EQ(north.x, 0);
        EXPECT_GT(north.y, 0);
        EXPECT_NEAR(north.y, 0.25 / 180, 1e-12);
        const MapPlace south = projection.forward(positionFromDegrees(c.lat - 0.25, c.lon));
        EXPECT_EQ(south.x, 0);
        EXPECT_LT(south.y, 0);

        // The antipode is the rim, and every point of the rim the antipode.
        const Position antipode = positionFromDegrees(-c.lat, c.lon + 180);
        const MapPlace far = projection.forward(antipode);
        EXPECT_EQ(std::hypot(far.x, far.y), 1);
        EXPECT_EQ(far.arc, 180);
        for (const double bearing : {0.0, 45.0, 90.0, 200.0, 315.0}) {
            const double theta = toRadians(bearing);
            const std::optional<Position> rim = projection.inverse(std::sin(theta), std::cos(theta));
            ASSERT_TRUE(rim.has_value());
            EXPECT_EQ(relatePositions(*rim, centre), StationGeometry::Antipodes);
        }

        // Just inside the rim is a real position near the antipode; outside
        // the disc is no position at all.
        const std::optional<Position> inside = projection.inverse(0, 1 - 1e-6);
        ASSERT_TRUE(inside.has_value());
        EXPECT_LT(separation(*inside, onTheGlobe(antipode)), 1e-3);
        EXPECT_FALSE(projection.inverse(0, 1 + 1e-12).has_value());
        EXPECT_FALSE(projection.inverse(0.8, -0.8).has_value());
        EXPECT_FALSE(projection.inverse(std::nan(""), 0).has_value());
    }
}

TEST(AzimuthalProjection, DistancesAlongTheMap)
{
    // From London the rings of 5,000 km are equally spaced: the radius is
    // the arc, so New York (5539 km by the compute flow) lies just past the
    // first ring, and the map's radius is half the circumference.
    const AzimuthalProjection london(positionFromDegrees(51.5, -0.1166667));
    const MapPlace newYork = london.forward(positionFromDegrees(40.7, -74));
    EXPECT_NEAR(std::hypot(newYork.x, newYork.y) * degreesOfArcToKm(180), 5539.17, 0.05);
    EXPECT_NEAR(newYork.bearing, 288.33, 0.01);
    EXPECT_LT(newYork.x, 0);  // west is to the left
    EXPECT_GT(newYork.y, 0);
}

}  // namespace
}  // namespace skybrant
