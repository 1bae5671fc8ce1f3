// --chart FILE in the map module: the map's chart page, on the locale's
// paper, in an offscreen application.
#include "chart_page.h"

#include "map_module.h"
#include "module_qt.h"

#include "map/chart_page.h"

#include <type_traits>

extern "C" {

// The entry point map_module.h names for the chart.
[[gnu::visibility("default")]] bool skybrant_cli_write_chart(
    const skybrant::cli::ChartRequest* request, const skybrant::BearingChart* chart, std::string* error)
{
    using skybrant::ChartPageFormat;
    using skybrant::cli::ChartFormat;
    const ChartPageFormat format = request->format == ChartFormat::Svg ? ChartPageFormat::Svg
        : request->format == ChartFormat::Png                          ? ChartPageFormat::Png
                                                                       : ChartPageFormat::Pdf;
    return skybrant::cli::inOffscreenApplication([&] {
        return skybrant::writeChartPage({request->file, format, skybrant::localePaper()}, *chart, *error);
    });
}

}  // extern "C"

static_assert(std::is_same_v<decltype(skybrant_cli_write_chart), skybrant::cli::WriteChartEntry>);
