#include "rotator_policy.h"

#include "core/angles.h"
#include "rotator_limits.h"

#include <cmath>

namespace skybrant::rotctl {

TurnRange turnRange(GivenLimits given, std::optional<AzimuthRange> daemon)
{
    if (given.min && given.max) {
        return {{*given.min, *given.max}, RangeSource::Options};
    }
    // Without the daemon's word, 0..360 is what every rotator takes.
    AzimuthRange range = daemon.value_or(AzimuthRange{});
    range.min = given.min.value_or(range.min);
    range.max = given.max.value_or(range.max);
    if (given.min || given.max) {
        return {range, RangeSource::Combined};
    }
    return {range, daemon ? RangeSource::Rotator : RangeSource::Assumed};
}

AzimuthRange widestRange(GivenLimits given)
{
    return {given.min.value_or(kLowestAzimuth), given.max.value_or(kHighestAzimuth)};
}

bool ruledOut(double wanted, GivenLimits given)
{
    if (!given.min && !given.max) {
        return false;
    }
    // Where the turn starts does not change whether one is possible.
    return !leastTurnAzimuth(wanted, widestRange(given), 0);
}

std::optional<double> turnAzimuth(double wanted, const TurnRange& range, std::optional<double> reading)
{
    if (!std::isfinite(wanted)) {
        return std::nullopt;
    }
    if (range.source == RangeSource::Assumed) {
        // wrap360 may give 360 itself; north is 0.
        return sentHeading(wrap360(wanted));
    }
    const double from = reading.value_or((range.range.min + range.range.max) / 2);
    return leastTurnAzimuth(wanted, range.range, from);
}

bool arrivedAt(double reading, double target)
{
    return std::abs(reading - target) <= kArrivedDegrees;
}

}  // namespace skybrant::rotctl
