#include "sun_texts.h"

#include "sun.h"

#include <charconv>
#include <cstdio>

namespace skybrant {

namespace {

using namespace std::chrono;

std::string clockText(const std::optional<sys_seconds>& t, seconds offset)
{
    if (!t) {
        return {};
    }
    const sys_days day = floor<days>(*t);
    // To the nearest minute, the result being good to about one; a time in
    // the last half minute stays on its date. The offset moves the minute
    // to a local clock, round the clock's face.
    constexpr long long kMinutesPerDay = 24LL * 60;
    const auto utcMinute = std::min<long long>(((*t - day).count() + 30) / 60, kMinutesPerDay - 1);
    const long long minute = ((utcMinute + offset.count() / 60) % kMinutesPerDay + kMinutesPerDay) % kMinutesPerDay;
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld", minute / 60, minute % 60);
    return text;
}

bool readNumber(std::string_view text, int& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

SunTexts sunTexts(const Position& station, year_month_day date, seconds clockOffset)
{
    const Position at = onTheGlobe(station);
    const SunTimes times = sunTimes(date, at.latDegrees, at.lonDegrees);
    switch (times.daylight) {
    case Daylight::PolarDay:
        return {"polar day", "polar day"};
    case Daylight::PolarNight:
        return {"polar night", "polar night"};
    case Daylight::RisesAndSets:
        break;
    }
    return {clockText(times.sunrise, clockOffset), clockText(times.sunset, clockOffset)};
}

bool readSunDate(std::string_view text, year_month_day& date)
{
    int y = 0;
    int m = 0;
    int d = 0;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !readNumber(text.substr(0, 4), y) ||
        !readNumber(text.substr(5, 2), m) || !readNumber(text.substr(8, 2), d)) {
        return false;
    }
    const year_month_day candidate{year{y}, month{static_cast<unsigned>(m)}, day{static_cast<unsigned>(d)}};
    if (!candidate.ok() || y < 1901 || y > 2099) {
        return false;
    }
    date = candidate;
    return true;
}

std::string sunDateText(year_month_day date)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
        static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return text;
}

}  // namespace skybrant
