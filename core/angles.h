#pragma once

#include <bit>
#include <cmath>
#include <concepts>
#include <cstdint>

namespace skybrant {

// The program's value of pi. It is a little larger than the true constant
// (by about 4.1e-10), and that is intended: every degree/radian conversion
// uses it, in both directions, so results match the calculator operators
// already rely on (a latitude of 90 degrees has a cosine of about -2e-10,
// not 0). The worked examples in the tests depend on it bit for bit.
inline constexpr double kPi = 3.141592654;
static_assert(
    std::bit_cast<std::uint64_t>(kPi) == 0x400921FB54524550ULL, "kPi must be the double nearest to 3.141592654");

inline constexpr double kMinutesPerDegree = 60;
inline constexpr double kSecondsPerDegree = 3600;
inline constexpr double kDegreesPerHalfTurn = 180;

// (minutes / 60 + degrees) + seconds / 3600, in that order. Values outside the
// usual ranges (negative, 60 or more) are summed as they are.
// Inline, as every pair of a batch goes through these.
constexpr double toDecimalDegrees(std::int32_t degrees, std::int32_t minutes, std::int32_t seconds)
{
    double q = static_cast<double>(minutes) / kMinutesPerDegree;
    q = q + static_cast<double>(degrees);
    q = q + static_cast<double>(seconds) / kSecondsPerDegree;
    return q;
}

// (degrees * pi) / 180: the product first, then the quotient.
constexpr double toRadians(double decimalDegrees)
{
    return (decimalDegrees * kPi) / kDegreesPerHalfTurn;
}

// (radians * 180) / pi, the way back with the same pi.
constexpr double toDegrees(double radians)
{
    return (radians * kDegreesPerHalfTurn) / kPi;
}

// Angle wrapping, for degrees (double) and for the exact grid of position.h
// (std::int64_t), where turn is the size of a full turn in that measure.

// Whole turns taken off, keeping the sign: in (-turn, turn). Exact for both
// kinds (std::fmod and %).
template <typename T>
T remainderOfTurn(T angle, T turn)
{
    // Most angles are within a turn already; a division costs more than the
    // test.
    if (angle > -turn && angle < turn) {
        return angle;
    }
    if constexpr (std::floating_point<T>) {
        return std::fmod(angle, turn);
    } else {
        return angle % turn;
    }
}

// In [0, turn). For doubles a tiny negative angle comes back as turn itself,
// where adding the turn rounds up.
template <typename T>
T wrapTurn(T angle, T turn)
{
    const T r = remainderOfTurn(angle, turn);
    return r < 0 ? r + turn : r;
}

// Compass degrees in [0, 360] (360 only as wrapTurn says).
inline double wrap360(double degrees)
{
    return wrapTurn(degrees, 360.0);
}

// Degrees in [-180, 180]. An angle already in that range comes back as it
// is, so 180 E and 180 W keep their signs.
double wrap180(double degrees);

// Degrees in [-180, 180): 180 comes back as -180, so each meridian has one
// name, as map points and the subsolar point want.
double wrapLongitude(double degrees);

template <typename T>
struct LatLon {
    T lat;
    T lon;
};

// A latitude past a pole (89 60 60 N, or -100 degrees N) continues down the
// far side of the globe, half a turn round in longitude. The latitude comes
// back in [-turn/4, turn/4]. A longitude that is turned has its whole turns
// taken off and half a turn added, so it lies in (-turn/2, 3 turn/2); it is
// not brought into a smaller range, which would round it a second time.
// A latitude within the poles (or NaN) comes back exactly as it is, with
// its longitude.
template <typename T>
LatLon<T> foldPastPole(T lat, T lon, T turn)
{
    const T half = turn / 2;
    const T quarter = turn / 4;
    if (!(lat > quarter || lat < -quarter)) {
        return {lat, lon};
    }
    lat = remainderOfTurn(lat, turn);
    if (lat > half) {
        lat -= turn;
    } else if (lat < -half) {
        lat += turn;
    }
    if (lat > quarter || lat < -quarter) {
        lat = (lat > 0 ? half : -half) - lat;
        lon = remainderOfTurn(lon, turn) + half;
    }
    return {lat, lon};
}

}  // namespace skybrant
