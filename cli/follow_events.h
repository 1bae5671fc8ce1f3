#pragma once
// The events of skybrant-cli --follow as the operator reads them: one line
// each, or one JSON object each with --json.

#include "follow_run.h"

#include <string>

namespace skybrant::cli {

// The other station of call and grid through the one station reader, with
// the run's own station, unit and country file.
follow::FollowEvent stationEvent(const FollowSetup& setup, const std::string& call, const std::string& grid);

// "2026-06-21T20:00:05Z wsjtx K1ABC FN42 289° (288°–290°) 5613 km: turn to 289°",
// or the JSON object: time, source, call, grid, heading, distance, unit, decision.
std::string eventLine(const follow::FollowEvent& event, const FollowSetup& setup);

}  // namespace skybrant::cli
