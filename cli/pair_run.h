#pragma once
// One pair from the command line: its figures, then the rotator's turn and
// the map, each when asked for.

#include "callsign_stations.h"
#include "core/report.h"
#include "map_picture.h"
#include "rotator.h"

#include <optional>
#include <string>

namespace skybrant::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitCannotConnect = 3;
inline constexpr int kExitTimedOut = 4;
inline constexpr int kExitRotatorError = 5;

struct PairOptions {
    ReportOptions report;
    bool json = false;
    // The rotator to turn, but for the heading.
    std::optional<RotatorRequest> rotator;
    // The country file for stations given by callsign; --entity names it.
    Callsigns* callsigns = nullptr;
    bool entity = false;
    std::optional<MapRequest> map;
};

// Writes text to standard output at once; kExitFailed, said on standard
// error, when it cannot.
int writeOut(const std::string& text);

// The figures, the rotator's turn and the map; the status to exit with.
int runOnePair(const Position& own, const Position& other, const PairOptions& options);

}  // namespace skybrant::cli
