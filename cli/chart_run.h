#pragma once
// skybrant-cli --chart: the bearing chart from the own station to every
// entity of the country file.

#include "callsign_stations.h"
#include "command_arguments.h"

#include "core/bearing_chart.h"

#include <chrono>

namespace skybrant::cli {

struct ChartRun {
    ChartFile file;
    ChartOrder order = ChartOrder::Heading;
    bool json = false;
    bool csv = false;
    ReportOptions report;  // the unit and the magnetic date
    std::chrono::year_month_day date{};
};

// Reads the country file, makes the chart and writes it to standard output
// or, through the map module, to the file; the status to exit with.
int runChart(const ChartRun& run, const Position& own, Callsigns& callsigns);

}  // namespace skybrant::cli
