#include "core/sun.h"

#include "sun_polar_almanac.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>

namespace skybrant {
namespace {

using namespace std::chrono;

sys_seconds utc(int y, unsigned m, unsigned d, int hh, int mm, int ss)
{
    return sys_days{year{y} / month{m} / day{d}} + hours{hh} + minutes{mm} + seconds{ss};
}

std::string text(const std::optional<sys_seconds>& t)
{
    if (!t) {
        return "none";
    }
    const sys_days day = floor<days>(*t);
    const hh_mm_ss clock{*t - day};
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", static_cast<int>(clock.hours().count()),
        static_cast<int>(clock.minutes().count()), static_cast<int>(clock.seconds().count()));
    return buffer;
}

// The sunrise and sunset falling on each UTC date: the upper limb at the
// horizon with standard refraction, the centre of the sun 0.833 degrees
// below it. Figures from PyEphem 4.1.4 (XEphem's libastro ephemeris, Debian
// python3-ephem) set up as the US Naval Observatory's almanac defines
// sunrise: upper limb, horizon -0 deg 34', pressure 0, elevation 0.
//   London    51.5000 N   0.1167 W  2026-06-21  rise 03:43:08  set 20:21:26
//   Sydney    33.8688 S 151.2093 E  2026-12-21  rise 18:41:06  set 09:05:26
//   New York  40.7128 N  74.0060 W  2026-03-20  rise 10:59:18  set 23:08:11
//   Tokyo     35.6762 N 139.6503 E  2026-09-23  rise 20:30:31  set 08:37:31
//   Quito      0.1807 S  78.4678 W  2026-01-15  rise 11:19:24  set 23:27:17
//   Reykjavik 64.1466 N  21.9426 W  2026-12-21  rise 11:22:16  set 15:29:27
//   Honolulu  21.3069 N 157.8583 W  2026-07-04  rise 15:54:12  set 05:17:37
// (London's midsummer sunrise and sunset are the familiar 04:43 and 21:21
// of British Summer Time.) Where the rise is later in the day than the
// set, the set closes the local day before and the rise opens the next.
TEST(Sun, SunriseAndSunsetWithinAMinuteOfTheAlmanac)
{
    struct Case {
        const char* place;
        double lat, lon;
        int y;
        unsigned m, d;
        sys_seconds rise, set;
    };
    const Case cases[] = {
        {"London", 51.5, -0.1167, 2026, 6, 21, utc(2026, 6, 21, 3, 43, 8), utc(2026, 6, 21, 20, 21, 26)},
        {"Sydney", -33.8688, 151.2093, 2026, 12, 21, utc(2026, 12, 21, 18, 41, 6), utc(2026, 12, 21, 9, 5, 26)},
        {"New York", 40.7128, -74.0060, 2026, 3, 20, utc(2026, 3, 20, 10, 59, 18), utc(2026, 3, 20, 23, 8, 11)},
        {"Tokyo", 35.6762, 139.6503, 2026, 9, 23, utc(2026, 9, 23, 20, 30, 31), utc(2026, 9, 23, 8, 37, 31)},
        {"Quito", -0.1807, -78.4678, 2026, 1, 15, utc(2026, 1, 15, 11, 19, 24), utc(2026, 1, 15, 23, 27, 17)},
        {"Reykjavik", 64.1466, -21.9426, 2026, 12, 21, utc(2026, 12, 21, 11, 22, 16), utc(2026, 12, 21, 15, 29, 27)},
        {"Honolulu", 21.3069, -157.8583, 2026, 7, 4, utc(2026, 7, 4, 15, 54, 12), utc(2026, 7, 4, 5, 17, 37)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.place);
        const SunTimes t = sunTimes(year{c.y} / month{c.m} / day{c.d}, c.lat, c.lon);
        EXPECT_EQ(t.daylight, Daylight::RisesAndSets);
        ASSERT_TRUE(t.sunrise.has_value());
        ASSERT_TRUE(t.sunset.has_value());
        SCOPED_TRACE("sunrise " + text(t.sunrise) + ", sunset " + text(t.sunset));
        EXPECT_LE(std::abs((*t.sunrise - c.rise).count()), 60);
        EXPECT_LE(std::abs((*t.sunset - c.set).count()), 60);
    }
}

TEST(Sun, PolarDayAndPolarNight)
{
    struct Case {
        const char* name;
        double lat, lon;
        int y;
        unsigned m, d;
        Daylight daylight;
    };
    const Case cases[] = {
        {"Tromso at midsummer", 69.65, 18.96, 2026, 6, 21, Daylight::PolarDay},
        {"Tromso at midwinter", 69.65, 18.96, 2026, 12, 21, Daylight::PolarNight},
        {"the south pole in December", -90, 0, 2026, 12, 21, Daylight::PolarDay},
        {"the south pole in June", -90, 0, 2026, 6, 21, Daylight::PolarNight},
        {"McMurdo at midwinter", -77.85, 166.67, 2026, 6, 21, Daylight::PolarNight},
        {"Tromso at the equinox", 69.65, 18.96, 2026, 3, 20, Daylight::RisesAndSets},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SunTimes t = sunTimes(year{c.y} / month{c.m} / day{c.d}, c.lat, c.lon);
        EXPECT_EQ(t.daylight, c.daylight);
        if (c.daylight == Daylight::RisesAndSets) {
            EXPECT_TRUE(t.sunrise.has_value());
            EXPECT_TRUE(t.sunset.has_value());
        } else {
            EXPECT_FALSE(t.sunrise.has_value());
            EXPECT_FALSE(t.sunset.has_value());
        }
    }
}

// Whether a sunrise or sunset is within the tolerance (a minute) of the
// almanac's "HH:MM:SS", or missing where the almanac says "none".
::testing::AssertionResult nearAlmanac(
    const std::optional<sys_seconds>& t, sys_days date, const std::string& almanac, int tolerance)
{
    if (almanac == "none") {
        return t ? ::testing::AssertionFailure() << "found " << text(t) << ", the almanac has none"
                 : ::testing::AssertionSuccess();
    }
    int hh = 0;
    int mm = 0;
    int ss = 0;
    if (std::sscanf(almanac.c_str(), "%d:%d:%d", &hh, &mm, &ss) != 3) {
        return ::testing::AssertionFailure() << "bad almanac time " << almanac;
    }
    const sys_seconds expected = date + hours{hh} + minutes{mm} + seconds{ss};
    if (!t || std::abs((*t - expected).count()) > tolerance) {
        return ::testing::AssertionFailure() << "found " << text(t) << ", the almanac has " << almanac;
    }
    return ::testing::AssertionSuccess();
}

// One place-day against an almanac line's sunrise and sunset ("polar-day"
// or "polar-night" for both where the sun does not cross).
void expectAlmanac(
    double lat, double lon, year_month_day date, const std::string& rise, const std::string& set, int tolerance = 60)
{
    const SunTimes t = sunTimes(date, lat, lon);
    if (rise == "polar-day" || rise == "polar-night") {
        EXPECT_EQ(t.daylight, rise == "polar-day" ? Daylight::PolarDay : Daylight::PolarNight)
            << "sunrise " << text(t.sunrise) << ", sunset " << text(t.sunset);
        return;
    }
    EXPECT_EQ(t.daylight, Daylight::RisesAndSets);
    EXPECT_TRUE(nearAlmanac(t.sunrise, sys_days{date}, rise, tolerance)) << "sunrise";
    EXPECT_TRUE(nearAlmanac(t.sunset, sys_days{date}, set, tolerance)) << "sunset";
}

// Near the polar circles a day or night can last minutes, a date can hold
// two sunrises or two sunsets (the first sunrise and the last sunset are
// given) or just one crossing; the whole date is searched. Figures from
// the almanac of sun_polar_almanac.h.
TEST(Sun, ShortDaysAndNightsNearThePolarCircles)
{
    struct Case {
        const char* name;
        double lat, lon;
        year_month_day date;
        const char *rise, *set;
    };
    const Case cases[] = {
        {"the night of 36 minutes whose sunset was missed", -67, -150, 2027y / January / 9, "10:25:05", "09:49:23"},
        {"a day of 18 minutes", -68, -150, 2026y / June / 7, "21:49:58", "22:07:35"},
        {"a night of 9 minutes", 68, -150, 2026y / May / 26, "10:01:28", "09:51:58"},
        {"a sunrise 7 minutes after midnight", -67.5, 175, 2026y / June / 15, "00:07:08", "00:33:30"},
        // Rises at 00:01:00 and 23:55:27.
        {"two sunrises, the first given", -67.5, 175, 2026y / June / 29, "00:01:00", "00:46:00"},
        // Sets at 00:03:08 and 23:59:26.
        {"two sunsets, the last given", -67, -150, 2026y / May / 24, "19:53:41", "23:59:26"},
        {"the sunrise that ends the night, polar day after", 68, 0, 2026y / May / 26, "00:16:42", "none"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        expectAlmanac(c.lat, c.lon, c.date, c.rise, c.set);
    }
}

// Within a few tenths of a degree of the poles the daily turn hardly moves
// the sun and the date is walked instead. There the crossing comes from the
// declination alone, which near the equinoxes moves a thousandth of a
// degree in about four minutes: NOAA's equations and the almanac (as in
// sun_polar_almanac.h) differ by that much, so these hold to ten minutes.
TEST(Sun, CloseToThePoles)
{
    struct Case {
        const char* name;
        double lat, lon;
        year_month_day date;
        const char *rise, *set;
    };
    const Case cases[] = {
        {"the north pole, the first sunrise of the year", 90, 0, 2026y / March / 18, "12:13:05", "none"},
        {"the north pole, the day after", 90, 0, 2026y / March / 19, "polar-day", "polar-day"},
        {"near the north pole, a last short night", 89.8, 0, 2026y / March / 18, "07:37:10", "21:25:16"},
        {"near the north pole, the sun setting for the winter", 89.6, -120, 2026y / September / 25, "15:52:34",
            "22:29:27"},
        {"near the south pole, the first sunrise", -89.75, 45, 2026y / September / 21, "01:38:05", "none"},
        {"near the south pole, still up", -89.8, 100, 2026y / March / 20, "polar-day", "polar-day"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        expectAlmanac(c.lat, c.lon, c.date, c.rise, c.set, 600);
    }
}

// Every place-day of the almanac's scan around both solstices at 65.5 to
// 68 degrees north and 66 to 68 degrees south.
TEST(Sun, ScanAroundThePolarCirclesWithinAMinuteOfTheAlmanac)
{
    std::istringstream lines{std::string(kPolarAlmanac)};
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        if (line.empty()) {
            continue;
        }
        SCOPED_TRACE(line);
        double lat = 0;
        double lon = 0;
        int y = 0;
        unsigned m = 0;
        unsigned d = 0;
        char rise[16] = {};
        char set[16] = {};
        ASSERT_EQ(std::sscanf(line.c_str(), "%lf %lf %d-%u-%u %15s %15s", &lat, &lon, &y, &m, &d, rise, set), 7);
        expectAlmanac(lat, lon, year{y} / month{m} / day{d}, rise, set);
        ++count;
    }
    EXPECT_EQ(count, kPolarAlmanacDays);
}

// The search against a plain walk through the date in 20-second steps of
// the same sun (sunElevation at subsolarPoint), at high latitudes through
// a year: the first sunrise and last sunset agree to the walk's step, and
// a date without crossings is one the walk finds none in either.
TEST(Sun, SameCrossingsAsAFineWalkThroughTheDate)
{
    constexpr int kStep = 20;
    const double latitudes[] = {60, -63.5, 65.7, -66.6, 67.3, -69, 72.5, -78, 85, -89.5, 89.85, -90};
    const double longitudes[] = {-179.9, -37.5, 143};
    for (const double lat : latitudes) {
        for (const double lon : longitudes) {
            for (sys_days date = sys_days{2026y / January / 3}; date < sys_days{2027y / January / 1};
                 date += days{29}) {
                SCOPED_TRACE(std::to_string(lat) + " " + std::to_string(lon) + " " +
                    std::to_string(static_cast<unsigned>(year_month_day{date}.month())) + "/" +
                    std::to_string(static_cast<unsigned>(year_month_day{date}.day())));
                std::optional<sys_seconds> rise;
                std::optional<sys_seconds> set;
                bool wasUp = sunElevation(subsolarPoint(date), lat, lon) > -0.833;
                for (sys_seconds t = date + seconds{kStep}; t <= date + days{1}; t += seconds{kStep}) {
                    const bool up = sunElevation(subsolarPoint(t), lat, lon) > -0.833;
                    if (up != wasUp && up && !rise) {
                        rise = t - seconds{kStep / 2};
                    } else if (up != wasUp && !up) {
                        set = t - seconds{kStep / 2};
                    }
                    wasUp = up;
                }
                const SunTimes found = sunTimes(year_month_day{date}, lat, lon);
                EXPECT_EQ(found.sunrise.has_value(), rise.has_value()) << text(found.sunrise);
                EXPECT_EQ(found.sunset.has_value(), set.has_value()) << text(found.sunset);
                if (rise && found.sunrise) {
                    EXPECT_LE(std::abs((*found.sunrise - *rise).count()), kStep);
                }
                if (set && found.sunset) {
                    EXPECT_LE(std::abs((*found.sunset - *set).count()), kStep);
                }
                if (!rise && !set) {
                    EXPECT_EQ(found.daylight, wasUp ? Daylight::PolarDay : Daylight::PolarNight);
                }
            }
        }
    }
}

// The subsolar point at the 2026 equinoxes and solstices (times and places
// from PyEphem 4.1.4, as above: the declination and the sun's right
// ascension less Greenwich apparent sidereal time).
TEST(Sun, SubsolarPointAtTheSolsticesAndEquinoxes)
{
    struct Case {
        const char* name;
        sys_seconds when;
        double lat, lon;
    };
    const Case cases[] = {
        {"March equinox", utc(2026, 3, 20, 14, 45, 53), 0.0001, -39.622},
        {"June solstice", utc(2026, 6, 21, 8, 24, 31), 23.4379, 54.315},
        {"September equinox", utc(2026, 9, 23, 0, 5, 9), 0.0000, 176.848},
        {"December solstice", utc(2026, 12, 21, 20, 50, 0), -23.4374, -132.937},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SubsolarPoint p = subsolarPoint(c.when);
        EXPECT_NEAR(p.latDegrees, c.lat, 0.005);
        EXPECT_NEAR(p.lonDegrees, c.lon, 0.05);
        // Overhead there; on the horizon a quarter turn away.
        EXPECT_NEAR(sunElevation(p, c.lat, c.lon), 90, 0.01);
        EXPECT_NEAR(sunElevation(p, c.lat - 90 * (c.lat >= 0 ? 1 : -1), c.lon), 0, 0.01);
    }
    // The longitude stays in [-180, 180) through the day.
    for (int hour = 0; hour < 24; ++hour) {
        SCOPED_TRACE(hour);
        const SubsolarPoint p = subsolarPoint(utc(2026, 6, 21, hour, 0, 0));
        EXPECT_GE(p.lonDegrees, -180);
        EXPECT_LT(p.lonDegrees, 180);
    }
}

}  // namespace
}  // namespace skybrant
