// The marks the map's base carries over the earth: the distance rings, the
// sun overhead and the line on missing earth images.
#include "map_scene.h"

#include "map/azimuthal_map.h"
#include "map/distance_rings.h"
#include "map/earth_images.h"

#include "core/sun.h"
#include "core/units.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <vector>

namespace skybrant {
namespace {

using namespace std::chrono;
using namespace map_scene;

// Without the images the map says so itself, in the corner below it:
// outside the disc and clear of the compass rose's bearings. A map drawn
// without them by choice (no note) says nothing.
TEST(MapWithoutImages, SaysSoOnThePicture)
{
    const QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    const auto missing = std::make_shared<const EarthImages>(loadEarthImages(empty.path()));
    const auto leftOut = std::make_shared<const EarthImages>();
    struct Case {
        const char* name;
        int size;
        bool said;
    };
    const Case cases[] = {
        {"small window, on two lines", 400, true},
        {"mid-sized window", 600, true},
        {"full size", 1024, true},
        {"too small to read: left to the note", 64, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AzimuthalMap saying(kLondon, c.size, missing);
        AzimuthalMap silent(kLondon, c.size, leftOut);
        saying.setNightTime(kNoon);
        silent.setNightTime(kNoon);
        const QImage said = saying.picture(OtherStation{kNewYork, QStringLiteral("New York")});
        const QImage plain = silent.picture(OtherStation{kNewYork, QStringLiteral("New York")});
        const QPointF centre = saying.centrePixel();
        const double margin = c.size / 2.0 - saying.radiusPixels();
        int written = 0;
        int misplaced = 0;
        for (int y = 0; y < c.size; ++y) {
            for (int x = 0; x < c.size; ++x) {
                if (said.pixel(x, y) == plain.pixel(x, y)) {
                    continue;
                }
                ++written;
                // Beyond the rose's longest ticks, left of the 180 below it.
                const double fromCentre = std::hypot(x + 0.5 - centre.x(), y + 0.5 - centre.y());
                misplaced += fromCentre > saying.radiusPixels() + 0.3 * margin + 1 && x < centre.x() - 10 ? 0 : 1;
            }
        }
        EXPECT_EQ(misplaced, 0);
        if (c.said) {
            EXPECT_GT(written, 150);
        } else {
            EXPECT_EQ(written, 0);
        }
    }
}

// Rings at round numbers of the unit shown: 3125 mi was 5000 km relabelled.
TEST(MapRings, RoundNumbersInEveryUnit)
{
    struct Case {
        const char* name;
        DistanceUnit unit;
        double step;
        std::vector<const char*> labels;
    };
    const Case cases[] = {
        {"kilometres", DistanceUnit::Kilometres, 5000, {"5000 km", "10000 km", "15000 km"}},
        {"statute miles", DistanceUnit::StatuteMiles, 2500, {"2500 mi", "5000 mi", "7500 mi", "10000 mi"}},
        {"nautical miles", DistanceUnit::NauticalMiles, 2500, {"2500 nmi", "5000 nmi", "7500 nmi", "10000 nmi"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<DistanceRing> rings = distanceRings(c.unit);
        ASSERT_EQ(rings.size(), c.labels.size());
        for (std::size_t k = 0; k < rings.size(); ++k) {
            EXPECT_EQ(rings[k].label, QString::fromUtf8(c.labels[k]));
            EXPECT_NEAR(arcToDistance(rings[k].arcDegrees, c.unit), c.step * static_cast<double>(k + 1), 1e-6);
        }

        // Drawn where they say: in the northern half (no labels there)
        // every pixel the rings change lies on one of them, and each ring
        // changes a good part of its half circle.
        AzimuthalMap map(kLondon, kSize, nullptr);
        map.setUnit(c.unit);
        const QImage with = map.base().copy();
        map.setRings(false);
        const QImage without = map.base().copy();
        std::vector<int> onRing(rings.size(), 0);
        int offRings = 0;
        const QPointF centre = map.centrePixel();
        for (int y = 0; y < static_cast<int>(centre.y()) - 2; ++y) {
            for (int x = 0; x < kSize; ++x) {
                if (with.pixel(x, y) == without.pixel(x, y)) {
                    continue;
                }
                const double r = std::hypot(x + 0.5 - centre.x(), y + 0.5 - centre.y());
                bool found = false;
                for (std::size_t k = 0; k < rings.size(); ++k) {
                    if (std::fabs(r - rings[k].arcDegrees / 180 * map.radiusPixels()) < 1.5) {
                        ++onRing[k];
                        found = true;
                    }
                }
                offRings += found ? 0 : 1;
            }
        }
        EXPECT_EQ(offRings, 0);
        for (std::size_t k = 0; k < rings.size(); ++k) {
            SCOPED_TRACE(rings[k].label.toStdString());
            EXPECT_GT(onRing[k], rings[k].arcDegrees / 180 * map.radiusPixels());
        }
    }
}

TEST(MapRings, RoundStep)
{
    struct Case {
        const char* name;
        double reach;
        int rings;
        double step;
    };
    const Case cases[] = {
        {"the kilometres' reach", 19898.2, 4, 5000},
        {"the statute miles' reach", 12436.4, 4, 2500},
        {"exactly four steps", 10000, 4, 2500},
        {"nearer 1000 than 2000", 4 * 1400, 4, 1000},
        {"nearer 2000 than 1000", 4 * 1450, 4, 2000},
        {"nearer 2500 than 5000", 4 * 3500, 4, 2500},
        {"nearer 5000 than 2500", 4 * 3600, 4, 5000},
        {"nearer 10000 than 5000", 4 * 7200, 4, 10000},
        {"below one", 0.8, 4, 0.2},
        {"no reach", 0, 4, 0},
        {"no rings", 100, 0, 0},
        {"not a number", std::nan(""), 4, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_DOUBLE_EQ(roundRingStep(c.reach, c.rings), c.step);
    }
}

// With the night side the sun stands over the place where it is overhead;
// without it there is no sun.
TEST(MapSun, MarkedWhereOverhead)
{
    const sys_seconds times[] = {
        kNoon,  // south of London, over the Atlantic
        sys_days{year{2026} / June / 21},  // over the Pacific, near the rim
        sys_days{year{2026} / March / 20} + hours{6},  // over the Indian Ocean
    };
    for (const sys_seconds when : times) {
        SCOPED_TRACE(when.time_since_epoch().count());
        AzimuthalMap map(kLondon, kSize, nullptr);
        map.setRings(false);
        map.setNightTime(when);
        const QImage picture = map.picture(std::nullopt);
        for (const sys_seconds other : times) {
            const SubsolarPoint sun = subsolarPoint(other);
            const QPoint at = pixelAt(map.pixelOf(positionFromDegrees(sun.latDegrees, sun.lonDegrees)));
            EXPECT_EQ(picture.pixel(at) == MapColours::sun, other == when);
        }
    }
    AzimuthalMap map(kLondon, kSize, nullptr);
    map.setRings(false);
    const QImage picture = map.picture(std::nullopt);
    int sunny = 0;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            sunny += picture.pixel(x, y) == MapColours::sun ? 1 : 0;
        }
    }
    EXPECT_EQ(sunny, 0);
}

}  // namespace
}  // namespace skybrant
