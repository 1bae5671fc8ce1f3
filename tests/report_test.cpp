// The report both front ends show: rounding, texts and the figures behind them.

#include "cli/report.h"
#include "core/ellipsoid.h"
#include "core/locator.h"
#include "core/number_text.h"
#include "core/report.h"
#include "core/report_text.h"
#include "station_entries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <random>
#include <string>

namespace skybrant {
namespace {

using test::at;
using test::press;

TEST(DisplayRounding, HalvesGoUp)
{
    struct Case {
        double in, out;
    };
    const Case headings[] = {{0.49, 0}, {0.5, 1}, {2.04e-9, 0}, {359.49, 359}, {359.5, 360}, {288.32575, 288}};
    for (const auto& c : headings) {
        SCOPED_TRACE(std::to_string(c.in));
        EXPECT_EQ(roundHeading(c.in), c.out);
    }
    const Case distances[] = {{5539.1663, 5539.2}, {0.25, 0.3}, {0.24, 0.2}, {99.96, 100}, {0, 0}};
    for (const auto& c : distances) {
        SCOPED_TRACE(std::to_string(c.in));
        EXPECT_EQ(roundDistance(c.in), c.out);
    }
}

// The decimal separator of the options goes into text and CSV; JSON
// numbers always have a point.
TEST(Report, WritersUseTheGivenSeparator)
{
    ReportOptions options;
    options.decimalSeparator = ",";
    options.longPath = true;
    const Report t = press(at(51, 30, 0, "N", 0, 7, 0, "W"), at(40, 42, 0, "N", 74, 0, 0, "W"), options);
    EXPECT_EQ(t.distance.value, 5539.2);
    EXPECT_EQ(figureText(t.distance, ","), "5539,2");
    EXPECT_EQ(figureText(t.ownToOther, ","), "288");
    std::string text;
    appendText(t, options, text);
    EXPECT_TRUE(text.starts_with("Distance: 5539,2 km\nBeam heading from my station: 288 degrees\n")) << text;
    EXPECT_NE(text.find("Long path distance: 34257,2 km\n"), std::string::npos) << text;
    std::string csv;
    cli::appendCsv(t, options, csv);
    EXPECT_EQ(csv, "5539,2,288,51,34257,2,108\n");
    std::string json;
    cli::appendJson(t, options, 0, nullptr, json);
    EXPECT_NE(json.find(R"("distance":5539.2,)"), std::string::npos) << json;
    EXPECT_NE(json.find(R"("long_path_distance":34257.2,)"), std::string::npos) << json;
}

bool allDigits(std::string_view s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

// Whole degrees, or a distance with at most one decimal.
bool wellFormed(const std::string& s, bool oneDecimal)
{
    const auto dot = s.find('.');
    if (dot == std::string::npos) {
        return allDigits(s);
    }
    return oneDecimal && allDigits(std::string_view(s).substr(0, dot)) && s.size() == dot + 2 &&
        std::isdigit(static_cast<unsigned char>(s.back())) != 0;
}

TEST(Report, AnyEntriesGiveWellFormedTexts)
{
    std::mt19937_64 rng(99);
    const char* hemispheres[] = {"N", "S", "E", "W", " S ", "s", "", "X", "W "};
    std::uniform_int_distribution<int> pick(0, std::size(hemispheres) - 1);
    std::uniform_int_distribution<std::int32_t> any(
        std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max());
    std::uniform_int_distribution<std::int32_t> small(-400, 400);
    const auto value = [&] { return (rng() % 4 == 0) ? any(rng) : small(rng); };
    for (int i = 0; i < 20000; ++i) {
        StationEntry e[2];
        for (auto& s : e) {
            s = StationEntry{
                value(), value(), value(), value(), value(), value(), hemispheres[pick(rng)], hemispheres[pick(rng)]};
        }
        const Report t = press(e[0], e[1]);
        ASSERT_TRUE(wellFormed(figureText(t.distance), true)) << figureText(t.distance);
        ASSERT_EQ(std::stod(figureText(t.distance)), t.distance.value);
        ASSERT_LE(t.distance.value, 19898.2);
        ASSERT_EQ(t.ownToOther.shown, t.result.hasHeadings());
        ASSERT_EQ(t.otherToOwn.shown, t.result.hasHeadings());
        for (const Figure* h : {&t.ownToOther, &t.otherToOwn}) {
            if (h->shown) {
                const std::string text = figureText(*h);
                ASSERT_TRUE(wellFormed(text, false)) << text;
                ASSERT_EQ(std::stoi(text), h->value);
                ASSERT_LE(h->value, 360);
            }
        }
    }
}

// Every figure keeps the number its text shows, so nothing downstream (the
// rotator) works a figure out a second time.
TEST(Report, ExtrasCarryTheNumbersTheyShow)
{
    struct Case {
        const char* name;
        StationEntry own, other;
        DistanceUnit unit;
    };
    const Case cases[] = {
        {"London to New York in km", at(51, 30, 0, "N", 0, 7, 0, "W"), at(40, 42, 0, "N", 74, 0, 0, "W"),
            DistanceUnit::Kilometres},
        {"London to Sydney in miles", at(51, 30, 0, "N", 0, 7, 0, "W"), at(33, 51, 0, "S", 151, 12, 0, "E"),
            DistanceUnit::StatuteMiles},
        {"same place in nautical miles", at(10, 0, 0, "N", 0, 0, 0, "E"), at(10, 0, 0, "N", 0, 0, 0, "E"),
            DistanceUnit::NauticalMiles},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReportOptions options;
        options.unit = c.unit;
        options.longPath = true;
        options.ellipsoid = solveWgs84;
        options.locators = true;
        const Report r = press(c.own, c.other, options);
        const bool headings = r.result.hasHeadings();
        EXPECT_EQ(r.distance.value, roundDistance(arcToDistance(r.result.centralAngle, c.unit)));
        EXPECT_EQ(r.longDistance.value,
            roundDistance(longPathDistance(arcToDistance(r.result.centralAngle, c.unit), c.unit)));
        EXPECT_EQ(r.longHeading.shown, headings);
        EXPECT_EQ(r.ellipsoidOwnToOther.shown, headings);
        if (headings) {
            EXPECT_EQ(r.longHeading.value, roundHeading(longPathHeading(r.result.headingOwnToOther)));
            EXPECT_EQ(figureText(r.longHeading), numberText(r.longHeading.value));
            EXPECT_EQ(figureText(r.ellipsoidOwnToOther), numberText(r.ellipsoidOwnToOther.value));
            // Sphere and ellipsoid agree on the heading within a degree or so.
            const double gap = std::fabs(r.ellipsoidOwnToOther.value - r.ownToOther.value);
            EXPECT_LE(std::min(gap, 360 - gap), 2);
        }
        EXPECT_EQ(figureText(r.ellipsoidDistance), numberText(r.ellipsoidDistance.value));
        EXPECT_EQ(r.ownLocator6, locatorOf(r.own, 6));
        EXPECT_EQ(r.otherLocator8.size(), 8U);
    }
    // Without the extras their figures stay empty.
    const Report plain = press(cases[0].own, cases[0].other);
    EXPECT_FALSE(plain.longDistance.shown);
    EXPECT_FALSE(plain.ellipsoidDistance.shown);
    EXPECT_TRUE(plain.ownLocator6.empty());
}

// JSON Lines as skybrant-cli --batch --json writes them, byte for byte.
TEST(JsonReport, LinesKeepTheirBytes)
{
    struct Case {
        const char* name;
        StationEntry own;
        StationEntry other;
        std::uint64_t line;
        const char* json;
    };
    const Case cases[] = {
        {"London to New York, long path and locators", {51, 30, 0, 0, 7, 0, "N", "W"}, {40, 42, 0, 74, 0, 0, "N", "W"},
            1,
            R"({"line":1,"own":{"latitude":51.5,"longitude":-0.116666666666667,"locator":"IO91wm","locator8":"IO91wm60"},)"
            R"("other":{"latitude":40.7,"longitude":-74,"locator":"FN30aq","locator8":"FN30aq08"},)"
            R"("coordinate_unit":"degrees, north and east positive","distance":5539.2,"distance_unit":"km",)"
            R"("heading_own_to_other":288,"heading_other_to_own":51,"heading_unit":"degrees clockwise from true north",)"
            R"("long_path_distance":34257.2,"long_path_heading_own_to_other":108})"
            "\n"},
        {"the same place: null headings and a note", {10, 0, 0, 10, 0, 0, "N", "E"}, {10, 0, 0, 10, 0, 0, "N", "E"},
            18446744073709551615U,
            R"({"line":18446744073709551615,"own":{"latitude":10,"longitude":10,"locator":"JK50aa","locator8":"JK50aa00"},)"
            R"("other":{"latitude":10,"longitude":10,"locator":"JK50aa","locator8":"JK50aa00"},)"
            R"("coordinate_unit":"degrees, north and east positive","distance":0,"distance_unit":"km",)"
            R"("heading_own_to_other":null,"heading_other_to_own":null,"heading_unit":"degrees clockwise from true north",)"
            R"("note":"Both stations are at the same place, so there is no beam heading.",)"
            R"("long_path_distance":39796.4,"long_path_heading_own_to_other":null})"
            "\n"},
    };
    ReportOptions options;
    options.longPath = true;
    options.locators = true;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string out;
        cli::appendJson(
            makeReport(positionFromEntry(c.own), positionFromEntry(c.other), options), options, c.line, nullptr, out);
        EXPECT_EQ(out, c.json);
    }
}

// Texts are written whole up to the first byte that needs escaping, then
// byte by byte.
TEST(JsonReport, StringsEscapeAfterAPlainRun)
{
    struct Case {
        const char* name;
        std::string_view in;
        const char* out;
    };
    const Case cases[] = {
        {"empty", "", R"("")"},
        {"all plain", "JO01mm", R"("JO01mm")"},
        {"a quote after plain text", "ab\"cd", R"("ab\"cd")"},
        {"a backslash last", "ab\\", R"("ab\\")"},
        {"a line end after plain text", "ab\n", R"("ab\n")"},
        {"delete after a tilde", "~\x7f", R"("~\u007f")"},
        {"UTF-8 after plain text",
            "Gr\xC3\xB6\xC3\x9F"
            "e",
            "\"Gr\xC3\xB6\xC3\x9F"
            "e\""},
        {"a stray byte after plain text", "abc\xFF!", R"("abc\ufffd!")"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string out;
        cli::appendJsonString(c.in, out);
        EXPECT_EQ(out, c.out);
    }
}

}  // namespace
}  // namespace skybrant
