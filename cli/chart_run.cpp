#include "chart_run.h"

#include "chart_page.h"
#include "map_module.h"
#include "pair_run.h"
#include "report.h"

#include "core/report_text.h"
#include "core/utf8.h"

#include <langinfo.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace skybrant::cli {

PaperSize localePaper()
{
    // glibc gives the paper's width in mm as the pointer's value.
    const auto width = static_cast<int>(reinterpret_cast<std::intptr_t>(nl_langinfo(_NL_PAPER_WIDTH)));
    return width == 216 ? PaperSize::Letter : PaperSize::A4;
}

int runChart(const ChartRun& run, const Position& own, Callsigns& callsigns)
{
    std::string error;
    const CountryFiles* files = callsigns.files(error);
    if (files == nullptr) {
        std::fprintf(stderr, "skybrant-cli: ERROR: %s\n", error.c_str());
        return kExitFailed;
    }
    BearingChart chart;
    chart.own = own;
    chart.date = run.date;
    chart.countryFile = files->version().empty() ? callsigns.path() : files->version();
    if (chart.countryFile.empty()) {
        chart.countryFile = "without a version";
    }
    chart.order = run.order;
    chart.options = run.report;
    chart.rows = bearingChart(own, *files, run.report, run.order);
    if (run.file.format != ChartFormat::Terminal) {
        const ChartRequest request{run.file.name, run.file.format, localePaper()};
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
