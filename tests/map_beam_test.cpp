// The antenna's beam on the map: a sector from the centre to the rim whose
// edges stand at the bearings the compute flow gives for the places under
// them, found through the projection rather than a stored picture.
#include "map_scene.h"

#include "map/azimuthal_map.h"

#include "core/angles.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>

namespace skybrant {
namespace {

using namespace map_scene;
using Beam = AzimuthalMap::Beam;

// Far enough from an edge to be clear of its antialiased line.
constexpr double kClear = 4;

QImage withBeam(AzimuthalMap& map, double bearing, double width, Beam beam)
{
    QImage image = map.base().copy();
    QPainter painter(&image);
    map.drawBeam(painter, bearing, width, beam);
    return image;
}

// The point at a bearing and a share of the radius from the centre, moved
// sideways (clockwise positive) by some pixels: north up, east right.
QPointF pointAt(const AzimuthalMap& map, double bearing, double share, double sideways = 0)
{
    const double t = bearing * std::numbers::pi / 180;
    const QPointF along(std::sin(t), -std::cos(t));
    const QPointF clockwise(std::cos(t), std::sin(t));
    return map.centrePixel() + along * (share * map.radiusPixels()) + clockwise * sideways;
}

// The bearing the compute flow gives from the own station to the place
// the map shows at a point.
double bearingAt(const AzimuthalMap& map, QPointF point)
{
    const std::optional<Position> place = map.positionAt(point);
    EXPECT_TRUE(place.has_value());
    return place ? map.projection().forward(*place).bearing : -1;
}

bool changed(const QImage& picture, const QImage& base, QPointF at)
{
    const QPoint p = pixelAt(at);
    return picture.pixel(p) != base.pixel(p);
}

TEST(AntennaBeam, EdgesAtTheBearingsEitherSideOfTheHeading)
{
    struct Case {
        const char* name;
        double bearing;
        double width;
        int size;
    };
    const Case cases[] = {
        {"a Yagi to the north-east", 45, 60, kSize},
        {"across north", 350, 40, kSize},
        {"a heading past a turn", 370, 30, kSize},
        {"a wide beam to the south-west", 225, 120, kSize},
        {"a narrow beam on a small map", 100, 12, 300},
        {"a wide beam on a large map", 300, 90, 1400},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AzimuthalMap map(kLondon, c.size, nullptr);
        const QImage base = map.base().copy();
        const QImage filled = withBeam(map, c.bearing, c.width, Beam::Pointing);
        const QImage outlined = withBeam(map, c.bearing, c.width, Beam::Turning);
        const double first = c.bearing - c.width / 2;
        const double last = c.bearing + c.width / 2;
        for (const double share : {0.25, 0.5, 0.9}) {
            SCOPED_TRACE(share);
            // The edges lie where the projection puts their bearings.
            EXPECT_NEAR(wrap180(bearingAt(map, pointAt(map, first, share)) - first), 0, 0.05);
            EXPECT_NEAR(wrap180(bearingAt(map, pointAt(map, last, share)) - last), 0, 0.05);

            const QPointF insideFirst = pointAt(map, first, share, kClear);
            const QPointF outsideFirst = pointAt(map, first, share, -kClear);
            const QPointF insideLast = pointAt(map, last, share, -kClear);
            const QPointF outsideLast = pointAt(map, last, share, kClear);
            EXPECT_TRUE(changed(filled, base, insideFirst));
            EXPECT_TRUE(changed(filled, base, insideLast));
            EXPECT_TRUE(changed(filled, base, pointAt(map, c.bearing, share)));
            EXPECT_FALSE(changed(filled, base, outsideFirst));
            EXPECT_FALSE(changed(filled, base, outsideLast));

            // Where it is being turned to: the edges only.
            EXPECT_TRUE(changed(outlined, base, pointAt(map, first, share)));
            EXPECT_TRUE(changed(outlined, base, pointAt(map, last, share)));
            for (const QPointF& off : {insideFirst, outsideFirst, insideLast, outsideLast}) {
                EXPECT_FALSE(changed(outlined, base, off)) << off.x() << ", " << off.y();
            }
        }
        // Nothing the other way.
        EXPECT_FALSE(changed(filled, base, pointAt(map, c.bearing + 180, 0.5)));
    }
}

// A station the compute flow puts within half the width of the heading is
// under the beam; one a little further round is not.
TEST(AntennaBeam, HoldsTheStationsWithinHalfTheWidth)
{
    AzimuthalMap map(kLondon, kSize, nullptr);
    const QImage base = map.base().copy();
    const double toNewYork = map.projection().forward(kNewYork).bearing;
    struct Case {
        const char* name;
        double heading;
        bool under;
    };
    const Case cases[] = {
        {"aimed at it", toNewYork, true},
        {"just within the edge", toNewYork + 13, true},
        {"just beyond the edge", toNewYork + 17, false},
        {"aimed away", toNewYork + 180, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage filled = withBeam(map, c.heading, 30, Beam::Pointing);
        EXPECT_EQ(changed(filled, base, map.pixelOf(kNewYork)), c.under);
    }
}

TEST(AntennaBeam, WholeCircleAndNoWidth)
{
    AzimuthalMap map(kLondon, kSize, nullptr);
    const QImage base = map.base().copy();
    const QImage whole = withBeam(map, 10, 360, Beam::Pointing);
    for (int bearing = 0; bearing < 360; bearing += 15) {
        EXPECT_TRUE(changed(whole, base, pointAt(map, bearing, 0.6))) << bearing;
    }
    for (const double width : {0.0, -5.0, std::nan("")}) {
        EXPECT_EQ(withBeam(map, 10, width, Beam::Pointing), base) << width;
    }
    EXPECT_EQ(withBeam(map, std::nan(""), 60, Beam::Turning), base);
}

}  // namespace
}  // namespace skybrant
