#pragma once

#include "rotator/rotator_address.h"

#include <chrono>
#include <string>

namespace skybrant::cli {

enum class RotatorStatus {
    Turned,  // RPRT 0 for the turn and a position read back
    CannotConnect,  // refused, unreachable, unknown host
    TimedOut,  // no connection or no full reply before the deadline
    RotatorError,  // an RPRT error code, or a reply that is not the protocol's
};

struct RotatorOutcome {
    RotatorStatus status = RotatorStatus::CannotConnect;
    // For anything but Turned: one sentence for the operator, naming the
    // address and, for an RPRT code, the code and its meaning.
    std::string message;
    // The position the rotator reported after the turn was accepted (it may
    // still be on its way to the commanded azimuth).
    double reportedAzimuth = 0;
    double reportedElevation = 0;
};

// Connects to the daemon, sends "P <azimuth> 0", expects "RPRT 0", then sends
// "p" and reads the azimuth and elevation back. The whole exchange must end
// within timeout. Talks to no address other than the one given, and never
// through a proxy. Needs no QCoreApplication or event loop. A host name (not
// an address) is first looked up with the system resolver, which keeps to its
// own time limits rather than this timeout.
RotatorOutcome turnRotator(
    const rotctl::RotatorAddress& address, double azimuthDegrees, std::chrono::milliseconds timeout);

}  // namespace skybrant::cli
