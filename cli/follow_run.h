#pragma once
// skybrant-cli --follow: listens for another program's datagrams until
// interrupted, turns the rotator by the follow rules (or as a logger's rotor
// commands ask), and writes one line per event.

#include "callsign_stations.h"
#include "core/position.h"
#include "core/units.h"
#include "follow/follow_rules.h"
#include "follow_sockets.h"
#include "rotator.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skybrant::cli {

// N1MM's rotor program reports to this port of the logger's host.
inline constexpr std::uint16_t kN1mmReportPort = 13010;

struct FollowSetup {
    FollowSource source = FollowSource::Wsjtx;
    Endpoint listen;
    // Every datagram taken is sent on, byte for byte, to each of these.
    std::vector<Endpoint> forwards;
    // Senders taken besides loopback.
    std::vector<std::uint32_t> allowed;
    // The rotator to turn; none only shows.
    std::optional<RotatorRequest> rotator;
    follow::FollowOptions rules;
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
