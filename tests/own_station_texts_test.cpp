// The own station's saved texts as the window loads and writes them, and
// the mast offset's saved text, without Qt.

#include "settings/own_station.h"
#include "settings/rotator_offset.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

using namespace skybrant;
using namespace skybrant::settings;

namespace {

using Texts = std::array<std::u16string, kOwnStationKeys.size()>;

TEST(WindowLoad, RunsTheBoxChecksInTheOrderOfTheKeys)
{
    struct Case {
        const char* name;
        Texts texts;
        StationEntry entry;
        std::array<const char16_t*, 8> resetTo;  // nullptr: taken as it stands
    };
    const Case cases[] = {
        {"as saved", {u"51", u"30", u"0", u"N", u"0", u"7", u"0", u"W"}, {51, 30, 0, 0, 7, 0, "N", "W"}, {}},
        {"blank and hand-written boxes read as the box reads them",
            {u" ", u"", u"12abc", u"X", u"4 5", u"2.5", u"", u""}, {0, 0, 12, 45, 2, 0, "X", ""}, {}},
        {"degrees past the limit stored as 0", {u"95", u"30", u"0", u"S", u"181", u"0", u"0", u"E"},
            {0, 30, 0, 0, 0, 0, "S", "E"}, {u"", nullptr, nullptr, nullptr, u"", nullptr, nullptr, nullptr}},
        {"minutes beside 90 degrees, checked against the degrees just read",
            {u"90", u"30", u"61", u"N", u"180", u"0", u"1", u"W"}, {90, 0, 0, 180, 0, 0, "N", "W"},
            {nullptr, u"00", u"00", nullptr, nullptr, nullptr, u"00", nullptr}},
        {"a number beyond 32 bits", {u"1", u"99999999999", u"0", u"N", u"1", u"0", u"0", u"E"},
            {1, 0, 0, 1, 0, 0, "N", "E"}, {nullptr, u"", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const WindowLoad load = windowLoad(c.texts);
        EXPECT_EQ(load.entry.latDegrees, c.entry.latDegrees);
        EXPECT_EQ(load.entry.latMinutes, c.entry.latMinutes);
        EXPECT_EQ(load.entry.latSeconds, c.entry.latSeconds);
        EXPECT_EQ(load.entry.lonDegrees, c.entry.lonDegrees);
        EXPECT_EQ(load.entry.lonMinutes, c.entry.lonMinutes);
        EXPECT_EQ(load.entry.lonSeconds, c.entry.lonSeconds);
        EXPECT_EQ(load.entry.latHemisphere, c.entry.latHemisphere);
        EXPECT_EQ(load.entry.lonHemisphere, c.entry.lonHemisphere);
        for (std::size_t k = 0; k < c.resetTo.size(); ++k) {
            SCOPED_TRACE(kOwnStationKeys.at(k).key);
            ASSERT_EQ(load.resetTo.at(k).has_value(), c.resetTo.at(k) != nullptr);
            if (c.resetTo.at(k) != nullptr) {
                EXPECT_EQ(*load.resetTo.at(k), std::u16string_view(c.resetTo.at(k)));
            }
        }
    }
}

TEST(OwnStationTexts, WritesWholeSecondsAndTheHemispheres)
{
    struct Case {
        const char* name;
        Position position;
        std::array<const char*, 8> texts;
    };
    const Case cases[] = {
        {"London", positionFromDegrees(51.5, -7.0 / 60), {"51", "30", "0", "N", "0", "7", "0", "W"}},
        {"south and east", positionFromDegrees(-33.8688, 151.2093), {"33", "52", "8", "S", "151", "12", "33", "E"}},
        {"a half second rounds up, carrying into the degrees", positionFromDegrees(10.99999, 0.0001),
            {"11", "0", "0", "N", "0", "0", "0", "E"}},
        {"a pole", positionFromDegrees(-90, 45), {"90", "0", "0", "S", "45", "0", "0", "E"}},
        {"the date line is 180 W", positionFromDegrees(0, 180), {"0", "0", "0", "N", "180", "0", "0", "W"}},
        {"past the date line", positionFromDegrees(0, 190), {"0", "0", "0", "N", "170", "0", "0", "W"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto texts = ownStationTexts(c.position);
        for (std::size_t k = 0; k < texts.size(); ++k) {
            EXPECT_EQ(texts.at(k), c.texts.at(k)) << kOwnStationKeys.at(k).key;
        }
        // What is written reads back as the same place, to the second.
        Texts wide;
        for (std::size_t k = 0; k < texts.size(); ++k) {
            wide.at(k) = std::u16string(texts.at(k).begin(), texts.at(k).end());
        }
        const Position back = positionFromEntry(windowLoad(wide).entry);
        constexpr double kHalfSecond = 0.5 / 3600;
        EXPECT_NEAR(back.latDegrees, c.position.latDegrees, kHalfSecond);
        if (std::abs(back.latDegrees) < 90) {
            EXPECT_NEAR(std::remainder(back.lonDegrees - c.position.lonDegrees, 360.0), 0, kHalfSecond);
        }
    }
}

TEST(SavedMastOffset, ReadsWhatThePanelKeeps)
{
    struct Case {
        const char* text;
        std::optional<double> offset;
    };
    const Case cases[] = {
        {"", 0.0},
        {"  ", 0.0},
        {"12.5", 12.5},
        {"+7", 7.0},
        {" -180 ", -180.0},
        {"10.04", 10.0},
        {"-0.04", 0.0},
        {"1e1", 10.0},
        {"180.1", std::nullopt},
        {"NaN", std::nullopt},
        {"inf", std::nullopt},
        {"12 degrees", std::nullopt},
        {"+-3", std::nullopt},
        {"0x10", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(offsetFromText(c.text), c.offset);
    }
}

}  // namespace
