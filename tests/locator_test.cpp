#include "core/locator.h"
#include "core/utf8.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace skybrant {
namespace {

Position locator(const char* text)
{
    Position p;
    std::string error;
    EXPECT_TRUE(parseLocator(text, p, error)) << text << ": " << error;
    return p;
}

TEST(Locator, CentresWorkedByHand)
{
    // JO01: J is field 9 of 18 eastward from 180 W, so 0 to 20 E; O is row 14
    // northward from 90 S, so 50 to 60 N. Square 0 1 is then 0 to 2 E and 51
    // to 52 N, centre 1 E 51.5 N.
    // FN20xr: F N is 80 to 60 W, 40 to 50 N; square 2 0 is 76 to 74 W, 40 to
    // 41 N; subsquare x (23 of 24, steps of 5') is 74 05' W to 74 00' W and
    // r (17 of 24, steps of 2.5') is 40 42.5' to 40 45' N, centre
    // 74 02' 30" W 40 43' 45" N.
    // IO91wm: I O is 20 W to 0, 50 to 60 N; 9 1 is 2 W to 0, 51 to 52 N;
    // w (22) is 10' W to 5' W, m (12) is 51 30' to 51 32.5' N, centre
    // 0 07' 30" W 51 31' 15" N.
    struct Case {
        const char* text;
        double lat, lon;
    };
    const Case cases[] = {
        {"JO01", 51.5, 1.0},
        {"jo01", 51.5, 1.0},
        {"FN20", 40.5, -75.0},
        {"FN20xr", 40 + 43.0 / 60 + 45.0 / 3600, -(74 + 2.0 / 60 + 30.0 / 3600)},
        {"fn20XR", 40 + 43.0 / 60 + 45.0 / 3600, -(74 + 2.0 / 60 + 30.0 / 3600)},
        {"IO91wm", 51 + 31.0 / 60 + 15.0 / 3600, -(7.0 / 60 + 30.0 / 3600)},
        {"JJ", 5.0, 10.0},
        {"AA", -85.0, -170.0},
        {"RR99xx99xx", 90 - 1.0 / 11520, 180 - 1.0 / 5760},
        {"JO01mm00aa", 51.5 + 1.0 / 11520, 1.0 + 1.0 / 5760},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const Position p = locator(c.text);
        EXPECT_NEAR(p.latDegrees, c.lat, 1e-12);
        EXPECT_NEAR(p.lonDegrees, c.lon, 1e-12);
    }
    // Whole degrees and halves are exact, so the centre is the entry itself.
    EXPECT_EQ(relatePositions(locator("JO01"), positionFromEntry({51, 30, 0, 1, 0, 0, "N", "E"})),
        StationGeometry::SamePlace);
    EXPECT_EQ(relatePositions(locator("FN20xr"), positionFromEntry({40, 43, 45, 74, 2, 30, "N", "W"})),
        StationGeometry::SamePlace);
    EXPECT_EQ(relatePositions(locator("JO01"), positionFromEntry({51, 30, 0, 179, 0, 0, "S", "W"})),
        StationGeometry::Antipodes);
}

TEST(Locator, PositionsToLocatorsWorkedByHand)
{
    struct Case {
        StationEntry entry;
        const char* six;
        const char* eight;
    };
    const Case cases[] = {
        // 0 07' W is 2' 30" into subsquare w (10' W to 5' W), so extended
        // square 6 of its 30" columns; 51 30' N is the south edge of m.
        {{51, 30, 0, 0, 7, 0, "N", "W"}, "IO91wm", "IO91wm60"},
        {{40, 43, 45, 74, 2, 30, "N", "W"}, "FN20xr", "FN20xr55"},
        // 180 E is 180 W; the equator is the south edge of row J.
        {{0, 0, 0, 180, 0, 0, "N", "E"}, "AJ00aa", "AJ00aa00"},
        {{0, 0, 0, 180, 0, 0, "S", "W"}, "AJ00aa", "AJ00aa00"},
        // The north pole joins the top row. At a pole the longitude given
        // picks the column, as it does anywhere else: 45 E is 225 degrees from
        // 180 W, field L (11, 220 to 240), square 2, subsquare m (12, 1 of 2
        // degrees in steps of 5'), extended square 0.
        {{90, 0, 0, 45, 0, 0, "N", "E"}, "LR29mx", "LR29mx09"},
        {{90, 0, 0, 180, 0, 0, "N", "E"}, "AR09ax", "AR09ax09"},
        {{90, 0, 0, 0, 0, 0, "S", "W"}, "JA00aa", "JA00aa00"},
        // The column of FN20xr55 at the south pole.
        {{90, 0, 0, 74, 2, 30, "S", "W"}, "FA20xa", "FA20xa50"},
        // Past the pole the latitude continues down the far side.
        {{89, 60, 30, 0, 0, 0, "N", "E"}, "AR09ax", "AR09ax08"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.six);
        const Position p = positionFromEntry(c.entry);
        EXPECT_EQ(locatorOf(p, 6), c.six);
        EXPECT_EQ(locatorOf(p, 8), c.eight);
    }
}

TEST(Locator, RoundTripsLandInTheSameSquare)
{
    std::mt19937_64 rng(20261209);
    std::uniform_real_distribution<double> lat(-90, 90);
    std::uniform_real_distribution<double> lon(-180, 180);
    // Longitude and latitude size of the smallest square at each length.
    const double lonSize[] = {20, 2, 2.0 / 24, 2.0 / 240, 2.0 / 5760};
    const double latSize[] = {10, 1, 1.0 / 24, 1.0 / 240, 1.0 / 5760};
    for (int i = 0; i < 20000; ++i) {
        const Position p = positionFromDegrees(lat(rng), lon(rng));
        for (std::size_t length = 2; length <= kMaxLocatorLength; length += 2) {
            const std::string text = locatorOf(p, length);
            ASSERT_EQ(text.size(), length);
            Position centre;
            std::string error;
            ASSERT_TRUE(parseLocator(text, centre, error)) << text << ": " << error;
            EXPECT_EQ(locatorOf(centre, length), text);
            const std::size_t level = length / 2 - 1;
            EXPECT_LE(std::fabs(centre.latDegrees - p.latDegrees), latSize[level] / 2 + 1e-9) << text;
            EXPECT_LE(std::fabs(centre.lonDegrees - p.lonDegrees), lonSize[level] / 2 + 1e-9) << text;
        }
    }
}

TEST(Locator, EveryBadCharacterIsNamedWithItsPlace)
{
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"1O01", "character 1, \"1\", is not allowed; allowed there: a letter A to R"},
        {"SO01", "character 1, \"S\", is not allowed; allowed there: a letter A to R"},
        {"Js01", "character 2, \"s\", is not allowed; allowed there: a letter A to R"},
        {"JOA1", "character 3, \"A\", is not allowed; allowed there: a digit 0 to 9"},
        {"JO0-", "character 4, \"-\", is not allowed; allowed there: a digit 0 to 9"},
        {"JO01ya", "character 5, \"y\", is not allowed; allowed there: a letter A to X"},
        {"JO01aZ", "character 6, \"Z\", is not allowed; allowed there: a letter A to X"},
        {"JO015m", "character 5, \"5\", is not allowed; allowed there: a letter A to X"},
        {"JO01mmA0", "character 7, \"A\", is not allowed; allowed there: a digit 0 to 9"},
        {"JO01mm00y0", "character 9, \"y\", is not allowed; allowed there: a letter A to X"},
        {"JO01mm00a.", "character 10, \".\", is not allowed; allowed there: a letter A to X"},
        {"J\xC3\x96"
         "01",
            "character 2, \"\xC3\x96\", is not allowed"},
        {"JO\xC3\x96"
         "1",
            "character 3, \"\xC3\x96\", is not allowed; allowed there: a digit 0 to 9"},
        {"\xE2\x82\xAC"
         "O01",
            "character 1, \"\xE2\x82\xAC\", is not allowed"},
        {"JO\xFF"
         "1",
            R"(character 3, "\xFF", is not allowed)"},
        {"JO\x01"
         "1",
            R"(character 3, "\x01", is not allowed)"},
        {"JO 1", "character 3, \" \", is not allowed"},
        // The bytes beside the letters, which case folding must not take in.
        {"@O01", "character 1, \"@\", is not allowed; allowed there: a letter A to R"},
        {"J[01", "character 2, \"[\", is not allowed; allowed there: a letter A to R"},
        {"JO01`a", "character 5, \"`\", is not allowed; allowed there: a letter A to X"},
        {"JO01a{", "character 6, \"{\", is not allowed; allowed there: a letter A to X"},
        {"JO01a\xC1", R"(character 6, "\xC1", is not allowed)"},
        {"", "has 0 characters; a locator has 2, 4, 6, 8 or 10"},
        {"J", "has 1 character; a locator has 2, 4, 6, 8 or 10"},
        {"JO0", "has 3 characters"},
        {"JO01mm00aa11", "has 12 characters"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(quote(c.text));
        Position p;
        std::string error;
        EXPECT_FALSE(parseLocator(c.text, p, error));
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
}

}  // namespace
}  // namespace skybrant
