#pragma once

#include <cmath>
#include <optional>

// The rotator's figures that the panel, the command line and the saved
// settings all hold to.
namespace skybrant::rotctl {

// No rotator reads beyond a turn either side of its span: the protocol's
// azimuths, limits and positions lie within -360..720.
inline constexpr double kLowestAzimuth = -360;
inline constexpr double kHighestAzimuth = 720;

inline bool withinProtocol(double degrees)
{
    return degrees >= kLowestAzimuth && degrees <= kHighestAzimuth;
}

// The mast's offset (what the rotator reads with the antenna north) is
// within half a turn either way, to a tenth of a degree, whether saved,
// shown or applied.
inline constexpr double kLargestOffset = 180;
inline constexpr int kOffsetDecimals = 1;

// The offset as it is kept: rounded to a tenth; none beyond half a turn or
// for a figure that is not a number.
inline std::optional<double> mastOffset(double degrees)
{
    if (!(std::abs(degrees) <= kLargestOffset)) {
        return std::nullopt;
    }
    const double rounded = std::round(degrees * 10) / 10;
    // -0.04 rounds to -0, which would be saved as "-0".
    return rounded == 0 ? 0.0 : rounded;
}

}  // namespace skybrant::rotctl
