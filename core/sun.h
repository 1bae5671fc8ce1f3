#pragma once

#include <chrono>
#include <optional>

namespace skybrant {

// The point of the globe with the sun overhead, north and east positive.
struct SubsolarPoint {
    double latDegrees = 0;
    double lonDegrees = 0;  // [-180, 180)
};

SubsolarPoint subsolarPoint(std::chrono::sys_seconds utc);

// The sun's elevation above the horizon seen from a position, in degrees,
// with no refraction: positive by day, from -90 to 90.
double sunElevation(const SubsolarPoint& sun, double latDegrees, double lonDegrees);

// Whether the sun's upper limb crosses the horizon on a UTC date at a place.
enum class Daylight {
    RisesAndSets,
    PolarDay,  // up all day
    PolarNight,  // down all day
};

// Sunrise and sunset falling on a UTC date, to the second. On a day the sun
// rises and sets, either time can still be missing where it falls on the
// day before or after (far east or west, or on the last day before a polar
// day or night).
struct SunTimes {
    Daylight daylight = Daylight::RisesAndSets;
    std::optional<std::chrono::sys_seconds> sunrise;
    std::optional<std::chrono::sys_seconds> sunset;
};

SunTimes sunTimes(std::chrono::year_month_day date, double latDegrees, double lonDegrees);

}  // namespace skybrant
