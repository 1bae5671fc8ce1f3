#include "rotator_texts.h"

#include "core/angles.h"
#include "rotator_protocol.h"

#include <cmath>

namespace skybrant::rotctl {

std::string cannotReachText(std::string_view where, double shownHeading, double offset, AzimuthRange range)
{
    const double heading = sentHeading(shownHeading);
    std::string text = "the rotator";
    if (!where.empty()) {
        text += " at ";
        text += where;
    }
    return text + " cannot reach " + std::to_string(std::lround(heading)) + "\u00b0 (azimuth " +
        shownAzimuth(wrap360(heading + offset)) + "): its range is " + rangeText(range);
}

}  // namespace skybrant::rotctl
