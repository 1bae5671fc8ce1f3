#include "report.h"

#include "core/compute.h"
#include "core/ellipsoid.h"
#include "core/locator.h"
#include "core/number_text.h"
#include "core/utf8.h"

namespace skybrant::cli {

namespace {

std::string distanceText(double distance)
{
    return numberText(roundDistance(distance));
}

std::string headingText(double heading)
{
    return numberText(roundHeading(heading));
}

class JsonObject {
public:
    explicit JsonObject(std::string& out) : out_(out) { out_ += '{'; }
    JsonObject(const JsonObject&) = delete;
    JsonObject& operator=(const JsonObject&) = delete;
    ~JsonObject() { out_ += '}'; }

    // A number text as the program shows it, or null where it is empty.
    void number(std::string_view name, std::string_view text)
    {
        key(name);
        out_ += text.empty() ? std::string_view("null") : text;
    }

    void string(std::string_view name, std::string_view text)
    {
        key(name);
        appendJsonString(text, out_);
    }

    void key(std::string_view name)
    {
        if (!first_) {
            out_ += ',';
        }
        first_ = false;
        appendJsonString(name, out_);
        out_ += ':';
    }

private:
    std::string& out_;
    bool first_ = true;
};

void station(JsonObject& parent, std::string_view name, const Position& p, std::string_view locator6,
    std::string_view locator8, std::string& out)
{
    parent.key(name);
    JsonObject s(out);
    // Where the station is, as the figures were worked out from it.
    const Position at = onTheGlobe(p);
    const double lon = at.lonDegrees > 180 ? at.lonDegrees - 360 : at.lonDegrees;
    s.number("latitude", numberText(at.latDegrees));
    s.number("longitude", numberText(lon));
    if (!locator6.empty()) {
        s.string("locator", locator6);
        s.string("locator8", locator8);
    }
}

void line(std::string& out, std::string_view label, std::string_view value, std::string_view unit)
{
    out += label;
    out += ": ";
    if (value.empty()) {
        out += "none";
    } else {
        out += value;
        out += ' ';
        out += unit;
    }
    out += '\n';
}

void field(std::string& out, std::string_view text)
{
    out += ',';
    out += text;
}

}  // namespace

PairReport makeReport(const Position& own, const Position& other, const ReportOptions& options)
{
    PairReport r;
    r.own = own;
    r.other = other;
    r.result = solvePositions(own, other);
    const double distance = arcToDistance(r.result.centralAngle, options.unit);
    r.distance = distanceText(distance);
    const bool headings = r.result.hasHeadings();
    if (headings) {
        r.ownToOther = headingText(r.result.headingOwnToOther);
        r.otherToOwn = headingText(r.result.headingOtherToOwn);
    }
    if (options.longPath) {
        r.longDistance = distanceText(longPathDistance(distance, options.unit));
        if (headings) {
            r.longHeading = headingText(longPathHeading(r.result.headingOwnToOther));
        }
    }
    if (options.ellipsoid) {
        const GeodesicResult g = solveWgs84(own, other);
        r.ellipsoidDistance = distanceText(metresToDistance(g.distanceMetres, options.unit));
        if (headings) {
            r.ellipsoidOwnToOther = headingText(g.azimuthOwnToOther);
            r.ellipsoidOtherToOwn = headingText(g.azimuthOtherToOwn);
        }
    }
    if (options.locators) {
        r.ownLocator6 = locatorOf(own, 6);
        r.ownLocator8 = locatorOf(own, 8);
        r.otherLocator6 = locatorOf(other, 6);
        r.otherLocator8 = locatorOf(other, 8);
    }
    return r;
}

void appendCsv(const PairReport& r, const ReportOptions& options, std::string& out)
{
    out += r.distance;
    field(out, r.ownToOther);
    field(out, r.otherToOwn);
    if (options.longPath) {
        field(out, r.longDistance);
        field(out, r.longHeading);
    }
    if (options.ellipsoid) {
        field(out, r.ellipsoidDistance);
        field(out, r.ellipsoidOwnToOther);
        field(out, r.ellipsoidOtherToOwn);
    }
    if (options.locators) {
        field(out, r.ownLocator6);
        field(out, r.ownLocator8);
        field(out, r.otherLocator6);
        field(out, r.otherLocator8);
    }
    out += '\n';
}

void appendJson(const PairReport& r, const ReportOptions& options, std::uint64_t lineNumber, std::string& out)
{
    {
        JsonObject o(out);
        if (lineNumber != 0) {
            o.number("line", std::to_string(lineNumber));
        }
        station(o, "own", r.own, r.ownLocator6, r.ownLocator8, out);
        station(o, "other", r.other, r.otherLocator6, r.otherLocator8, out);
        o.string("coordinate_unit", "degrees, north and east positive");
        o.number("distance", r.distance);
        o.string("distance_unit", unitSymbol(options.unit));
        o.number("heading_own_to_other", r.ownToOther);
        o.number("heading_other_to_own", r.otherToOwn);
        o.string("heading_unit", "degrees clockwise from true north");
        if (const auto note = geometryNote(r.result.geometry); !note.empty()) {
            o.string("note", note);
        }
        if (options.longPath) {
            o.number("long_path_distance", r.longDistance);
            o.number("long_path_heading_own_to_other", r.longHeading);
        }
        if (options.ellipsoid) {
            o.string("ellipsoid", "WGS84");
            o.number("ellipsoid_distance", r.ellipsoidDistance);
            o.number("ellipsoid_heading_own_to_other", r.ellipsoidOwnToOther);
            o.number("ellipsoid_heading_other_to_own", r.ellipsoidOtherToOwn);
        }
        if (r.rotator) {
            o.key("rotator");
            JsonObject rot(out);
            rot.string("address", r.rotator->address);
            rot.number("commanded_azimuth", r.rotator->commandedAzimuth);
            if (r.rotator->turned) {
                rot.number("reported_azimuth", r.rotator->reportedAzimuth);
                rot.number("reported_elevation", r.rotator->reportedElevation);
            } else {
                rot.string("error", r.rotator->error);
            }
        }
    }
    out += '\n';
}

void appendText(const PairReport& r, const ReportOptions& options, std::string& out)
{
    const std::string_view unit = unitSymbol(options.unit);
    line(out, "Distance", r.distance, unit);
    line(out, "Beam heading from my station", r.ownToOther, "degrees");
    line(out, "Beam heading from the other station", r.otherToOwn, "degrees");
    if (const auto note = geometryNote(r.result.geometry); !note.empty()) {
        out += "Note: ";
        out += note;
        out += '\n';
    }
    if (options.longPath) {
        line(out, "Long path distance", r.longDistance, unit);
        line(out, "Long path beam heading from my station", r.longHeading, "degrees");
    }
    if (options.ellipsoid) {
        line(out, "WGS84 ellipsoid distance", r.ellipsoidDistance, unit);
        line(out, "WGS84 ellipsoid heading from my station", r.ellipsoidOwnToOther, "degrees");
        line(out, "WGS84 ellipsoid heading from the other station", r.ellipsoidOtherToOwn, "degrees");
    }
    if (options.locators) {
        out += "Locator of my station: " + r.ownLocator6 + " (" + r.ownLocator8 + ")\n";
        out += "Locator of the other station: " + r.otherLocator6 + " (" + r.otherLocator8 + ")\n";
    }
}

void appendRotatorText(const RotatorReport& r, std::string& out)
{
    if (r.turned) {
        out += "Rotator at " + r.address + ": turning to " + r.commandedAzimuth + " degrees; it reports azimuth " +
            r.reportedAzimuth + " degrees, elevation " + r.reportedElevation + " degrees\n";
    }
}

void appendJsonError(std::uint64_t lineNumber, std::string_view error, std::string& out)
{
    {
        JsonObject o(out);
        o.number("line", std::to_string(lineNumber));
        o.string("error", error);
    }
    out += '\n';
}

void appendJsonString(std::string_view text, std::string& out)
{
    constexpr std::string_view kHex = "0123456789abcdef";
    out += '"';
    while (!text.empty()) {
        const auto c = static_cast<unsigned char>(text.front());
        const std::size_t length = utf8Length(text);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        } else if (length == 0) {
            out += "\\ufffd";
        } else {
            out += text.substr(0, length);
        }
        text.remove_prefix(length == 0 ? 1 : length);
    }
    out += '"';
}

}  // namespace skybrant::cli
