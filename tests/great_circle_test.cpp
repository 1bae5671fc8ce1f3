#include "core/angles.h"
#include "core/great_circle.h"
#include "core/report.h"
#include "core/report_text.h"
#include "station_entries.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

namespace skybrant {
namespace {

using test::at;
using test::describe;
using test::press;
using test::solve;

TEST(GreatCircle, WorkedExamples)
{
    struct Case {
        StationEntry own, other;
        double c, d, km, forward, back;
        const char *distanceText, *forwardText, *backText;
    };
    const Case cases[] = {
        {at(51, 30, 0, "N", 0, 7, 0, "W"), at(40, 42, 0, "N", 74, 0, 0, "W"), 0.6413480, 50.107590, 5539.1663,
            288.32575, 51.212122, "5539.2", "288", "51"},
        {at(51, 30, 0, "N", 0, 7, 0, "W"), at(33, 51, 0, "S", 151, 12, 0, "E"), -0.8894835, 152.808415, 16892.2757,
            60.727153, 319.167617, "16892.3", "61", "319"},
        {at(33, 51, 0, "S", 151, 12, 0, "E"), at(35, 41, 0, "N", 139, 41, 0, "E"), 0.3360809, 70.361717, 7778.1680,
            350.085163, 169.860120, "7778.2", "350", "170"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(describe(c.own, c.other));
        const Report t = press(c.own, c.other);
        const GreatCircleResult& r = t.result;
        // Each value to the digits it is known to.
        EXPECT_NEAR(r.cosine, c.c, 5e-8);
        EXPECT_NEAR(r.centralAngle, c.d, 5e-7);
        EXPECT_NEAR(r.distanceKm, c.km, 5e-5);
        EXPECT_NEAR(r.headingOwnToOther, c.forward, 5e-6);
        EXPECT_NEAR(r.headingOtherToOwn, c.back, 5e-7);
        EXPECT_EQ(figureText(t.distance), c.distanceText);
        EXPECT_EQ(figureText(t.ownToOther), c.forwardText);
        EXPECT_EQ(figureText(t.otherToOwn), c.backText);
    }
}

TEST(GreatCircle, PoleSeenThroughTheProgramsPi)
{
    const GreatCircleResult r = solve(at(90, 0, 0, "N", 0, 0, 0, "E"), at(0, 0, 0, "N", 10, 0, 0, "E"));
    EXPECT_LT(r.cosine, 0);  // cos(90 degrees) is a tiny negative number here
    EXPECT_NEAR(r.cosine, -2.02e-10, 0.01e-10);
    EXPECT_NEAR(r.centralAngle, 90.0000000233, 5e-11);
    EXPECT_NEAR(r.headingOwnToOther, 170.0, 1e-6);
    EXPECT_NEAR(r.headingOtherToOwn, 2.04e-9, 0.01e-9);
}

TEST(GreatCircle, HeadingsOnAnAxisAreTrueBearings)
{
    struct Case {
        StationEntry own, other;
        double forward, back, km;
    };
    const Case cases[] = {
        // Same meridian: x = 0.
        {at(10, 0, 0, "N", 20, 0, 0, "E"), at(30, 0, 0, "N", 20, 0, 0, "E"), 0, 180, 2210.909090909},
        {at(30, 0, 0, "N", 20, 0, 0, "W"), at(10, 0, 0, "S", 20, 0, 0, "W"), 180, 0, 4421.818181818},
        // Both on the equator: y = 0.
        {at(0, 0, 0, "N", 10, 0, 0, "E"), at(0, 0, 0, "N", 20, 0, 0, "E"), 90, 270, 1105.454545454},
        {at(0, 0, 0, "S", 20, 0, 0, "E"), at(0, 0, 0, "N", 10, 0, 0, "E"), 270, 90, 1105.454545454},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(describe(c.own, c.other));
        const GreatCircleResult r = solve(c.own, c.other);
        EXPECT_EQ(r.headingOwnToOther, c.forward);
        EXPECT_EQ(r.headingOtherToOwn, c.back);
        EXPECT_NEAR(r.distanceKm, c.km, 1e-6);
    }
    // Negative zero is still zero: -0 S to 0 N on the same meridian.
    const GreatCircleResult r = solve(at(0, 0, 0, "S", 0, 0, 0, "W"), at(5, 0, 0, "N", 0, 0, 0, "E"));
    EXPECT_EQ(r.headingOwnToOther, 0);
    EXPECT_EQ(r.headingOtherToOwn, 180);
}

TEST(GreatCircle, LimitsOfTheFormulasGiveFiniteAnswers)
{
    // c exactly 0 (found by search): the angle is a right angle, no 1/c.
    const double lat = 0x1.33f271355e606p-1;
    GreatCircleResult r = solveGreatCircle(lat, 0, -lat, 0x1.1494a6f1e22ccp+0);
    ASSERT_EQ(r.cosine, 0);
    EXPECT_EQ(r.centralAngle, 90);
    EXPECT_TRUE(std::isfinite(r.headingOwnToOther));
    EXPECT_TRUE(std::isfinite(r.headingOtherToOwn));

    // Equator points 90 degrees apart: x rounds to exactly 1.
    r = solve(at(0, 0, 0, "N", 0, 0, 0, "E"), at(0, 0, 0, "N", 90, 0, 0, "E"));
    EXPECT_EQ(r.headingOwnToOther, 90);
    EXPECT_EQ(r.headingOtherToOwn, 270);

    // Coincident or opposite radians (c at +-1) without exact entries.
    r = solveGreatCircle(0.3, 0.2, 0.3, 0.2);
    EXPECT_EQ(r.geometry, StationGeometry::SamePlace);
    EXPECT_EQ(r.distanceKm, 0);
    r = solveGreatCircle(0, 0, 0, std::numbers::pi);
    EXPECT_EQ(r.geometry, StationGeometry::Antipodes);
}

TEST(GreatCircle, LatitudesPastAPoleGiveTheHeadingsOfThePointTheyStandFor)
{
    struct Case {
        StationEntry past, plain;
    };
    const Case cases[] = {
        {at(89, 60, 60, "N", 0, 0, 0, "E"), at(89, 59, 0, "N", 180, 0, 0, "E")},
        {at(-100, 0, 0, "N", 0, 0, 0, "E"), at(80, 0, 0, "S", 180, 0, 0, "E")},
        {at(-300, 0, 0, "S", 10, 0, 0, "E"), at(60, 0, 0, "S", 10, 0, 0, "E")},
        {at(89, 60, 30, "S", 20, 0, 0, "W"), at(89, 59, 30, "S", 160, 0, 0, "E")},
    };
    const StationEntry other = at(51, 30, 0, "N", 1, 0, 0, "E");
    for (const auto& c : cases) {
        for (const bool ownPast : {true, false}) {
            SCOPED_TRACE(describe(c.past) + (ownPast ? " as own station" : " as other station"));
            const Report past = ownPast ? press(c.past, other) : press(other, c.past);
            const Report plain = ownPast ? press(c.plain, other) : press(other, c.plain);
            EXPECT_EQ(figureText(past.distance), figureText(plain.distance));
            EXPECT_EQ(figureText(past.ownToOther), figureText(plain.ownToOther));
            EXPECT_EQ(figureText(past.otherToOwn), figureText(plain.otherToOwn));
        }
    }
}

TEST(GreatCircle, SamePlaceAndAntipodesHaveNoHeadings)
{
    struct Case {
        StationEntry own, other;
        StationGeometry geometry;
        const char* distance;
    };
    const Case cases[] = {
        {at(0, 0, 0, "N", 0, 0, 0, "E"), at(0, 0, 0, "N", 0, 0, 0, "E"), StationGeometry::SamePlace, "0"},
        {at(51, 30, 0, "N", 0, 7, 0, "W"), at(51, 30, 0, "N", 0, 7, 0, "W"), StationGeometry::SamePlace, "0"},
        {at(10, 0, 0, "N", 180, 0, 0, "E"), at(10, 0, 0, "N", 180, 0, 0, "W"), StationGeometry::SamePlace, "0"},
        {at(90, 0, 0, "N", 0, 0, 0, "E"), at(90, 0, 0, "N", 77, 0, 0, "W"), StationGeometry::SamePlace, "0"},
        {at(10, 0, 0, "N", 20, 0, 0, "E"), at(10, 0, 0, "S", 160, 0, 0, "W"), StationGeometry::Antipodes, "19898.2"},
        {at(90, 0, 0, "N", 0, 0, 0, "E"), at(90, 0, 0, "S", 0, 0, 0, "E"), StationGeometry::Antipodes, "19898.2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(describe(c.own, c.other));
        const Report t = press(c.own, c.other);
        EXPECT_EQ(t.result.geometry, c.geometry);
        EXPECT_EQ(figureText(t.distance), c.distance);
        EXPECT_EQ(figureText(t.ownToOther), "");
        EXPECT_EQ(figureText(t.otherToOwn), "");
        EXPECT_FALSE(geometryNote(c.geometry).empty());
    }
    EXPECT_TRUE(geometryNote(StationGeometry::Distinct).empty());
}

std::string hemisphere(std::mt19937_64& rng, const char* a, const char* b)
{
    return (rng() & 1) != 0 ? a : b;
}

StationEntry randomStation(std::mt19937_64& rng)
{
    std::uniform_int_distribution<int> lat(-90, 90);
    std::uniform_int_distribution<int> lon(-180, 180);
    std::uniform_int_distribution<int> sub(-60, 60);
    return StationEntry{lat(rng), sub(rng), sub(rng), lon(rng), sub(rng), sub(rng), hemisphere(rng, "N", "S"),
        hemisphere(rng, "E", "W")};
}

TEST(GreatCircle, SwappingStationsSwapsHeadingsBitForBit)
{
    std::mt19937_64 rng(20261208);
    for (int i = 0; i < 20000; ++i) {
        const StationEntry a = randomStation(rng);
        const StationEntry b = randomStation(rng);
        const GreatCircleResult ab = solve(a, b);
        const GreatCircleResult ba = solve(b, a);
        ASSERT_EQ(ab.cosine, ba.cosine) << i;
        ASSERT_EQ(ab.centralAngle, ba.centralAngle) << i;
        ASSERT_EQ(ab.distanceKm, ba.distanceKm) << i;
        ASSERT_EQ(ab.headingOwnToOther, ba.headingOtherToOwn) << i;
        ASSERT_EQ(ab.headingOtherToOwn, ba.headingOwnToOther) << i;
        ASSERT_EQ(ab.geometry, ba.geometry) << i;
    }
}

// A textbook solution, written apart from the program: haversine distance,
// atan2 bearings and the exact pi.
struct Textbook {
    double arcDegrees;
    double forward;
    double back;
};

double bearing(double lat1, double lon1, double lat2, double lon2)
{
    const double dlon = lon2 - lon1;
    const double theta = std::atan2(std::sin(dlon) * std::cos(lat2),
        std::cos(lat1) * std::sin(lat2) - std::sin(lat1) * std::cos(lat2) * std::cos(dlon));
    return std::fmod(theta * 180 / std::numbers::pi + 360, 360);
}

Textbook textbook(double lat1, double lon1, double lat2, double lon2)
{
    const double r = std::numbers::pi / 180;
    lat1 *= r;
    lon1 *= r;
    lat2 *= r;
    lon2 *= r;
    const double h = std::pow(std::sin((lat2 - lat1) / 2), 2) +
        std::cos(lat1) * std::cos(lat2) * std::pow(std::sin((lon2 - lon1) / 2), 2);
    const double arc = 2 * std::atan2(std::sqrt(h), std::sqrt(1 - h));
    // The way back starts at the second point.
    return {arc / r, bearing(lat1, lon1, lat2, lon2),
        bearing(lat2, lon2, lat1, lon1)};  // NOLINT(readability-suspicious-call-argument)
}

double signedDegrees(int d, int m, int s, bool negative)
{
    const double v = d + m / 60.0 + s / 3600.0;
    return negative ? -v : v;
}

double headingGap(double a, double b)
{
    const double g = std::fabs(a - b);
    return std::min(g, 360 - g);
}

TEST(GreatCircle, AgreesWithTextbookFormulas)
{
    std::mt19937_64 rng(4242);
    std::uniform_int_distribution<int> lat(0, 88);
    std::uniform_int_distribution<int> lon(0, 179);
    std::uniform_int_distribution<int> sub(0, 59);
    int compared = 0;
    while (compared < 10000) {
        const StationEntry a{lat(rng), sub(rng), sub(rng), lon(rng), sub(rng), sub(rng), hemisphere(rng, "N", "S"),
            hemisphere(rng, "E", "W")};
        const StationEntry b{lat(rng), sub(rng), sub(rng), lon(rng), sub(rng), sub(rng), hemisphere(rng, "N", "S"),
            hemisphere(rng, "E", "W")};
        const Textbook t = textbook(signedDegrees(a.latDegrees, a.latMinutes, a.latSeconds, a.latHemisphere == "S"),
            signedDegrees(a.lonDegrees, a.lonMinutes, a.lonSeconds, a.lonHemisphere == "W"),
            signedDegrees(b.latDegrees, b.latMinutes, b.latSeconds, b.latHemisphere == "S"),
            signedDegrees(b.lonDegrees, b.lonMinutes, b.lonSeconds, b.lonHemisphere == "W"));
        // Bearings are ill-conditioned next to the same place and antipodes.
        if (t.arcDegrees < 0.01 || t.arcDegrees > 179.9) {
            continue;
        }
        ++compared;
        const GreatCircleResult r = solve(a, b);
        ASSERT_EQ(r.geometry, StationGeometry::Distinct);
        ASSERT_NEAR(r.centralAngle, t.arcDegrees, 1e-6) << compared;
        ASSERT_NEAR(r.distanceKm, degreesOfArcToKm(t.arcDegrees), 1e-6 * 110.6) << compared;
        ASSERT_LT(headingGap(r.headingOwnToOther, t.forward), 0.01) << compared;
        ASSERT_LT(headingGap(r.headingOtherToOwn, t.back), 0.01) << compared;
    }
}

}  // namespace
}  // namespace skybrant
