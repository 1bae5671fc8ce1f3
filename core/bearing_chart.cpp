#include "bearing_chart.h"

#include "locator.h"
#include "number_text.h"
#include "sun_texts.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace skybrant {

namespace {

// What the rows are sorted by first; entities with no heading after all
// that have one.
auto sortKey(const ChartRow& row, ChartOrder order)
{
    switch (order) {
    case ChartOrder::Heading:
        return std::make_tuple(!row.report.ownToOther.shown, row.report.ownToOther.tenths);
    case ChartOrder::Distance:
        return std::make_tuple(false, row.report.distance.tenths);
    case ChartOrder::Prefix:
        break;
    }
    return std::make_tuple(false, 0.0);
}

}  // namespace

std::vector<ChartRow> bearingChart(
    const Position& own, const CountryFiles& file, const ReportOptions& options, ChartOrder order)
{
    ReportOptions chartOptions = options;
    chartOptions.longPath = true;
    std::vector<ChartRow> rows;
    rows.reserve(file.entities().size());
    for (const CountryEntity& entity : file.entities()) {
        const Position at = positionFromDegrees(entity.latDegrees, entity.lonDegrees);
        rows.push_back({&entity, makeReport(own, at, chartOptions)});
    }
    std::ranges::stable_sort(rows, [order](const ChartRow& a, const ChartRow& b) {
        const auto ka = sortKey(a, order);
        const auto kb = sortKey(b, order);
        if (ka != kb) {
            return ka < kb;
        }
        return std::tie(a.entity->primaryPrefix, a.entity->name) < std::tie(b.entity->primaryPrefix, b.entity->name);
    });
    return rows;
}

BearingChart makeBearingChart(const Position& own, const CountryFiles& file, std::string_view path,
    const ReportOptions& options, ChartOrder order, std::chrono::year_month_day date)
{
    BearingChart chart;
    chart.own = own;
    chart.date = date;
    chart.countryFile = !file.version().empty() ? file.version() : std::string(path);
    if (chart.countryFile.empty()) {
        chart.countryFile = "without a version";
    }
    chart.order = order;
    chart.options = options;
    chart.rows = bearingChart(own, file, options, order);
    return chart;
}

std::string_view chartOrderName(ChartOrder order)
{
    switch (order) {
    case ChartOrder::Prefix:
        return "prefix";
    case ChartOrder::Distance:
        return "distance";
    case ChartOrder::Heading:
        break;
    }
    return "heading";
}

namespace {

// "51.5 N" or "1 E", to the fourth decimal.
std::string hemisphereText(double degrees, char positive, char negative, std::string_view separator)
{
    std::string out = numberText(std::floor(std::abs(degrees) * 10000 + 0.5) / 10000, separator);
    out += ' ';
    out += degrees < 0 ? negative : positive;
    return out;
}

}  // namespace

std::string chartTitle(const BearingChart& chart, std::string_view degrees)
{
    const Position at = onTheGlobe(chart.own);
    const std::string_view separator = chart.options.decimalSeparator;
    std::string out = "From " + hemisphereText(at.latDegrees, 'N', 'S', separator) + " " +
        hemisphereText(at.lonDegrees, 'E', 'W', separator) + " (" + locatorOf(chart.own, 6) + ") on " +
        sunDateText(chart.date) + ": " + std::to_string(chart.rows.size()) + " entities by " +
        (chart.order == ChartOrder::Heading ? std::string("beam heading") : std::string(chartOrderName(chart.order))) +
        ", distances in " + std::string(unitSymbol(chart.options.unit)) + ", country file " + chart.countryFile;
    if (chart.options.magneticDate) {
        const MagneticField field = magneticFieldAt(chart.own, *chart.options.magneticDate);
        out += "; magnetic headings by WMM-2025, declination ";
        out += declinationText(std::floor(field.declination * 10 + 0.5) / 10, separator, degrees);
        out += " at the own station";
        if (field.outOfDate) {
            out += " (out of date)";
        }
    }
    return out;
}

}  // namespace skybrant
