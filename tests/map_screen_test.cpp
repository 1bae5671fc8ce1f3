// The map window on a real X display (run under xvfb-run): the pixels the
// user sees, at the places the projection puts sea, land, night and the path.

#include "core/sun.h"
#include "map/azimuthal_map.h"
#include "map/earth_images.h"
#include "ui/map_view.h"
#include "ui/map_window.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

namespace skybrant::ui {
namespace {

using namespace std::chrono;

// London at midwinter noon: the Atlantic and the Sahara in daylight, the
// Gobi and the Sea of Okhotsk deep in the night, New York the other station.
const Position kLondon = positionFromDegrees(51.5, -0.1167);
const Position kNewYork = positionFromDegrees(40.7, -74.0);
const system_clock::time_point kNoon = sys_days{year{2026} / December / 21} + hours{12};

// What an equirectangular earth picture holds at a position.
QRgb imageAt(const QImage& image, const Position& p)
{
    const int u = static_cast<int>(std::floor((p.lonDegrees + 180) / 360 * image.width())) % image.width();
    const int v = static_cast<int>(std::floor((90 - p.latDegrees) / 180 * image.height()));
    return image.pixel(u, v);
}

// The largest difference of one colour channel.
int channelDistance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

TEST(MapOnScreen, SeaLandNightAndThePathWhereTheProjectionPutsThem)
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
        GTEST_SKIP() << "needs an X display (ctest runs it under xvfb-run); platform here: "
                     << QGuiApplication::platformName().toStdString();
    }
    const EarthImages images = loadEarthImages();
    if (!images.available()) {
        GTEST_SKIP() << "earth images not installed (Debian package xplanet-images): " << images.note.toStdString();
    }

    MapWindow window(nullptr);
    window.setClock([] { return kNoon; });
    window.setOwn(kLondon);
    window.setOther(kNewYork);
    window.resize(1000, 700);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    MapView* view = window.view();
    // Drawn at the window's final size (a resize is drawn once it settles).
    QTest::qWait(400);
    ASSERT_FALSE(view->picture().isNull());
    const QImage screen = window.screen()->grabWindow(window.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(screen.isNull());
    const double ratio = screen.devicePixelRatio();
    const auto onScreen = [&](const Position& p) {
        const QPointF inWindow = view->mapTo(&window, view->widgetPointOf(p));
        return QPoint(
            static_cast<int>(std::floor(inWindow.x() * ratio)), static_cast<int>(std::floor(inWindow.y() * ratio)));
    };
    const SubsolarPoint sun = subsolarPoint(floor<seconds>(kNoon));

    enum class Seen { DaySea, DayLand, Night };
    struct Probe {
        const char* name;
        double lat, lon;
        Seen seen;
    };
    // Fifteen degrees off every graticule line, away from the rings.
    const Probe probes[] = {
        {"mid-Atlantic", 45, -45, Seen::DaySea},
        {"Bay of Biscay", 45, -5, Seen::DaySea},
        {"Sahara", 24, 15, Seen::DayLand},
        {"Arabia", 22, 47, Seen::DayLand},
        {"Gobi", 43, 105, Seen::Night},
        {"Sea of Okhotsk", 55, 148, Seen::Night},
    };
    for (const Probe& probe : probes) {
        SCOPED_TRACE(probe.name);
        const Position at = positionFromDegrees(probe.lat, probe.lon);
        const QPoint pixel = onScreen(at);
        const QRgb got = screen.pixel(pixel);
        // The day's colour under the pixel or a neighbour: on a small map a
        // pixel spans several of the earth picture's, and where the desert
        // changes from texel to texel the nearest one may be a step away.
        QRgb day = imageAt(images.day, at);
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const QPointF centre((pixel.x() + dx + 0.5) / ratio, (pixel.y() + dy + 0.5) / ratio);
                const std::optional<Position> shown = view->positionAt(view->mapFrom(&window, centre));
                if (shown && channelDistance(got, imageAt(images.day, *shown)) < channelDistance(got, day)) {
                    day = imageAt(images.day, *shown);
                }
            }
        }
        const double elevation = sunElevation(sun, probe.lat, probe.lon);
        switch (probe.seen) {
        case Seen::DaySea:
            ASSERT_GT(elevation, 0);
            EXPECT_LE(channelDistance(got, day), 12) << std::hex << got << " " << day;
            EXPECT_GT(qBlue(got), qRed(got) + 10);
            break;
        case Seen::DayLand:
            ASSERT_GT(elevation, 0);
            EXPECT_LE(channelDistance(got, day), 12) << std::hex << got << " " << day;
            EXPECT_GT(qRed(got), qBlue(got) + 20);
            break;
        case Seen::Night:
            // Deep in the night: far darker than the day there, with only
            // the lights of the night picture added.
            ASSERT_LT(elevation, -12);
            EXPECT_LE(qGray(got), qGray(day) / 2 + qGray(imageAt(images.night, at)) + 2);
            EXPECT_GT(channelDistance(got, day), 12);
            break;
        }
    }

    // The short path, solid, from the own station to New York.
    for (const double f : {0.25, 0.5, 0.75}) {
        SCOPED_TRACE(f);
        const QPointF c = view->widgetPointOf(kLondon);
        const QPointF to = c + (view->widgetPointOf(kNewYork) - c) * f;
        const QPointF inWindow = view->mapTo(&window, to);
        const QPoint pixel(
            static_cast<int>(std::floor(inWindow.x() * ratio)), static_cast<int>(std::floor(inWindow.y() * ratio)));
        EXPECT_LE(channelDistance(screen.pixel(pixel), MapColours::shortPath), 40) << std::hex << screen.pixel(pixel);
    }
    // Round the disc the view is dark.
    const QPoint corner = view->mapTo(&window, QPoint(2, view->height() - 3)) * ratio;
    EXPECT_EQ(screen.pixel(corner), MapColours::outside);
}

}  // namespace
}  // namespace skybrant::ui
