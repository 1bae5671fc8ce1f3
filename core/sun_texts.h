#pragma once

#include "position.h"

#include <chrono>
#include <string>
#include <string_view>

namespace skybrant {

// Sunrise and sunset at a station on a UTC date as texts: "HH:MM" (UTC, to
// the nearest minute), "polar day" or "polar night" where the sun does not
// cross the horizon, and empty where the crossing falls on the date before
// or after. Of two sunrises or two sunsets on one date (near the polar
// circles) the first sunrise and the last sunset, as sunTimes gives them.
struct SunTexts {
    std::string sunrise;
    std::string sunset;
};

// clockOffset shows the times on a local clock instead (UTC+10: 10 hours).
SunTexts sunTexts(const Position& station, std::chrono::year_month_day date,
    std::chrono::seconds clockOffset = std::chrono::seconds{0});

// YYYY-MM-DD within the years the sun's equations hold (1901 to 2099).
bool readSunDate(std::string_view text, std::chrono::year_month_day& date);
std::string sunDateText(std::chrono::year_month_day date);

}  // namespace skybrant
