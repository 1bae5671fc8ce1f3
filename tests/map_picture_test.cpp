#include "map_scene.h"

#include "map/azimuthal_map.h"
#include "map/earth_images.h"

#include "core/sun.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <memory>

namespace skybrant {
namespace {

using namespace std::chrono;
using namespace map_scene;

std::shared_ptr<const EarthImages> packagedImages()
{
    static const auto images = std::make_shared<const EarthImages>(loadEarthImages());
    return images;
}

// What the earth image holds at the position under a pixel of the map.
QRgb imageAt(const AzimuthalMap& map, const QImage& image, QPoint pixel)
{
    const std::optional<Position> p = map.positionAt(QPointF(pixel) + QPointF(0.5, 0.5));
    EXPECT_TRUE(p.has_value());
    const int u = static_cast<int>(std::floor((p->lonDegrees + 180) / 360 * image.width())) % image.width();
    const int v = static_cast<int>(std::floor((90 - p->latDegrees) / 180 * image.height()));
    return image.pixel(u, v);
}

int luma(QRgb c)
{
    return qGray(c);
}

double elevationAt(double lat, double lon)
{
    return sunElevation(subsolarPoint(kNoon), lat, lon);
}

class MapPicture : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!packagedImages()->available()) {
            GTEST_SKIP() << "earth images not installed (Debian package xplanet-images): "
                         << packagedImages()->note.toStdString();
        }
    }
};

TEST_F(MapPicture, SeaLandNightAndThePaths)
{
    AzimuthalMap map(kLondon, kSize, packagedImages());
    map.setNightTime(kNoon);
    const QImage picture = map.picture(OtherStation{kNewYork, QStringLiteral("New York")});
    const EarthImages& images = *packagedImages();

    struct Place {
        const char* name;
        double lat, lon;
    };
    // Fifteen degrees off every graticule line, away from the rings.
    const Place daySea[] = {{"mid-Atlantic", 45, 15 - 60}, {"Bay of Biscay", 45, -5}};
    for (const Place& p : daySea) {
        SCOPED_TRACE(p.name);
        ASSERT_GT(elevationAt(p.lat, p.lon), 0);
        const QPoint pixel = pixelAt(map.pixelOf(positionFromDegrees(p.lat, p.lon)));
        const QRgb got = picture.pixel(pixel);
        EXPECT_EQ(got, imageAt(map, images.day, pixel));
        EXPECT_GT(qBlue(got), qRed(got) + 10);  // sea is blue
    }
    const Place dayLand[] = {{"Sahara", 24, 15}, {"Arabia", 22, 47}};
    for (const Place& p : dayLand) {
        SCOPED_TRACE(p.name);
        ASSERT_GT(elevationAt(p.lat, p.lon), 0);
        const QPoint pixel = pixelAt(map.pixelOf(positionFromDegrees(p.lat, p.lon)));
        const QRgb got = picture.pixel(pixel);
        EXPECT_EQ(got, imageAt(map, images.day, pixel));
        EXPECT_GT(qRed(got), qBlue(got) + 20);  // desert is sand-coloured
    }
    // Deep in the night (the sun more than 12 degrees down): far darker than
    // the day's picture of the same place.
    const Place night[] = {{"Japan", 36, 138}, {"Sea of Okhotsk", 55, 148}};
    for (const Place& p : night) {
        SCOPED_TRACE(p.name);
        ASSERT_LT(elevationAt(p.lat, p.lon), -12);
        const QPoint pixel = pixelAt(map.pixelOf(positionFromDegrees(p.lat, p.lon)));
        const QRgb day = imageAt(map, images.day, pixel);
        EXPECT_LE(luma(picture.pixel(pixel)), luma(day) / 2 + luma(imageAt(map, images.night, pixel)) + 1);
        EXPECT_NE(picture.pixel(pixel), day);
    }

    // The short path from the centre through New York to the rim, solid.
    const QPointF c = map.centrePixel();
    const QPointF ny = map.pixelOf(kNewYork);
    const QPointF dir = (ny - c) / std::hypot(ny.x() - c.x(), ny.y() - c.y());
    for (const double f : {0.15, 0.5, 0.7, 0.9}) {
        SCOPED_TRACE(f);
        EXPECT_EQ(picture.pixel(pixelAt(c + dir * (f * map.radiusPixels()))), MapColours::shortPath);
    }
    // The long path the opposite way, dashed.
    int dashes = 0;
    int gaps = 0;
    for (double f = 0.1; f < 0.95; f += 0.005) {
        (picture.pixel(pixelAt(c - dir * (f * map.radiusPixels()))) == MapColours::longPath ? dashes : gaps)++;
    }
    EXPECT_GT(dashes, 20);
    EXPECT_GT(gaps, 20);
    // The other station's marker at the compute flow's bearing and distance.
    EXPECT_EQ(picture.pixel(pixelAt(ny)), MapColours::otherStation);
    EXPECT_EQ(picture.pixel(pixelAt(c)), MapColours::ownStation);
    // Round the disc, below the bearings, is left dark.
    EXPECT_EQ(picture.pixel(1, kSize - 2), MapColours::outside);
    EXPECT_TRUE(packagedImages()->mapLine.isEmpty());
}

