#pragma once
// skybrant-cli --follow: listens for another program's datagrams until
// interrupted, turns the rotator by the follow rules (or as a logger's rotor
// commands ask), and writes one line per event.

#include "callsign_stations.h"
#include "core/position.h"
#include "core/units.h"
#include "follow/follower.h"
#include "rotator.h"

#include <functional>
#include <optional>
#include <string>

namespace skybrant::cli {

// The status when the socket cannot listen.
inline constexpr int kFollowCannotListen = 1;

struct FollowSetup : follow::FollowerSetup {
    // The rotator to turn; none only shows.
    std::optional<RotatorRequest> rotator;
    bool json = false;
    DistanceUnit unit = DistanceUnit::Kilometres;
    Position own;
    Callsigns* callsigns = nullptr;
    // Readable when the run is to end (the stop signals' pipe).
    int stopFd = -1;
    // Each event line, and each message for standard error.
    std::function<void(const std::string& line)> out;
    std::function<void(const std::string& message)> err;
    // Told once the socket listens, before the first datagram is read.
    std::function<void()> listening;
};

// Runs until stopFd is readable; kExitOk then, or a failing status with a
// message when the socket cannot listen.
int runFollow(const FollowSetup& setup);

}  // namespace skybrant::cli
