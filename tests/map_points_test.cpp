// Points on the map: each marker at the pixel the projection gives its
// place, labels left out where they would cover one already placed, a
// fading point fainter, and every band in a colour of its own.
#include "map_scene.h"

#include "map/azimuthal_map.h"
#include "map/band_colours.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>
#include <vector>

namespace skybrant {
namespace {

using namespace map_scene;

QImage withPoints(AzimuthalMap& map, std::span<const PointSet> layers)
{
    QImage image = map.base().copy();
    QPainter painter(&image);
    map.drawPoints(painter, layers);
    return image;
}

QImage withPoints(AzimuthalMap& map, const std::vector<MapPoint>& points, PointShape shape = PointShape::Dot)
{
    const PointSet layers[] = {{points, shape}};
    return withPoints(map, layers);
}

int colourDistance(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
}

TEST(MapPoints, MarkerAtTheProjectedPixelInItsColour)
{
    struct Case {
        const char* name;
        Position place;
        QRgb colour;
        PointShape shape;
        int size;
    };
    const Case cases[] = {
        {"New York, a dot", kNewYork, 0xffff5a5a, PointShape::Dot, kSize},
        {"Tokyo, a diamond", positionFromDegrees(35.7, 139.7), 0xff2ee6a0, PointShape::Diamond, kSize},
        {"Sydney on a large map", positionFromDegrees(-33.9, 151.2), 0xff36d6ff, PointShape::Dot, 1400},
        {"near the antipode on a small map", positionFromDegrees(-51, 179), 0xffffe135, PointShape::Diamond, 300},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AzimuthalMap map(kLondon, c.size, nullptr);
        const QImage base = map.base().copy();
        const QImage picture = withPoints(map, {MapPoint{c.place, c.colour, 1, {}}}, c.shape);
        const QPointF at = map.pixelOf(c.place);
        EXPECT_EQ(picture.pixel(pixelAt(at)), c.colour);
        // A dark outline round it, and nothing drawn well away from it.
        const double outline = map.pointRadius() + (c.shape == PointShape::Dot ? 0 : 0.35 * map.pointRadius());
        const QRgb edge = picture.pixel(pixelAt(at + QPointF(outline, 0)));
        EXPECT_LT(qGray(edge), qGray(c.colour)) << std::hex << edge;
        const QPoint away = pixelAt(at + QPointF(0, 3 * map.pointRadius() + 2));
        EXPECT_EQ(picture.pixel(away), base.pixel(away));
    }
}

TEST(MapPoints, LabelLeftOutWhereItWouldCoverAnEarlierOne)
{
    AzimuthalMap map(kLondon, kSize, nullptr);
    const Position tokyo = positionFromDegrees(35.7, 139.7);
    const Position nextToTokyo = positionFromDegrees(35.2, 139.2);
    const auto point = [](Position place, const char* label) {
        return MapPoint{place, 0xffffe135, 1, QString::fromLatin1(label)};
    };
    struct Case {
        const char* name;
        std::vector<MapPoint> worked;
        std::vector<MapPoint> spots;
        // The same picture with the labels that should be left out taken away.
        std::vector<MapPoint> workedShown;
        std::vector<MapPoint> spotsShown;
        bool drawnAtAll;
    };
    const Case cases[] = {
        {"the second of two at one place", {point(tokyo, "JA1ABC"), point(tokyo, "JA1XYZ")}, {},
            {point(tokyo, "JA1ABC"), point(tokyo, "")}, {}, true},
        {"a near neighbour's", {point(tokyo, "JA1ABC"), point(nextToTokyo, "JA1XYZ")}, {},
            {point(tokyo, "JA1ABC"), point(nextToTokyo, "")}, {}, true},
        {"a worked station's under a spot's", {point(tokyo, "JA1ABC")}, {point(tokyo, "JA9SPOT")}, {point(tokyo, "")},
            {point(tokyo, "JA9SPOT")}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PointSet all[] = {{c.worked, PointShape::Dot}, {c.spots, PointShape::Diamond}};
        const PointSet shown[] = {{c.workedShown, PointShape::Dot}, {c.spotsShown, PointShape::Diamond}};
        const QImage picture = withPoints(map, all);
        EXPECT_EQ(picture, withPoints(map, shown));
        // The label that stays is drawn: the picture differs from the one
        // without any label.
        std::vector<MapPoint> bare = c.worked;
        for (MapPoint& p : bare) {
            p.label.clear();
        }
        std::vector<MapPoint> bareSpots = c.spots;
        for (MapPoint& p : bareSpots) {
            p.label.clear();
        }
        const PointSet none[] = {{bare, PointShape::Dot}, {bareSpots, PointShape::Diamond}};
        EXPECT_NE(picture, withPoints(map, none));
    }
    // Apart, both are drawn.
    const Position newYork = kNewYork;
    const std::vector<MapPoint> apart = {point(tokyo, "JA1ABC"), point(newYork, "W2XYZ")};
    EXPECT_NE(withPoints(map, apart), withPoints(map, {point(tokyo, "JA1ABC"), point(newYork, "")}));
}

TEST(MapPoints, FadedPointFainter)
{
    AzimuthalMap map(kLondon, kSize, nullptr);
    const QImage base = map.base().copy();
    const QPoint at = pixelAt(map.pixelOf(kNewYork));
    constexpr QRgb colour = 0xffff5ce1;
    int last = -1;
    for (const float opacity : {1.0F, 0.6F, 0.25F}) {
        SCOPED_TRACE(opacity);
        const QRgb seen = withPoints(map, {MapPoint{kNewYork, colour, opacity, {}}}).pixel(at);
        const int fromColour = colourDistance(seen, colour);
        EXPECT_GT(fromColour, last);
        EXPECT_NE(seen, base.pixel(at));
        last = fromColour;
    }
    // Gone altogether: not drawn, label and all.
    EXPECT_EQ(withPoints(map, {MapPoint{kNewYork, colour, 0, QStringLiteral("W2XYZ")}}), base);
}

TEST(BandColours, OnePerBandAnyCaseGreyForTheRest)
{
    const char* bands[] = {"160m", "80m", "60m", "40m", "30m", "20m", "17m", "15m", "12m", "10m", "6m"};
    std::set<QRgb> seen;
    for (const char* band : bands) {
        SCOPED_TRACE(band);
        const QRgb colour = bandColour(band);
        EXPECT_NE(colour, kOtherBandColour);
        EXPECT_TRUE(seen.insert(colour).second);
        std::string upper = band;
        for (char& ch : upper) {
            ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        }
        EXPECT_EQ(bandColour(upper), colour);
        // Light enough to read on the sea.
        EXPECT_GT(colourDistance(colour, MapColours::sea), 200);
    }
    for (const char* other : {"2m", "", "20", "20mm", "70cm"}) {
        EXPECT_EQ(bandColour(other), kOtherBandColour) << other;
    }
}

}  // namespace
}  // namespace skybrant
