#pragma once

#include "bearing_chart.h"
#include "report.h"

#include <string>
#include <string_view>
#include <vector>

namespace skybrant {

// A figure as the program shows it: "5539.2", "288", with the separator
// given; empty where there is no figure.
std::string figureText(const Figure& figure, std::string_view decimalSeparator = ".");

// The labelled lines a person reads: the distance, both beam headings, a
// note where there are no headings, and what the options add, each line
// ending in '\n'. Figures are written with the options' decimal separator.
void appendText(const Report& report, const ReportOptions& options, std::string& out);

// The bearing chart for a terminal: its title, a line naming the columns
// and one aligned line per entity.
void appendChartText(const BearingChart& chart, std::string& out);

// The chart's column names and one row's cells as the text writer shows
// them, shared with the printed page.
std::vector<std::string_view> chartColumnNames(const BearingChart& chart);
std::vector<std::string> chartCells(const BearingChart& chart, const ChartRow& row);

}  // namespace skybrant
