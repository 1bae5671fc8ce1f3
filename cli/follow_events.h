#pragma once
// The events of skybrant-cli --follow as the operator reads them: one line
// each, or one JSON object each with --json.

#include "follow_run.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace skybrant::cli {

// The status when the socket cannot listen.
inline constexpr int kFollowCannotListen = 1;
// Senders told of once each (refused, not the protocol); past this many,
// no more are told, so a flood of forged addresses cannot fill the screen.
inline constexpr std::size_t kMaxToldSenders = 256;

struct FollowEvent {
    FollowSource source = FollowSource::Wsjtx;
    std::string call;  // as shown: printable, bounded
    std::string grid;
    std::optional<double> heading;  // from the own station
    std::optional<double> distance;  // in the run's unit
    // The headings a 4-character square spans, when the grid is one.
    std::optional<std::pair<double, double>> spread;
    std::string problem;  // why there is no heading
    std::string decision;
};

// "WSJT-X", "JS8Call", "N1MM Logger+", "PstRotator".
std::string_view sourceTitle(FollowSource source);

// The other station of call and grid through the one station reader (the
// grid first, the country file for the call when the grid is empty or
// cannot be read), and its heading and distance from the own station.
FollowEvent stationEvent(const FollowSetup& setup, const std::string& call, const std::string& grid);

// "2026-06-21T20:00:05Z wsjtx K1ABC FN42 289° (288°–290°) 5613 km: turn to 289°",
// or the JSON object: time, source, call, grid, heading, distance, unit, decision.
std::string eventLine(const FollowEvent& event, const FollowSetup& setup);

}  // namespace skybrant::cli