// Deep in the polar night the ice caps are as dark as the rest of the
// night: a fifth of their white once showed as a pale patch round the pole.
TEST_F(MapPicture, PolarNightAsDarkOverIceAsElsewhere)
{
    struct Case {
        const char* name;
        sys_seconds when;
        int pole;  // 1 north, -1 south
    };
    const Case cases[] = {
        {"December solstice, the Arctic", sys_days{year{2026} / December / 21} + hours{12}, 1},
        {"June solstice, Antarctica", sys_days{year{2026} / June / 21} + hours{12}, -1},
        {"June solstice at midnight, Antarctica", sys_days{year{2026} / June / 21}, -1},
    };
    const EarthImages& images = *packagedImages();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AzimuthalMap map(kLondon, kSize, packagedImages());
        map.setNightTime(c.when);
        map.setRings(false);
        const QImage picture = map.picture(std::nullopt);
        const SubsolarPoint sun = subsolarPoint(c.when);
        int looked = 0;
        int overIce = 0;
        // Between the graticule's lines: 15 degrees off its meridians, off
        // the 60th parallel.
        for (int lat = 66; lat <= 86; lat += 4) {
            for (int lon = -165; lon < 180; lon += 30) {
                const Position at = positionFromDegrees(c.pole * lat, lon);
                if (sunElevation(sun, at.latDegrees, at.lonDegrees) > -12) {
                    continue;
                }
                const QPoint pixel = pixelAt(map.pixelOf(at));
                if (imageAt(map, images.night, pixel) != qRgb(0, 0, 0)) {
                    continue;  // lights
                }
                ++looked;
                overIce += luma(imageAt(map, images.day, pixel)) > 200 ? 1 : 0;
                SCOPED_TRACE(testing::Message() << c.pole * lat << " " << lon);
                EXPECT_LE(luma(picture.pixel(pixel)), 18);
            }
        }
        EXPECT_GE(looked, 20);
        EXPECT_GE(overIce, 10);
    }
}

TEST_F(MapPicture, BaseDrawnOnceAndReused)
{
    AzimuthalMap map(kLondon, kSize, packagedImages());
    map.setNightTime(kNoon);
    const qint64 key = map.base().cacheKey();
    const QImage toNewYork = map.picture(OtherStation{kNewYork, QStringLiteral("New York")});
    const QImage toTokyo = map.picture(OtherStation{positionFromDegrees(35.7, 139.7), QStringLiteral("Tokyo")});
    EXPECT_EQ(map.base().cacheKey(), key);
    EXPECT_NE(toNewYork, toTokyo);
    // Away from both paths and markers the two pictures are the base.
    const QPoint sahara = pixelAt(map.pixelOf(positionFromDegrees(24, 15)));
    EXPECT_EQ(toNewYork.pixel(sahara), map.base().pixel(sahara));
    EXPECT_EQ(toTokyo.pixel(sahara), map.base().pixel(sahara));

    // Same time and unit again: still the same base.
    map.setNightTime(kNoon);
    map.setUnit(DistanceUnit::Kilometres);
    EXPECT_EQ(map.base().cacheKey(), key);
    // A new time (an hour on: the night has moved) draws it afresh.
    map.setNightTime(kNoon + hours{1});
    EXPECT_NE(map.base().cacheKey(), key);
}

TEST(MapWithoutImages, SameMapWithoutLandAndSeaSaidOnce)
{
    const QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    const EarthImages none = loadEarthImages(empty.path());
    EXPECT_FALSE(none.available());
    EXPECT_TRUE(none.note.contains(QStringLiteral("earth.jpg")));
    EXPECT_TRUE(none.note.contains(QStringLiteral("xplanet-images")));
    EXPECT_EQ(none.mapLine, QStringLiteral("No earth pictures: install the package xplanet-images"));

    AzimuthalMap map(kLondon, kSize, std::make_shared<const EarthImages>(none));
    map.setNightTime(kNoon);
    const QImage picture = map.picture(OtherStation{kNewYork, QStringLiteral("New York")});
    struct Case {
        const char* name;
        double lat, lon;
        bool day;
    };
    const Case cases[] = {{"mid-Atlantic", 45, -45, true}, {"Sahara", 24, 15, true}, {"Japan", 36, 138, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QRgb got = picture.pixel(pixelAt(map.pixelOf(positionFromDegrees(c.lat, c.lon))));
        if (c.day) {
            EXPECT_EQ(got, MapColours::sea);
        } else {
            EXPECT_LT(luma(got), luma(MapColours::sea) / 2);
        }
    }
    const QPointF c = map.centrePixel();
    const QPointF ny = map.pixelOf(kNewYork);
    EXPECT_EQ(picture.pixel(pixelAt(c + (ny - c) * 2)), MapColours::shortPath);

    // An image that is there but unreadable counts as missing too.
    QFile broken(empty.filePath(QStringLiteral("earth.jpg")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
    broken.close();
    EXPECT_FALSE(loadEarthImages(empty.path()).available());
}

TEST(MapWithoutImages, NoNightSideWithoutATime)
{
    AzimuthalMap map(kLondon, 200, nullptr);
    const QImage picture = map.picture(std::nullopt);
    EXPECT_EQ(picture.pixel(pixelAt(map.pixelOf(positionFromDegrees(36, 138)))), MapColours::sea);
}

}  // namespace
}  // namespace skybrant

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
