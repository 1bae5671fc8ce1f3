#pragma once
// Drawing maps takes Qt's graphical side, which takes longer to load than
// all the rest of skybrant-cli; it lives in a module, skybrant-cli-map.so,
// loaded only by a run that draws a map. The rest of the program has no Qt.

#include "chart_page.h"
#include "core/position.h"
#include "map_picture.h"

#include <string>

namespace skybrant::cli {

// The module's entry point: writeMap, in a Qt application of its own that
// keeps Qt's own chatter off the user's terminal.
extern "C" {
using WriteMapEntry = bool(
    const MapRequest* request, const Position* own, const Position* other, std::string* note, std::string* error);
}
inline constexpr const char* kWriteMapEntry = "skybrant_cli_write_map";

// writeChartPage, likewise.
extern "C" {
using WriteChartEntry = bool(const ChartRequest* request, const BearingChart* chart, std::string* error);
}
inline constexpr const char* kWriteChartEntry = "skybrant_cli_write_chart";

// writeMap through the module; false with a sentence when it cannot be
// loaded or the map cannot be written.
bool writeMapThroughModule(
    const MapRequest& request, const Position& own, const Position& other, std::string& note, std::string& error);

// writeChartPage through the module.
bool writeChartThroughModule(const ChartRequest& request, const BearingChart& chart, std::string& error);

}  // namespace skybrant::cli
