#include "core/angles.h"
#include "core/station.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

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
        EXPECT_EQ(toDecimalDegrees(c.d, c.m, c.s), c.expected) << c.d << " " << c.m << " " << c.s;
    }
    EXPECT_NE(toDecimalDegrees(1, 1, 3), 1.0175);
}

TEST(Angles, RadiansUseTheProgramsPi)
{
    EXPECT_EQ(toRadians(90), 1.570796327);
    EXPECT_EQ(toRadians(180), 3.141592654);
    EXPECT_EQ(toDegrees(toRadians(180)), 180);
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
        EXPECT_EQ(isSouth(c.text), c.south) << '"' << c.text << '"';
        EXPECT_EQ(isWest(c.text), c.west) << '"' << c.text << '"';
    }
}

TEST(Station, ConversionAppliesSignsAfterConverting)
{
    StationEntry e{51, 30, 0, 0, 7, 0, "N", "W"};
    StationRadians r = toRadians(e);
    EXPECT_EQ(r.lat, toRadians(51.5));
    EXPECT_EQ(r.lon, -toRadians(toDecimalDegrees(0, 7, 0)));

    e = StationEntry{0, 0, 0, 0, 0, 0, "S", "W"};
    r = toRadians(e);
    EXPECT_TRUE(std::signbit(r.lat));
    EXPECT_EQ(r.lat, 0.0);
    EXPECT_TRUE(std::signbit(r.lon));

    e = StationEntry{-10, 0, 0, 5, 0, 0, " S ", "e"};
    r = toRadians(e);
    EXPECT_EQ(r.lat, toRadians(10));
    EXPECT_EQ(r.lon, toRadians(5));
}

TEST(Station, RelationIsExactInArcSeconds)
{
    struct Case {
        StationEntry a, b;
        StationGeometry expected;
    };
    const auto G = [](int ld, int lm, int ls, const char* ns, int od, int om, int os, const char* ew) {
        return StationEntry{ld, lm, ls, od, om, os, ns, ew};
    };
    using enum StationGeometry;
    const Case cases[] = {
        {G(51, 30, 0, "N", 0, 7, 0, "W"), G(51, 30, 0, "N", 0, 7, 0, "W"), SamePlace},
        {G(10, 0, 0, "N", 180, 0, 0, "E"), G(10, 0, 0, "N", 180, 0, 0, "W"), SamePlace},
        {G(90, 0, 0, "N", 0, 0, 0, "E"), G(90, 0, 0, "N", 123, 4, 5, "W"), SamePlace},
        {G(90, 0, 0, "S", 7, 0, 0, "E"), G(-90, 0, 0, "N", 0, 0, 0, "E"), SamePlace},
        {G(89, 60, 0, "N", 1, 0, 0, "E"), G(90, 0, 0, "N", 50, 0, 0, "E"), SamePlace},
        {G(0, 0, 3600, "N", 0, 60, 0, "E"), G(1, 0, 0, "N", 1, 0, 0, "E"), SamePlace},
        {G(-10, 0, 0, "S", 20, 0, 0, "E"), G(10, 0, 0, "N", 380, 0, 0, "E"), SamePlace},
        {G(100, 0, 0, "N", 0, 0, 0, "E"), G(80, 0, 0, "N", 180, 0, 0, "E"), SamePlace},
        {G(0, 0, 0, "N", 0, 0, 0, "E"), G(0, 0, 0, "S", 0, 0, 0, "W"), SamePlace},
        {G(10, 0, 0, "N", 20, 0, 0, "E"), G(10, 0, 0, "S", 160, 0, 0, "W"), Antipodes},
        {G(90, 0, 0, "N", 0, 0, 0, "E"), G(90, 0, 0, "S", 33, 0, 0, "E"), Antipodes},
        {G(0, 0, 0, "N", 0, 0, 0, "E"), G(0, 0, 0, "N", 180, 0, 0, "W"), Antipodes},
        {G(45, 30, 15, "N", 10, 0, 0, "W"), G(45, 30, 15, "S", 170, 0, 0, "E"), Antipodes},
        {G(10, 0, 0, "N", 20, 0, 0, "E"), G(10, 0, 0, "N", 20, 0, 1, "E"), Distinct},
        {G(10, 0, 0, "N", 20, 0, 0, "E"), G(10, 0, 0, "s", 160, 0, 0, "W"), Distinct},  // "s" is north
        {G(89, 59, 59, "N", 0, 0, 0, "E"), G(89, 59, 59, "N", 180, 0, 0, "E"), Distinct},
        {G(2147483647, 2147483647, 2147483647, "N", -2147483647 - 1, 0, 0, "W"), G(0, 0, 0, "N", 0, 0, 0, "E"),
            Distinct},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(relateStations(cases[i].a, cases[i].b), cases[i].expected) << "case " << i;
        EXPECT_EQ(relateStations(cases[i].b, cases[i].a), cases[i].expected) << "case " << i << " swapped";
    }
}

}  // namespace
}  // namespace skybrant
