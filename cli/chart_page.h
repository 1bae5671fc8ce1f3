#pragma once
// The bearing chart as a page to print, drawn in the map module with Qt.

#include "core/bearing_chart.h"

#include <string>

namespace skybrant::cli {

enum class ChartFormat { Terminal, Pdf, Svg, Png };
enum class PaperSize { A4, Letter };

// What --chart FILE asks for: the file, its kind and the paper of the
// locale.
struct ChartRequest {
    std::string file;
    ChartFormat format = ChartFormat::Pdf;
    PaperSize paper = PaperSize::A4;
};

// Letter where the locale's paper (LC_PAPER) is 8.5 inches wide, else A4.
PaperSize localePaper();

// Draws the chart in two columns under its title: a PDF of as many pages
// as the rows take, or one sheet of the page's width as tall as they take
// for SVG and PNG; false with a sentence when it cannot be written.
bool writeChartPage(const ChartRequest& request, const BearingChart& chart, std::string& error);

}  // namespace skybrant::cli
