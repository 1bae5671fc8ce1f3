#pragma once

namespace skybrant {

// The sun's declination and the equation of time, by NOAA's solar
// calculator equations: shared by the sun's position and the search for
// its sunrises and sunsets.
struct SunPlace {
    double declination = 0;  // degrees
    double equationOfTime = 0;  // minutes
};

// At an instant in seconds since 1970, fractions kept.
SunPlace sunPlace(double utc);

}  // namespace skybrant
