#pragma once

#include "rotator_range.h"

#include <optional>

// How a turn is chosen, the same for the command line and the map window's
// panel: which limits are in force, where the turn starts from, which
// azimuth is sent, and when the rotator has arrived.
namespace skybrant::rotctl {

// Close enough to the azimuth sent to count as there.
inline constexpr double kArrivedDegrees = 2;

// Where the limits in force came from.
enum class RangeSource {
    Rotator,  // the daemon's state
    Options,  // both given by the operator
    Combined,  // one given, the other the daemon's or 0..360's
    Assumed,  // neither given nor told: 0..360
};

// The limits the operator gave; either may be missing.
struct GivenLimits {
    std::optional<double> min;
    std::optional<double> max;
};

struct TurnRange {
    AzimuthRange range;
    RangeSource source = RangeSource::Assumed;
};

// Each limit given takes the place of the daemon's; a limit neither gives
// nor tells is 0..360's.
TurnRange turnRange(GivenLimits given, std::optional<AzimuthRange> daemon);

// The widest range the given limits leave open, whatever the daemon says:
// the protocol's -360..720 for a limit not given.
AzimuthRange widestRange(GivenLimits given);

// Whether the given limits alone leave no azimuth pointing along wanted,
// so that no daemon need be asked.
bool ruledOut(double wanted, GivenLimits given);

// The azimuth to send for wanted (a heading plus the mast's offset, any
// finite number): for a range only assumed, wanted as 0 up to 360, which any
// rotator takes whatever its real span; otherwise the equivalent within the
// range that turns the least from the reading, or from the middle of the
// range while no reading is known. Nothing when none lies within the range.
std::optional<double> turnAzimuth(double wanted, const TurnRange& range, std::optional<double> reading);

// Whether a reading is within kArrivedDegrees of the azimuth sent.
bool arrivedAt(double reading, double target);

}  // namespace skybrant::rotctl
