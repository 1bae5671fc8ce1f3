#pragma once

#include "rotator/rotator_address.h"
#include "rotator/rotator_policy.h"
#include "rotator/rotator_range.h"
#include "rotator/rotctld_client.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace skybrant::cli {

enum class RotatorStatus {
    Started,  // the turn was accepted; its end was not awaited
    Arrived,  // within kArrivedDegrees of the azimuth sent
    CannotConnect,  // refused, unreachable, unknown host
    TimedOut,  // no connection or no full reply within the timeout
    RotatorError,  // an RPRT error code, or a reply that is not the protocol's
    OutOfRange,  // no azimuth pointing along the heading lies within the range
    StoppedShort,  // stood still before reaching the azimuth sent
    WaitRanOut,  // still on its way when the wait ended
};

// The policy of a turn is the panel's too; these are its names here.
using rotctl::kArrivedDegrees;
using rotctl::RangeSource;
// Looks a host up as the system resolver does; error says why for none.
using LookUp = rotctl::LookUp;

struct RotatorRequest {
    rotctl::RotatorAddress address;
    double heading = 0;  // the beam heading as shown, 0..360
    // What the rotator reads with the antenna pointing north, added to the
    // heading for the azimuth sent, as rotctl::mastOffset keeps it.
    double offset = 0;
    // Limits that take the place of what the daemon says; when they alone
    // leave no azimuth along the heading, no daemon is asked.
    std::optional<double> minAzimuth;
    std::optional<double> maxAzimuth;
    // One deadline for connecting and the whole exchange up to the turn's
    // answer, counted once the host name is looked up; each reading while
    // waiting has one of its own.
    std::chrono::milliseconds timeout{2000};
    // With a value: read the position until the rotator arrives, stands
    // still short of the azimuth, or this much time has passed since the
    // turn was accepted.
    std::optional<std::chrono::milliseconds> wait;
    std::chrono::milliseconds pollInterval{500};
    // This long without moving kStillDegrees is standing still; long enough
    // for a controller that releases a brake before it turns.
    std::chrono::milliseconds stillTime{5000};
    // A sentence for the operator that is not an error (a range assumed).
    std::function<void(const std::string& note)> note;
    // Each position read while waiting, and the azimuth sent.
    std::function<void(double azimuth, double target)> progress;
    LookUp lookUp;  // the system resolver when empty
};

// Movement smaller than this is the reading's noise.
inline constexpr double kStillDegrees = 0.5;

struct RotatorOutcome {
    RotatorStatus status = RotatorStatus::CannotConnect;
    // For anything but Started and Arrived: one sentence for the operator,
    // naming the address and, for an RPRT code, the code and its meaning.
    std::string message;
    // What is known so far, each once it has been learnt.
    std::optional<rotctl::AzimuthRange> range;
    RangeSource rangeSource = RangeSource::Rotator;
    std::optional<double> startAzimuth;  // before the turn
    std::optional<double> commandedAzimuth;  // the azimuth sent
    // The last position read while waiting: where it arrived or stopped.
    std::optional<double> reportedAzimuth;
    std::optional<double> reportedElevation;
};

// Connects to the daemon, learns its azimuth range ("+\dump_state", unless
// both limits are given) and its position ("p"), sends "P <azimuth>
// <elevation>" for the azimuth rotctl::turnAzimuth chooses for the heading
// plus the offset, and the elevation
// the rotator reported, and expects "RPRT 0". With wait, then reads the
// position until the rotator arrives, stands still or the wait ends. Talks
// to no address other than the one given. A host name (not an address) is
// first looked up with the system resolver, which keeps to its own time
// limits rather than this timeout.
RotatorOutcome turnRotator(const RotatorRequest& request);

// Sends one command answered with RPRT alone (rotctl::kStopCommand,
// rotctl::kParkCommand) and expects "RPRT 0": Started when it came.
RotatorOutcome commandRotator(const RotatorRequest& request, std::string_view command);

// Reads the position: Started with reportedAzimuth and reportedElevation.
RotatorOutcome readRotator(const RotatorRequest& request);

}  // namespace skybrant::cli
