#pragma once

#include <bit>
#include <cstdint>

namespace skybrant {

// The program's value of pi. It is a little larger than the true constant
// (by about 4.1e-10); every degree/radian conversion uses it, in both
// directions, so results match the calculator operators already rely on.
inline constexpr double kPi = 3.141592654;
static_assert(
    std::bit_cast<std::uint64_t>(kPi) == 0x400921FB54524550ULL, "kPi must be the double nearest to 3.141592654");

inline constexpr double kMinutesPerDegree = 60;
inline constexpr double kSecondsPerDegree = 3600;
inline constexpr double kDegreesPerHalfTurn = 180;

// (minutes / 60 + degrees) + seconds / 3600, in that order. Values outside the
// usual ranges (negative, 60 or more) are summed as they are.
double toDecimalDegrees(std::int32_t degrees, std::int32_t minutes, std::int32_t seconds);

// (degrees * pi) / 180: the product first, then the quotient.
double toRadians(double decimalDegrees);

// (radians * 180) / pi.
double toDegrees(double radians);

}  // namespace skybrant
