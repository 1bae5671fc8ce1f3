#include "core/angles.h"
#include "core/station.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace skybrant {
namespace {

TEST(Angles, DecimalDegreesSumsTermsInTheirOrder)
{
    struct Case {
        int d, m, s;
        double expected;
    };
    const Case cases[] = {
        {0, 30, 0, 0.5},
        {10, 30, 36, 10.51},
        {0, 90, 0, 1.5},  // minutes past 60 are not carried
        {10, -30, 0, 9.5},  // negative minutes reduce the angle
        {-10, 30, 0, -9.5},
        // (1/60 + 1) + 3/3600 rounds differently from 1 + (1/60 + 3/3600).
        {1, 1, 3, 1.0174999999999998},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.d) + " " + std::to_string(c.m) + " " + std::to_string(c.s));
        EXPECT_EQ(toDecimalDegrees(c.d, c.m, c.s), c.expected);
    }
    EXPECT_NE(toDecimalDegrees(1, 1, 3), 1.0175);
}

TEST(Angles, RadiansUseTheProgramsPi)
{
    EXPECT_EQ(toRadians(90), 1.570796327);
    EXPECT_EQ(toRadians(180), 3.141592654);
    EXPECT_GT(toRadians(90), 1.5707963267948966);  // a shade past a right angle
}

TEST(Station, HemisphereTextTrimsSpacesOnlyAndIsCaseSensitive)
{
    struct Case {
        const char* text;
        bool south;
        bool west;
    };
    const Case cases[] = {
        {"S", true, false},
        {" S ", true, false},
        {"W", false, true},
        {"  W", false, true},
        {"s", false, false},
        {"w", false, false},
        {"", false, false},
        {"N", false, false},
        {"S\t", false, false},
        {"SS", false, false},
        {"\tW", false, false},
        {"S W", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE('"' + std::string(c.text) + '"');
        EXPECT_EQ(isSouth(c.text), c.south);
        EXPECT_EQ(isWest(c.text), c.west);
    }
}

TEST(Angles, WrappingKeepsTheStatedRanges)
{
    struct Case {
        const char* name;
        double in, to360, to180, longitude;
    };
    const Case cases[] = {
        {"zero", 0, 0, 0, 0},
        {"east", 90, 90, 90, 90},
        {"180 east stays", 180, 180, 180, -180},
        {"180 west stays", -180, 180, -180, -180},
        {"just past 180", 181, 181, -179, -179},
        {"west", -90, 270, -90, -90},
        {"a turn and a bit", 370, 10, 10, 10},
        {"two turns back", -725, 355, -5, -5},
        {"full turn", 360, 0, 0, 0},
        {"far past", 539.5, 179.5, 179.5, 179.5},
        {"540 is the far meridian", 540, 180, 180, -180},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(wrap360(c.in), c.to360);
        EXPECT_EQ(wrap180(c.in), c.to180);
        EXPECT_EQ(wrapLongitude(c.in), c.longitude);
    }
    // A tiny negative angle plus a turn rounds up to the turn itself.
    EXPECT_EQ(wrap360(-1e-20), 360);
}

TEST(Angles, LatitudesPastAPoleFoldDownTheFarSide)
{
    struct Case {
        const char* name;
        double lat, lon;
        double foldedLat, foldedLon;
    };
    const Case cases[] = {
        {"within the poles, unchanged", 45, 370, 45, 370},
        {"north pole, unchanged", 90, -30, 90, -30},
        {"a degree past the north pole", 91, 10, 89, 190},
        {"a degree past the south pole", -91, -10, -89, 170},
        {"half a turn", 180, 0, 0, 180},
        {"three quarters: the south pole, not folded", 270, 5, -90, 5},
        {"a turn and more", 400, 0, 40, 0},
        {"far west longitude is turned by whole turns first", 100, -400, 80, 140},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const LatLon<double> f = foldPastPole(c.lat, c.lon, 360.0);
        EXPECT_EQ(f.lat, c.foldedLat);
        EXPECT_EQ(f.lon, c.foldedLon);
        // The grid gives the same answer in its own measure.
        constexpr std::int64_t kDegree = 1000;
        const LatLon<std::int64_t> g = foldPastPole(
            static_cast<std::int64_t>(c.lat * kDegree), static_cast<std::int64_t>(c.lon * kDegree), 360 * kDegree);
        EXPECT_EQ(g.lat, static_cast<std::int64_t>(c.foldedLat * kDegree));
        EXPECT_EQ(wrapTurn(g.lon, 360 * kDegree), static_cast<std::int64_t>(wrap360(c.foldedLon) * kDegree));
    }
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(std::isnan(foldPastPole(nan, 1.0, 360.0).lat));
}

}  // namespace
}  // namespace skybrant
