#pragma once

// Station entries as the window holds them, for the core tests.

#include "core/position.h"
#include "core/report.h"
#include "core/station.h"

#include <string>

namespace skybrant::test {

inline StationEntry at(int ld, int lm, int ls, const char* ns, int od, int om, int os, const char* ew)
{
    return StationEntry{ld, lm, ls, od, om, os, ns, ew};
}

// "51 30 0 N 0 7 0 W", for naming table rows.
inline std::string describe(const StationEntry& e)
{
    return std::to_string(e.latDegrees) + ' ' + std::to_string(e.latMinutes) + ' ' + std::to_string(e.latSeconds) +
        " \"" + e.latHemisphere + "\" " + std::to_string(e.lonDegrees) + ' ' + std::to_string(e.lonMinutes) + ' ' +
        std::to_string(e.lonSeconds) + " \"" + e.lonHemisphere + '"';
}

inline std::string describe(const StationEntry& own, const StationEntry& other)
{
    return describe(own) + " to " + describe(other);
}

// What a press of the compute button works out from two entries.
inline Report press(const StationEntry& own, const StationEntry& other, const ReportOptions& options = {})
{
    return makeReport(positionFromEntry(own), positionFromEntry(other), options);
}

inline GreatCircleResult solve(const StationEntry& own, const StationEntry& other)
{
    return solvePositions(positionFromEntry(own), positionFromEntry(other));
}

}  // namespace skybrant::test
