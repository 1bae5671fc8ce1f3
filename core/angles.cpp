#include "angles.h"

namespace skybrant {

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
