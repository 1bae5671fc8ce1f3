#pragma once
// The bearing chart as a page to print, drawn in the map module by the
// map's chart page.

#include "core/bearing_chart.h"

#include <string>

namespace skybrant::cli {

enum class ChartFormat { Terminal, Pdf, Svg, Png };

// What --chart FILE asks for: the file and its kind; the paper is the
// locale's.
struct ChartRequest {
    std::string file;
    ChartFormat format = ChartFormat::Pdf;
};

}  // namespace skybrant::cli
