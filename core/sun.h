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

// Whether the sun's upper limb crosses the horizon on a UTC date at a place
// (the sun's centre 0.833 degrees below it: standard refraction).
enum class Daylight {
    RisesAndSets,  // at least one sunrise or sunset within the date
    PolarDay,  // up all date long
    PolarNight,  // down all date long
};

// Sunrise and sunset falling within a UTC date, to the second. The whole
// date is searched, so near the polar circles a day or night of a few
// minutes is found, and a date can hold two sunrises (the days lengthening
// fast) or two sunsets (shortening): then the first sunrise and the last
// sunset are given, the first time the sun comes up on the date and the
// last time it goes down. Either time can be missing where the date holds
// none of its kind (far east or west, or the day before a polar day or
// night begins, or after one ends).
struct SunTimes {
    Daylight daylight = Daylight::RisesAndSets;
    std::optional<std::chrono::sys_seconds> sunrise;
    std::optional<std::chrono::sys_seconds> sunset;
};

// Latitude from -90 to 90 (clamped), longitude east positive; a latitude or
// longitude that is not a finite number gives no times.
SunTimes sunTimes(std::chrono::year_month_day date, double latDegrees, double lonDegrees);

}  // namespace skybrant
