#pragma once

#include <chrono>
#include <optional>
#include <string_view>

namespace skybrant::cli {

// The dates the sun's equations hold for, the first and last day of the
// years 1901 to 2099: --date and --time take nothing outside them.
inline constexpr std::chrono::sys_days kFirstDay{std::chrono::year{1901} / 1 / 1};
inline constexpr std::chrono::sys_days kLastDay{std::chrono::year{2099} / 12 / 31};

// An ISO 8601 date, YYYY-MM-DD, within those days.
std::optional<std::chrono::year_month_day> readIsoDate(std::string_view text);

// An ISO 8601 date and time, YYYY-MM-DDTHH:MM[:SS[.fraction]], with a space
// allowed for the T, in UTC unless it ends in an offset (Z, +HH, +HH:MM or
// +HHMM, or the same with -); the fraction is dropped. The date as written
// and the instant in UTC both lie within the days above.
std::optional<std::chrono::sys_seconds> readIsoTime(std::string_view text);

}  // namespace skybrant::cli
