// The map window's rotator panel: the needle, the aim, and the panel itself
// against the real rotctld (dummy rotator).

#include "map/azimuthal_map.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>

namespace {

using skybrant::AzimuthalMap;
using skybrant::EarthImages;
using skybrant::MapColours;
using skybrant::Position;

// Antialiased edges blend a little; the needle's colour is far from the
// map's own.
bool isAntenna(QRgb pixel)
{
    const QRgb a = MapColours::antenna;
    return std::abs(qRed(pixel) - qRed(a)) < 40 && std::abs(qGreen(pixel) - qGreen(a)) < 40 &&
        std::abs(qBlue(pixel) - qBlue(a)) < 40;
}

TEST(AntennaNeedle, PointsAlongTheBearingFromTheCentre)
{
    struct Case {
        const char* name;
        double bearing;
    };
    for (const Case& c : {Case{"north", 0}, Case{"east", 90}, Case{"south-south-west", 200}, Case{"negative", -30}}) {
        SCOPED_TRACE(c.name);
        AzimuthalMap map(Position{51.5, -0.12}, 512, std::make_shared<const EarthImages>());
        QImage picture = map.picture(std::nullopt);
        QPainter painter(&picture);
        map.drawNeedle(painter, c.bearing);
        painter.end();
        const double radians = c.bearing * std::numbers::pi / 180;
        const auto at = [&](double along, double bearing) {
            const QPointF p =
                map.centrePixel() + QPointF(std::sin(bearing), -std::cos(bearing)) * (map.radiusPixels() * along);
            return picture.pixel(static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y())));
        };
        for (const double along : {0.3, 0.6}) {
            EXPECT_TRUE(isAntenna(at(along, radians))) << along;
            // Nothing of it the other way, or a quarter turn off.
            EXPECT_FALSE(isAntenna(at(along, radians + std::numbers::pi))) << along;
            EXPECT_FALSE(isAntenna(at(along, radians + std::numbers::pi / 2))) << along;
        }
    }
}

}  // namespace
