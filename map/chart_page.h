#pragma once
// The bearing chart as a page to print, drawn with Qt: for skybrant-cli's
// --chart FILE and the map window's Save chart alike.

#include "core/bearing_chart.h"

#include <optional>
#include <string>
#include <string_view>

namespace skybrant {

enum class ChartPageFormat { Pdf, Svg, Png };
enum class PaperSize { A4, Letter };

// What is to be written: the file (its name as bytes), its kind and the
// paper.
struct ChartPage {
    std::string file;
    ChartPageFormat format = ChartPageFormat::Pdf;
    PaperSize paper = PaperSize::A4;
};

// The kind a file name asks for by its ending, .pdf, .svg or .png in
// either case; none for any other.
std::optional<ChartPageFormat> chartPageFormat(std::string_view fileName);

// Letter where the locale's paper (LC_PAPER) is 8.5 inches wide, else A4.
PaperSize localePaper();

// Draws the chart in two columns under its title: a PDF of as many pages
// as the rows take, or one sheet of the page's width as tall as they take
// for SVG and PNG; false with a sentence when it cannot be written.
bool writeChartPage(const ChartPage& page, const BearingChart& chart, std::string& error);

}  // namespace skybrant
