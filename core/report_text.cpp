#include "report_text.h"

#include "number_text.h"
#include "utf8.h"

#include <algorithm>

namespace skybrant {

namespace {

class Lines {
public:
    Lines(std::string& out, std::string_view separator) : out_(out), separator_(separator) { }

    // "Label: 5539.2 km", or "Label: none" where there is no figure.
    void figure(std::string_view label, const Figure& figure, std::string_view unit)
    {
        out_ += label;
        out_ += ": ";
        if (figure.shown) {
            appendTenthsText(out_, figure.tenths, separator_);
            out_ += ' ';
            out_ += unit;
        } else {
            out_ += "none";
        }
        out_ += '\n';
    }

    void locators(std::string_view label, const std::string& locator6, const std::string& locator8)
    {
        out_ += label;
        out_ += ": " + locator6 + " (" + locator8 + ")\n";
    }

    // A sun time, "HH:MM UTC", or the words that stand for none.
    void sun(std::string_view label, std::string_view on, const std::string& text)
    {
        out_ += label;
        out_ += on;
        out_ += ": ";
        out_ += text.empty() ? std::string_view("none on this date") : std::string_view(text);
        out_ += text.size() == 5 ? " UTC\n" : "\n";
    }

    // "Label on DATE: 1.2 degrees W", or none where there is no figure.
    void declination(std::string_view label, std::string_view on, const Figure& figure)
    {
        out_ += label;
        out_ += on;
        out_ += ": ";
        out_ += figure.shown ? declinationText(figure.value, separator_, " degrees") : std::string("none");
        out_ += '\n';
    }

    void compass(std::string_view station, CompassZone zone)
    {
        if (const std::string_view what = compassZoneNote(zone); !what.empty()) {
            note(std::string("A compass at ") + std::string(station) + " " + std::string(what) + ".");
        }
    }

    void note(std::string_view note)
    {
        if (!note.empty()) {
            out_ += "Note: ";
            out_ += note;
            out_ += '\n';
        }
    }

private:
    std::string& out_;
    std::string_view separator_;
};

}  // namespace

std::string figureText(const Figure& figure, std::string_view decimalSeparator)
{
    return figure.shown ? tenthsText(figure.tenths, decimalSeparator) : std::string();
}

void appendText(const Report& r, const ReportOptions& options, std::string& out)
{
    Lines lines(out, options.decimalSeparator);
    const std::string_view unit = unitSymbol(options.unit);
    lines.figure("Distance", r.distance, unit);
    lines.figure("Beam heading from my station", r.ownToOther, "degrees");
    lines.figure("Beam heading from the other station", r.otherToOwn, "degrees");
    lines.note(geometryNote(r.result.geometry));
    if (options.longPath) {
        lines.figure("Long path distance", r.longDistance, unit);
        lines.figure("Long path beam heading from my station", r.longHeading, "degrees");
    }
    if (options.ellipsoid != nullptr) {
        lines.figure("WGS84 ellipsoid distance", r.ellipsoidDistance, unit);
        lines.figure("WGS84 ellipsoid heading from my station", r.ellipsoidOwnToOther, "degrees");
        lines.figure("WGS84 ellipsoid heading from the other station", r.ellipsoidOtherToOwn, "degrees");
    }
    if (options.locators) {
        lines.locators("Locator of my station", r.ownLocator6, r.ownLocator8);
        lines.locators("Locator of the other station", r.otherLocator6, r.otherLocator8);
    }
    if (options.sunDate) {
        const std::string on = " on " + sunDateText(*options.sunDate);
        lines.sun("Sunrise at my station", on, r.ownSun.sunrise);
        lines.sun("Sunset at my station", on, r.ownSun.sunset);
        lines.sun("Sunrise at the other station", on, r.otherSun.sunrise);
        lines.sun("Sunset at the other station", on, r.otherSun.sunset);
    }
    if (options.magneticDate) {
        const std::string on = " on " + sunDateText(*options.magneticDate);
        lines.figure("Magnetic beam heading from my station", r.ownMagneticHeading, "degrees");
        lines.figure("Magnetic beam heading from the other station", r.otherMagneticHeading, "degrees");
        if (options.longPath) {
            lines.figure("Long path magnetic beam heading from my station", r.longMagneticHeading, "degrees");
        }
        lines.declination("Magnetic declination (WMM-2025) at my station", on, r.ownDeclination);
        lines.declination("Magnetic declination (WMM-2025) at the other station", on, r.otherDeclination);
        lines.compass("my station", r.ownCompass);
        lines.compass("the other station", r.otherCompass);
        lines.note(r.magneticOutOfDate ? outOfDateNote() : std::string_view());
    }
}

std::vector<std::string_view> chartColumnNames(const BearingChart& chart)
{
    // Short, so that two columns of them fit a page: LP is the long path.
    std::vector<std::string_view> names{"Prefix", "Entity", "Cont", "Beam", "Dist", "LP", "LP dist"};
    if (chart.options.magneticDate) {
        names.insert(names.end(), {"Mag", "LP mag"});
    }
    return names;
}

std::vector<std::string> chartCells(const BearingChart& chart, const ChartRow& row)
{
    const std::string_view separator = chart.options.decimalSeparator;
    // The file's words as the one rule for text from a file shows them.
    const auto shown = [](std::string_view text) {
        std::string out;
        appendShown(text, out);
        return out;
    };
    std::vector<std::string> cells{shown(row.entity->primaryPrefix), shown(row.entity->name),
        shown(row.entity->continent), figureText(row.report.ownToOther, separator),
        figureText(row.report.distance, separator), figureText(row.report.longHeading, separator),
        figureText(row.report.longDistance, separator)};
    if (chart.options.magneticDate) {
        cells.push_back(figureText(row.report.ownMagneticHeading, separator));
        cells.push_back(figureText(row.report.longMagneticHeading, separator));
    }
    for (std::string& cell : cells) {
        if (cell.empty()) {
            cell = "-";
        }
    }
    return cells;
}

void appendChartText(const BearingChart& chart, std::string& out)
{
    out += chartTitle(chart, " degrees");
    out += '\n';
    const auto names = chartColumnNames(chart);
    std::vector<std::vector<std::string>> lines;
    lines.reserve(chart.rows.size() + 1);
    lines.emplace_back(names.begin(), names.end());
    for (const ChartRow& row : chart.rows) {
        lines.push_back(chartCells(chart, row));
    }
    std::vector<std::size_t> widths(names.size(), 0);
    for (const auto& cells : lines) {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            widths[i] = std::max(widths[i], characterCount(cells[i]));
        }
    }
    // Prefix, entity and continent to the left, the figures to the right.
    for (const auto& cells : lines) {
        std::string line;
        for (std::size_t i = 0; i < cells.size(); ++i) {
            const std::string pad(widths[i] - characterCount(cells[i]), ' ');
            line += i == 0 ? "" : "  ";
            line += i < 3 ? cells[i] + pad : pad + cells[i];
        }
        line.erase(line.find_last_not_of(' ') + 1);
        out += line;
        out += '\n';
    }
}

}  // namespace skybrant
