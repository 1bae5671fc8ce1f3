#pragma once
// The bearing chart: the beam heading and distance from the own station to
// every entity of a country file, for the wall beside the rig.

#include "country_files.h"
#include "report.h"

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace skybrant {

enum class ChartOrder { Heading, Prefix, Distance };

// One entity of the file at its reference point (never at a prefix, which
// may read as a locator), with the figures of that single pair: the long
// path always, the magnetic headings when the options ask.
struct ChartRow {
    const CountryEntity* entity = nullptr;
    Report report;
};

// Every entity of the file once, in the order asked for: by beam heading
// (entities with none, at the own station or its antipode, last), by
// primary prefix, or by distance; ties by prefix.
std::vector<ChartRow> bearingChart(
    const Position& own, const CountryFiles& file, const ReportOptions& options, ChartOrder order);

// "heading", "prefix" or "distance".
std::string_view chartOrderName(ChartOrder order);

// A chart with what its page says above the rows.
struct BearingChart {
    Position own;
    std::chrono::year_month_day date{};  // of the chart, and of the magnetic headings
    std::string countryFile;  // the file's version entry, or its name when it has none
    ChartOrder order = ChartOrder::Heading;
    ReportOptions options;  // the unit, the separator, magneticDate
    std::vector<ChartRow> rows;
};

// The chart of every entity of a file, its page naming the file by its
// version entry, else by its path, else as one "without a version".
BearingChart makeBearingChart(const Position& own, const CountryFiles& file, std::string_view path,
    const ReportOptions& options, ChartOrder order, std::chrono::year_month_day date);

// "From 51.5 N 1 E (JO01mm) on 2026-12-10: 346 entities by beam heading,
// distances in km, country file VER20230502", and for a magnetic chart
// "magnetic headings by WMM-2025, declination 1.5° E at the own station".
std::string chartTitle(const BearingChart& chart, std::string_view degrees = "\u00b0");

}  // namespace skybrant
