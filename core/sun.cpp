#include "sun.h"

#include "angles.h"
#include "sun_place.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace skybrant {

// The sun's place from NOAA's solar calculator equations (the Global
// Monitoring Laboratory's spreadsheet, after Meeus, Astronomical
// Algorithms), good to about a minute in sunrise and sunset between the
// polar circles. These are astronomical angles on the true pi, apart from
// the program's own sphere.

namespace {

using std::chrono::days;
using std::chrono::sys_days;
using std::chrono::sys_seconds;

constexpr double kRadiansPerDegree = std::numbers::pi / 180;
constexpr double kMinutesPerDay = 1440;
constexpr double kSecondsPerMinute = 60;
constexpr double kSecondsPerDay = 86400;

double sinDeg(double degrees)
{
    return std::sin(degrees * kRadiansPerDegree);
}

double cosDeg(double degrees)
{
    return std::cos(degrees * kRadiansPerDegree);
}

// Julian centuries from J2000.0 (no difference made between UTC and
// terrestrial time, as in NOAA's calculator).
double julianCentury(double utc)
{
    constexpr double kJulianDayOfUnixEpoch = 2440587.5;
    constexpr double kJulianDayOfJ2000 = 2451545;
    const double jd = kJulianDayOfUnixEpoch + utc / kSecondsPerDay;
    return (jd - kJulianDayOfJ2000) / 36525;
}

}  // namespace

SunPlace sunPlace(double utc)
{
    const double t = julianCentury(utc);
    const double meanLongitude = std::fmod(280.46646 + t * (36000.76983 + t * 0.0003032), 360.0);
    const double meanAnomaly = 357.52911 + t * (35999.05029 - 0.0001537 * t);
    const double eccentricity = 0.016708634 - t * (0.000042037 + 0.0000001267 * t);
    const double centre = sinDeg(meanAnomaly) * (1.914602 - t * (0.004817 + 0.000014 * t)) +
        sinDeg(2 * meanAnomaly) * (0.019993 - 0.000101 * t) + sinDeg(3 * meanAnomaly) * 0.000289;
    const double node = 125.04 - 1934.136 * t;
    const double apparentLongitude = meanLongitude + centre - 0.00569 - 0.00478 * sinDeg(node);
    const double meanObliquity = 23 + (26 + (21.448 - t * (46.815 + t * (0.00059 - t * 0.001813))) / 60) / 60;
    const double obliquity = meanObliquity + 0.00256 * cosDeg(node);

    SunPlace place;
    place.declination = std::asin(sinDeg(obliquity) * sinDeg(apparentLongitude)) / kRadiansPerDegree;
    const double y = std::pow(std::tan(obliquity * kRadiansPerDegree / 2), 2);
    const double e = eccentricity;
    const double eot = y * sinDeg(2 * meanLongitude) - 2 * e * sinDeg(meanAnomaly) +
        4 * e * y * sinDeg(meanAnomaly) * cosDeg(2 * meanLongitude) - 0.5 * y * y * sinDeg(4 * meanLongitude) -
        1.25 * e * e * sinDeg(2 * meanAnomaly);
    place.equationOfTime = 4 * eot / kRadiansPerDegree;
    return place;
}

SubsolarPoint subsolarPoint(sys_seconds utc)
{
    const SunPlace sun = sunPlace(static_cast<double>(utc.time_since_epoch().count()));
    const sys_days midnight = std::chrono::floor<days>(utc);
    const double minutesOfDay = static_cast<double>((utc - midnight).count()) / kSecondsPerMinute;
    // The sun is overhead where the apparent solar time is noon.
    return {sun.declination, wrapLongitude((kMinutesPerDay / 2 - minutesOfDay - sun.equationOfTime) / 4)};
}

double sunElevation(const SubsolarPoint& sun, double latDegrees, double lonDegrees)
{
    const double s = sinDeg(latDegrees) * sinDeg(sun.latDegrees) +
        cosDeg(latDegrees) * cosDeg(sun.latDegrees) * cosDeg(lonDegrees - sun.lonDegrees);
    return std::asin(std::clamp(s, -1.0, 1.0)) / kRadiansPerDegree;
}

}  // namespace skybrant
