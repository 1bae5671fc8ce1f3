#include "report.h"

#include "core/angles.h"
#include "core/locator.h"
#include "core/number_text.h"
#include "core/square_centres.h"
#include "core/utf8.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

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

    // A rounded figure, or null where there is none.
    void figure(const Literal& name, const Figure& figure)
    {
        if (figure.shown) {
            written(name, [t = figure.tenths](char* to) { return writeTenthsText(to, t); });
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

}  // namespace

void appendJson(const Report& r, const ReportOptions& options, std::uint64_t lineNumber, const RotatorReport* rotator,
    std::string& out)
{
    JsonSink sink(out);
    {
        JsonObject o(sink);
        if (lineNumber != 0) {
            o.count("line", lineNumber);
        }
        station(o, "own", r.own, r.ownLocator6, r.ownLocator8, sink);
        station(o, "other", r.other, r.otherLocator6, r.otherLocator8, sink);
        o.fixed("coordinate_unit", "degrees, north and east positive");
        o.figure("distance", r.distance);
        o.string("distance_unit", unitSymbol(options.unit));
        o.figure("heading_own_to_other", r.ownToOther);
        o.figure("heading_other_to_own", r.otherToOwn);
        o.fixed("heading_unit", "degrees clockwise from true north");
        if (const auto note = geometryNote(r.result.geometry); !note.empty()) {
            o.string("note", note);
        }
        if (options.longPath) {
            o.figure("long_path_distance", r.longDistance);
            o.figure("long_path_heading_own_to_other", r.longHeading);
        }
        if (options.ellipsoid != nullptr) {
            o.fixed("ellipsoid", "WGS84");
            o.figure("ellipsoid_distance", r.ellipsoidDistance);
            o.figure("ellipsoid_heading_own_to_other", r.ellipsoidOwnToOther);
            o.figure("ellipsoid_heading_other_to_own", r.ellipsoidOtherToOwn);
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
        if (options.magneticDate) {
            o.string("magnetic_date", sunDateText(*options.magneticDate));
            o.fixed("magnetic_model", "WMM-2025");
            o.figure("magnetic_heading_own_to_other", r.ownMagneticHeading);
            o.figure("magnetic_heading_other_to_own", r.otherMagneticHeading);
            if (options.longPath) {
                o.figure("long_path_magnetic_heading_own_to_other", r.longMagneticHeading);
            }
            o.fixed("magnetic_heading_unit", "degrees clockwise from magnetic north");
            o.figure("own_declination", r.ownDeclination);
            o.figure("other_declination", r.otherDeclination);
            o.fixed("declination_unit", "degrees east of true north, west negative");
            o.string("own_compass", compassZoneName(r.ownCompass));
            o.string("other_compass", compassZoneName(r.otherCompass));
            o.number("magnetic_model_out_of_date", r.magneticOutOfDate ? "true" : "false");
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

void appendChartJson(const BearingChart& chart, std::string& out)
{
    JsonSink sink(out);
    {
        JsonObject o(sink);
        station(o, "own", chart.own, locatorOf(chart.own, 6), locatorOf(chart.own, 8), sink);
        o.string("date", sunDateText(chart.date));
        o.string("country_file", chart.countryFile);
        o.string("sort", chartOrderName(chart.order));
        o.string("distance_unit", unitSymbol(chart.options.unit));
        o.fixed("heading_unit", "degrees clockwise from true north");
        const bool magnetic = chart.options.magneticDate.has_value();
        if (magnetic) {
            o.fixed("magnetic_model", "WMM-2025");
            o.fixed("magnetic_heading_unit", "degrees clockwise from magnetic north");
        }
        o.key("entities");
        sink += '[';
        bool first = true;
        for (const ChartRow& row : chart.rows) {
            if (!first) {
                sink += ',';
            }
            first = false;
            JsonObject e(sink);
            e.string("prefix", row.entity->primaryPrefix);
            e.string("entity", row.entity->name);
            e.string("continent", row.entity->continent);
            e.written("latitude", [&row](char* to) { return writeNumberText(to, row.entity->latDegrees); });
            e.written("longitude", [&row](char* to) { return writeNumberText(to, row.entity->lonDegrees); });
            e.figure("heading", row.report.ownToOther);
            e.figure("distance", row.report.distance);
            e.figure("long_path_heading", row.report.longHeading);
            e.figure("long_path_distance", row.report.longDistance);
            if (magnetic) {
                e.figure("magnetic_heading", row.report.ownMagneticHeading);
                e.figure("long_path_magnetic_heading", row.report.longMagneticHeading);
            }
        }
        sink += ']';
    }
    sink += '\n';
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
