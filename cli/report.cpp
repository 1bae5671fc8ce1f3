#include "report.h"

#include "core/angles.h"
#include "core/number_text.h"
#include "core/square_centres.h"
#include "core/utf8.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <optional>

namespace skybrant::cli {

namespace {

// A member name or fixed text of the program's own, checked when compiled
// to need no escaping, and held as it is written: quoted, after a comma
// and before a colon, so that a member name goes out in one piece.
class Literal {
public:
    consteval Literal(const char* text)
    {
        std::size_t n = 0;
        bytes_[n++] = ',';
        bytes_[n++] = '"';
        for (; *text != '\0'; ++text) {
            const char c = *text;
            if (c == '"' || c == '\\' || c < 0x20 || c == 0x7F || n + 3 > bytes_.size()) {
                throw "a JSON literal must need no escaping and fit its room";
            }
            bytes_[n++] = c;
        }
        bytes_[n++] = '"';
        bytes_[n++] = ':';
        size_ = n;
    }
    // ,"text":
    std::string_view member() const { return {bytes_.data(), size_}; }
    // "text"
    std::string_view quoted() const { return member().substr(1, size_ - 2); }

private:
    std::array<char, 48> bytes_{};
    std::size_t size_ = 0;
};

// A JSON string of the text, to a std::string or a JsonSink.
template <typename Out>
void appendJsonStringTo(std::string_view text, Out& out)
{
    constexpr std::string_view kHex = "0123456789abcdef";
    out += '"';
    // Most texts are printable ASCII with nothing to escape: written whole.
    const auto plain = [](char c) { return c >= 0x20 && c < 0x7F && c != '"' && c != '\\'; };
    const auto escapeFrom = static_cast<std::size_t>(std::find_if_not(text.begin(), text.end(), plain) - text.begin());
    out += text.substr(0, escapeFrom);
    text.remove_prefix(escapeFrom);
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

// Gathers a JSON text's many small pieces on the stack and hands them to the
// output string a kilobyte at a time: a string's append costs more than
// copying a few bytes.
class JsonSink {
public:
    explicit JsonSink(std::string& out) : out_(out) { }
    JsonSink(const JsonSink&) = delete;
    JsonSink& operator=(const JsonSink&) = delete;
    ~JsonSink() { flush(); }

    JsonSink& operator+=(char c)
    {
        if (size_ == bytes_.size()) {
            flush();
        }
        bytes_[size_++] = c;
        return *this;
    }

    JsonSink& operator+=(std::string_view text)
    {
        if (text.size() > bytes_.size() - size_) {
            flush();
            if (text.size() > bytes_.size()) {
                out_ += text;
                return *this;
            }
        }
        std::memcpy(bytes_.data() + size_, text.data(), text.size());
        size_ += text.size();
        return *this;
    }

    // Room for up to kRoom bytes, written at the place returned; written()
    // takes their end.
    static constexpr std::size_t kRoom = kNumberTextCapacity;
    char* space()
    {
        if (bytes_.size() - size_ < kRoom) {
            flush();
        }
        return bytes_.data() + size_;
    }
    void written(const char* end) { size_ = static_cast<std::size_t>(end - bytes_.data()); }

    void flush()
    {
        out_.append(bytes_.data(), size_);
        size_ = 0;
    }

private:
    std::string& out_;
    std::array<char, 1024> bytes_{};
    std::size_t size_ = 0;
};

class JsonObject {
public:
    explicit JsonObject(JsonSink& out) : out_(out) { out_ += '{'; }
    JsonObject(const JsonObject&) = delete;
    JsonObject& operator=(const JsonObject&) = delete;
    ~JsonObject() { out_ += '}'; }

    // A number text as the program shows it, or null where it is empty.
    void number(const Literal& name, std::string_view text)
    {
        key(name);
        out_ += text.empty() ? std::string_view("null") : text;
    }

    // A rounded figure from its tenths, or null where there is none.
    void tenths(const Literal& name, std::optional<double> tenths)
    {
        if (tenths) {
            written(name, [t = *tenths](char* to) { return writeTenthsText(to, t); });
        } else {
            number(name, "");
        }
    }

    // A number text of at most JsonSink::kRoom bytes that write puts at the
    // place it is given, returning its end.
    template <typename Write>
    void written(const Literal& name, const Write& write)
    {
        key(name);
        out_.written(write(out_.space()));
    }

    void count(const Literal& name, std::uint64_t value)
    {
        written(name, [value](char* to) { return std::to_chars(to, to + JsonSink::kRoom, value).ptr; });
    }

    void string(const Literal& name, std::string_view text)
    {
        key(name);
        appendJsonStringTo(text, out_);
    }

    void fixed(const Literal& name, const Literal& text)
    {
        key(name);
        out_ += text.quoted();
    }

    void key(const Literal& name)
    {
        out_ += name.member().substr(first_ ? 1 : 0);
        first_ = false;
    }

private:
    JsonSink& out_;
    bool first_ = true;
};

void station(JsonObject& parent, const Literal& name, const Position& p, std::string_view locator6,
    std::string_view locator8, JsonSink& out)
{
    parent.key(name);
    JsonObject s(out);
    // Where the station is, as the figures were worked out from it.
    const Position at = onTheGlobe(p);
    s.written("latitude", [&at](char* to) { return writeLatitudeText(to, at.latUnits, at.latDegrees); });
    s.written("longitude", [&at](char* to) { return writeLongitudeText(to, at.lonUnits, wrap180(at.lonDegrees)); });
    if (!locator6.empty()) {
        s.string("locator", locator6);
        s.string("locator8", locator8);
    }
}

// The three figures of every report, from its texts or from the figures
// themselves.
struct FigureTexts {
    const Report& r;
    void distance(JsonObject& o) const { o.number("distance", r.distance.text); }
    void headings(JsonObject& o) const
    {
        o.number("heading_own_to_other", r.ownToOther.text);
        o.number("heading_other_to_own", r.otherToOwn.text);
    }
};

struct FigureNumbers {
    const PairFigures& f;
    void distance(JsonObject& o) const { o.tenths("distance", f.distanceTenths); }
    void headings(JsonObject& o) const
    {
        const bool shown = f.result.hasHeadings();
        o.tenths("heading_own_to_other", shown ? std::optional(f.ownToOther * 10) : std::nullopt);
        o.tenths("heading_other_to_own", shown ? std::optional(f.otherToOwn * 10) : std::nullopt);
    }
};

// What every JSON report begins with: the line, both stations, the
// distance and the headings.
template <typename Figures>
void jsonHead(JsonObject& o, std::uint64_t lineNumber, const Position& own, const Position& other,
    const std::array<std::string_view, 4>& locators, const Figures& figures, StationGeometry geometry,
    DistanceUnit unit, JsonSink& out)
{
    if (lineNumber != 0) {
        o.count("line", lineNumber);
    }
    station(o, "own", own, locators[0], locators[1], out);
    station(o, "other", other, locators[2], locators[3], out);
    o.fixed("coordinate_unit", "degrees, north and east positive");
    figures.distance(o);
    o.string("distance_unit", unitSymbol(unit));
    figures.headings(o);
    o.fixed("heading_unit", "degrees clockwise from true north");
    if (const auto note = geometryNote(geometry); !note.empty()) {
        o.string("note", note);
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

void appendCsv(const Report& r, const ReportOptions& options, std::string& out)
{
    out += r.distance.text;
    field(out, r.ownToOther.text);
    field(out, r.otherToOwn.text);
    if (options.longPath) {
        field(out, r.longDistance.text);
        field(out, r.longHeading.text);
    }
    if (options.ellipsoid != nullptr) {
        field(out, r.ellipsoidDistance.text);
        field(out, r.ellipsoidOwnToOther.text);
        field(out, r.ellipsoidOtherToOwn.text);
    }
    if (options.locators) {
        field(out, r.ownLocator6);
        field(out, r.ownLocator8);
        field(out, r.otherLocator6);
        field(out, r.otherLocator8);
    }
    if (options.sunDate) {
        field(out, r.ownSun.sunrise);
        field(out, r.ownSun.sunset);
        field(out, r.otherSun.sunrise);
        field(out, r.otherSun.sunset);
    }
    out += '\n';
}

void appendJson(const Report& r, const ReportOptions& options, std::uint64_t lineNumber, const RotatorReport* rotator,
    std::string& out)
{
    JsonSink sink(out);
    {
        JsonObject o(sink);
        jsonHead(o, lineNumber, r.own, r.other, {r.ownLocator6, r.ownLocator8, r.otherLocator6, r.otherLocator8},
            FigureTexts{r}, r.result.geometry, options.unit, sink);
        if (options.longPath) {
            o.number("long_path_distance", r.longDistance.text);
            o.number("long_path_heading_own_to_other", r.longHeading.text);
        }
        if (options.ellipsoid != nullptr) {
            o.fixed("ellipsoid", "WGS84");
            o.number("ellipsoid_distance", r.ellipsoidDistance.text);
            o.number("ellipsoid_heading_own_to_other", r.ellipsoidOwnToOther.text);
            o.number("ellipsoid_heading_other_to_own", r.ellipsoidOtherToOwn.text);
        }
        if (options.sunDate) {
            o.string("sun_date", sunDateText(*options.sunDate));
            const auto time = [&o](const Literal& name, const std::string& text) {
                if (text.empty()) {
                    o.number(name, text);  // null: on the date before or after
                } else {
                    o.string(name, text);
                }
            };
            time("own_sunrise", r.ownSun.sunrise);
            time("own_sunset", r.ownSun.sunset);
            time("other_sunrise", r.otherSun.sunrise);
            time("other_sunset", r.otherSun.sunset);
            o.fixed("sun_time_unit", "UTC");
        }
        if (rotator != nullptr) {
            o.key("rotator");
            JsonObject rot(sink);
            rot.string("address", rotator->address);
            rot.number("beam_heading", rotator->heading);
            rot.number("min_azimuth", rotator->minAzimuth);
            rot.number("max_azimuth", rotator->maxAzimuth);
            if (rotator->rangeFrom.empty()) {
                rot.number("range_from", "");  // null: not learnt
            } else {
                rot.string("range_from", rotator->rangeFrom);
            }
            rot.number("start_azimuth", rotator->startAzimuth);
            rot.number("commanded_azimuth", rotator->commandedAzimuth);
            rot.string("result", rotator->result);
            // Whether it arrived is known only when it was awaited.
            const bool arrived = rotator->result == "arrived";
            rot.number("arrived", rotator->waited ? (arrived ? "true" : "false") : "");
            rot.number("reported_azimuth", rotator->reportedAzimuth);
            rot.number("reported_elevation", rotator->reportedElevation);
            if (!rotator->error.empty()) {
                rot.string("error", rotator->error);
            }
        }
    }
    sink += '\n';
}

bool figuresAreEnough(const ReportOptions& options)
{
    return !options.longPath && options.ellipsoid == nullptr && !options.locators && !options.sunDate;
}

void appendCsv(const PairFigures& f, std::string_view decimalSeparator, std::string& out)
{
    // The line is put together first and appended once: this is on the path
    // of every pair a batch reads.
    std::array<char, 3 * kNumberTextCapacity + 3> line;
    char* p = writeTenthsText(line.data(), f.distanceTenths, decimalSeparator);
    *p++ = ',';
    if (f.result.hasHeadings()) {
        p = writeTenthsText(p, f.ownToOther * 10, decimalSeparator);
        *p++ = ',';
        p = writeTenthsText(p, f.otherToOwn * 10, decimalSeparator);
    } else {
        *p++ = ',';
    }
    *p++ = '\n';
    out.append(line.data(), p);
}

void appendJson(const Position& own, const Position& other, const PairFigures& f, DistanceUnit unit,
    std::uint64_t lineNumber, std::string& out)
{
    JsonSink sink(out);
    {
        JsonObject o(sink);
        jsonHead(o, lineNumber, own, other, {}, FigureNumbers{f}, f.result.geometry, unit, sink);
    }
    sink += '\n';
}

void appendText(const Report& r, const ReportOptions& options, std::string& out)
{
    const std::string_view unit = unitSymbol(options.unit);
    line(out, "Distance", r.distance.text, unit);
    line(out, "Beam heading from my station", r.ownToOther.text, "degrees");
    line(out, "Beam heading from the other station", r.otherToOwn.text, "degrees");
    if (const auto note = geometryNote(r.result.geometry); !note.empty()) {
        out += "Note: ";
        out += note;
        out += '\n';
    }
    if (options.longPath) {
        line(out, "Long path distance", r.longDistance.text, unit);
        line(out, "Long path beam heading from my station", r.longHeading.text, "degrees");
    }
    if (options.ellipsoid != nullptr) {
        line(out, "WGS84 ellipsoid distance", r.ellipsoidDistance.text, unit);
        line(out, "WGS84 ellipsoid heading from my station", r.ellipsoidOwnToOther.text, "degrees");
        line(out, "WGS84 ellipsoid heading from the other station", r.ellipsoidOtherToOwn.text, "degrees");
    }
    if (options.locators) {
        out += "Locator of my station: " + r.ownLocator6 + " (" + r.ownLocator8 + ")\n";
        out += "Locator of the other station: " + r.otherLocator6 + " (" + r.otherLocator8 + ")\n";
    }
    if (options.sunDate) {
        const std::string on = " on " + sunDateText(*options.sunDate);
        const auto sunLine = [&out](const std::string& label, const std::string& text) {
            out += label + ": " + (text.empty() ? std::string("none on this date") : text);
            out += text.size() == 5 ? " UTC\n" : "\n";
        };
        sunLine("Sunrise at my station" + on, r.ownSun.sunrise);
        sunLine("Sunset at my station" + on, r.ownSun.sunset);
        sunLine("Sunrise at the other station" + on, r.otherSun.sunrise);
        sunLine("Sunset at the other station" + on, r.otherSun.sunset);
    }
}

void appendRotatorText(const RotatorReport& r, std::string& out)
{
    if (r.commandedAzimuth.empty() || r.result == "failed") {
        return;
    }
    const std::string turn = "from azimuth " + r.startAzimuth + " to azimuth " + r.commandedAzimuth +
        " (beam heading " + r.heading + " degrees, range " + r.minAzimuth + ".." + r.maxAzimuth + " " +
        (r.rangeFrom == "rotator"          ? "from the rotator"
                : r.rangeFrom == "assumed" ? "assumed"
                                           : "given") +
        ")";
    const std::string at = "azimuth " + r.reportedAzimuth + " degrees, elevation " + r.reportedElevation + " degrees";
    out += "Rotator at " + r.address + ": ";
    if (r.result == "started") {
        out += "turn started " + turn + "\n";
    } else if (r.result == "arrived") {
        out += "turned " + turn + "; it reports " + at + "\n";
    } else if (r.result == "stopped") {
        out += "turning " + turn + " stopped at " + at + "\n";
    } else {
        out += "turning " + turn + " was at " + at + " when the wait ended\n";
    }
}

void appendJsonError(std::uint64_t lineNumber, std::string_view error, std::string& out)
{
    JsonSink sink(out);
    {
        JsonObject o(sink);
        o.count("line", lineNumber);
        o.string("error", error);
    }
    sink += '\n';
}

void appendJsonString(std::string_view text, std::string& out)
{
    appendJsonStringTo(text, out);
}

}  // namespace skybrant::cli
