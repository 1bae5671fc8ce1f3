#include "angles.h"

namespace skybrant {

double toDecimalDegrees(std::int32_t degrees, std::int32_t minutes, std::int32_t seconds)
{
    double q = static_cast<double>(minutes) / kMinutesPerDegree;
    q = q + static_cast<double>(degrees);
    q = q + static_cast<double>(seconds) / kSecondsPerDegree;
    return q;
}

double toRadians(double decimalDegrees)
{
    return (decimalDegrees * kPi) / kDegreesPerHalfTurn;
}

double toDegrees(double radians)
{
    return (radians * kDegreesPerHalfTurn) / kPi;
}

double wrap180(double degrees)
{
    if (degrees >= -180 && degrees <= 180) {
        return degrees;
    }
    double r = remainderOfTurn(degrees, 360.0);
    if (r > 180) {
        r -= 360;
    } else if (r < -180) {
        r += 360;
    }
    return r;
}

double wrapLongitude(double degrees)
{
    double lon = remainderOfTurn(degrees, 360.0);
    if (lon < -180) {
        lon += 360;
    } else if (lon >= 180) {
        lon -= 360;
    }
    return lon;
}

}  // namespace skybrant
