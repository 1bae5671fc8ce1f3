#include "report_text.h"

#include "number_text.h"

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
}

}  // namespace skybrant
