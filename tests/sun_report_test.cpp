#include "cli/report.h"

#include "core/position.h"
#include "core/report.h"
#include "core/report_text.h"
#include "core/sun_texts.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace skybrant {
using cli::appendCsv;
using cli::appendJson;

namespace {

using namespace std::chrono;

constexpr year_month_day kMidsummer{year{2026}, June, day{21}};

TEST(SunReport, TimesAtStations)
{
    struct Case {
        const char* name;
        double lat, lon;
        const char *sunrise, *sunset;
    };
    // To the nearest minute of the sun's times (good to about a minute;
    // the sun's own tests hold them against an almanac).
    const Case cases[] = {
        {"London", 51.5, -0.1167, "03:43", "20:22"},
        {"Tromso", 69.65, 18.96, "polar day", "polar day"},
        {"the south pole", -90, 0, "polar night", "polar night"},
        // Past the pole the station stands for the point it reaches.
        {"past the north pole", 180 - 51.5, -0.1167 + 180, "03:43", "20:22"},
        // The sunrise of the local morning of the 22nd falls on the 21st
        // in UTC, after that day's sunset.
        {"Tokyo", 35.6762, 139.6503, "19:26", "10:00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SunTexts t = sunTexts(positionFromDegrees(c.lat, c.lon), kMidsummer);
        EXPECT_EQ(t.sunrise, c.sunrise);
        EXPECT_EQ(t.sunset, c.sunset);
    }
}

TEST(SunReport, Dates)
{
    struct Case {
        const char* text;
        bool ok;
    };
    const Case cases[] = {
        {"2026-06-21", true},
        {"1901-01-01", true},
        {"2099-12-31", true},
        {"2024-02-29", true},
        {"2026-02-29", false},
        {"2026-13-01", false},
        {"1900-12-31", false},
        {"2100-01-01", false},
        {"2026-6-21", false},
        {"2026-06-21T00:00", false},
        {"+026-06-21", false},
        {"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        year_month_day date{};
        EXPECT_EQ(readSunDate(c.text, date), c.ok);
        if (c.ok) {
            EXPECT_EQ(sunDateText(date), c.text);
        }
    }
}

TEST(SunReport, TextColumnsAndJson)
{
    ReportOptions options;
    options.sunDate = kMidsummer;
    const Report r = makeReport(positionFromDegrees(51.5, -0.1167), positionFromDegrees(69.65, 18.96), options);

    std::string text;
    appendText(r, options, text);
    EXPECT_NE(text.find("Sunrise at my station on 2026-06-21: 03:43 UTC\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Sunset at my station on 2026-06-21: 20:22 UTC\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Sunrise at the other station on 2026-06-21: polar day\n"), std::string::npos) << text;

    std::string csv;
    appendCsv(r, options, csv);
    EXPECT_TRUE(csv.ends_with(",03:43,20:22,polar day,polar day\n")) << csv;

    std::string json;
    appendJson(r, options, 0, nullptr, json);
    EXPECT_NE(json.find(R"("sun_date":"2026-06-21","own_sunrise":"03:43","own_sunset":"20:22",)"
                        R"("other_sunrise":"polar day","other_sunset":"polar day","sun_time_unit":"UTC")"),
        std::string::npos)
        << json;

    // A crossing on another date: empty column, null in JSON, "none" in text.
    Report other = r;
    other.ownSun.sunset.clear();
    std::string all;
    appendCsv(other, options, all);
    appendJson(other, options, 0, nullptr, all);
    appendText(other, options, all);
    EXPECT_NE(all.find(",03:43,,polar day,polar day\n"), std::string::npos) << all;
    EXPECT_NE(all.find(R"("own_sunset":null)"), std::string::npos) << all;
    EXPECT_NE(all.find("Sunset at my station on 2026-06-21: none on this date\n"), std::string::npos) << all;

    // Without --sun nothing about the sun.
    const ReportOptions plain;
    std::string none;
    appendText(makeReport(r.own, r.other, plain), plain, none);
    appendCsv(makeReport(r.own, r.other, plain), plain, none);
    appendJson(makeReport(r.own, r.other, plain), plain, 0, nullptr, none);
    EXPECT_EQ(none.find("sun"), std::string::npos);
    EXPECT_EQ(none.find("Sun"), std::string::npos);
}

}  // namespace
}  // namespace skybrant
