#include "chart_run.h"

#include "chart_page.h"
#include "map_module.h"
#include "pair_run.h"
#include "report.h"

#include "core/report_text.h"
#include "core/utf8.h"

#include <cstdio>
#include <string>

namespace skybrant::cli {

int runChart(const ChartRun& run, const Position& own, Callsigns& callsigns)
{
    std::string error;
    const CountryFiles* files = callsigns.files(error);
    if (files == nullptr) {
        std::fprintf(stderr, "skybrant-cli: ERROR: %s\n", error.c_str());
        return kExitFailed;
    }
    const BearingChart chart = makeBearingChart(own, *files, callsigns.path(), run.report, run.order, run.date);
    if (run.file.format != ChartFormat::Terminal) {
        const ChartRequest request{run.file.name, run.file.format};
        if (!writeChartThroughModule(request, chart, error)) {
            std::fprintf(stderr, "skybrant-cli: ERROR: %s\n", error.c_str());
            return kExitFailed;
        }
        return kExitOk;
    }
    std::string text;
    if (run.json) {
        appendChartJson(chart, text);
    } else if (run.csv) {
        appendChartCsv(chart, text);
    } else {
        appendChartText(chart, text);
    }
    return writeOut(text);
}

}  // namespace skybrant::cli
