#pragma once

#include "report.h"

#include <string>
#include <string_view>

namespace skybrant {

// A figure as the program shows it: "5539.2", "288", with the separator
// given; empty where there is no figure.
std::string figureText(const Figure& figure, std::string_view decimalSeparator = ".");

// The labelled lines a person reads: the distance, both beam headings, a
// note where there are no headings, and what the options add, each line
// ending in '\n'. Figures are written with the options' decimal separator.
void appendText(const Report& report, const ReportOptions& options, std::string& out);

}  // namespace skybrant
