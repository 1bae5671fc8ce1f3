#include "station_fields.h"

#include "callsign.h"
#include "locator.h"
#include "utf8.h"
#include "validation/range_checks.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>

namespace skybrant {

namespace {

using validation::Axis;
using validation::Unit;

const char* axisName(Axis axis)
{
    return axis == Axis::Latitude ? "latitude" : "longitude";
}

const char* unitName(Unit unit)
{
    switch (unit) {
    case Unit::Degrees:
        return "degrees";
    case Unit::Minutes:
        return "minutes";
    case Unit::Seconds:
        return "seconds";
    }
    return "";
}

std::string fieldName(bool own, Axis axis, const char* what)
{
    std::string name = own ? "own " : "other ";
    name += axisName(axis);
    name += ' ';
    name += what;
    return name;
}

// A whole number with an optional sign and nothing else, as the window's
// box reader would hold it; nullopt for anything else.
std::optional<validation::BoxReading> readWholeNumber(std::string_view text)
{
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') {
            return std::nullopt;
        }
    }
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    if (ec == std::errc::result_out_of_range) {
        return validation::BoxReading{0, true};
    }
    if (ec != std::errc{}) {
        return std::nullopt;
    }
    return validation::BoxReading{value, false};
}

class Reader {
public:
    Reader(bool own, std::string& error) : own_(own), error_(error) { }

    // The window's range rule, with its limits said as an operator would.
    bool number(std::string_view text, Axis axis, Unit unit, std::int32_t degrees, std::int32_t& value)
    {
        // Plain digits, as nearly every field is: read straight away, with
        // the same range rule; anything else, and every refusal, goes the
        // general way, which words the message.
        if (const auto plain = plainDigits(text); plain && validation::passesChecks({axis, unit}, *plain, degrees)) {
            value = *plain;
            return true;
        }
        return numberOrRefusal(text, axis, unit, degrees, value);
    }

    // N or S, E or W, either case; negative is set for S and W.
    bool hemisphere(std::string_view text, Axis axis, bool& negative)
    {
        if (text.size() == 1) {
            const char upper = static_cast<char>(text[0] & ~0x20);
            if (upper == positiveLetter(axis) || upper == negativeLetter(axis)) {
                negative = upper == negativeLetter(axis);
                return true;
            }
        }
        return hemisphereRefusal(text, axis);
    }

    static char positiveLetter(Axis axis) { return axis == Axis::Latitude ? 'N' : 'E'; }
    static char negativeLetter(Axis axis) { return axis == Axis::Latitude ? 'S' : 'W'; }

    // The ASCII digits from p on, at most nine, as a number; returns where
    // they end.
    static const char* readDigits(const char* p, const char* end, std::int32_t& value)
    {
        const char* const last = p + std::min<std::ptrdiff_t>(end - p, kPlainDigits);
        std::int32_t v = 0;
        if (last - p >= 3) {
            // One or two digits, as most fields hold, read without a branch
            // that depends on how many: a mispredicted one costs more than
            // all the arithmetic.
            const auto d0 = static_cast<unsigned char>(p[0] - '0');
            const auto d1 = static_cast<unsigned char>(p[1] - '0');
            const auto d2 = static_cast<unsigned char>(p[2] - '0');
            const bool first = d0 <= 9;
            const bool second = first && d1 <= 9;
            if (!second || d2 > 9) {
                const int one = first ? d0 : 0;
                value = second ? one * 10 + d1 : one;
                return p + static_cast<int>(first) + static_cast<int>(second);
            }
            v = d0 * 100 + d1 * 10 + d2;
            p += 3;
        }
        for (; p != last; ++p) {
            const auto digit = static_cast<unsigned char>(*p - '0');
            if (digit > 9) {
                break;
            }
            v = v * 10 + digit;
        }
        value = v;
        return p;
    }

private:
    // Nine digits always fit 32 bits.
    static constexpr std::ptrdiff_t kPlainDigits = 9;

    // One to nine ASCII digits and nothing else; nullopt for any other text.
    static std::optional<std::int32_t> plainDigits(std::string_view text)
    {
        std::int32_t plain = 0;
        const char* p = text.data();
        if (text.size() > kPlainDigits || readDigits(p, p + text.size(), plain) != p + text.size() ||
            p == text.data()) {
            return std::nullopt;
        }
        return plain;
    }

    [[gnu::noinline]] bool hemisphereRefusal(std::string_view text, Axis axis)
    {
        error_ = fieldName(own_, axis, "hemisphere") + ": " + quote(text) +
            " is not allowed; allowed: " + positiveLetter(axis) + " or " + negativeLetter(axis);
        return false;
    }

    [[gnu::noinline]] bool numberOrRefusal(
        std::string_view text, Axis axis, Unit unit, std::int32_t degrees, std::int32_t& value)
    {
        const auto reading = readWholeNumber(text);
        // Text that is no whole number is answered as a value past every
        // bound is, so its message also says what is allowed.
        const auto v =
            validation::firstViolation({axis, unit}, reading.value_or(validation::BoxReading{0, true}), degrees);
        if (reading && !v) {
            value = reading->value;
            return true;
        }
        error_ = fieldName(own_, axis, unitName(unit)) + ": " + quote(text) +
            (reading ? " is out of range" : " is not a whole number") + "; allowed: at most " +
            std::to_string(v->highest);
        if (v->atDegreesLimit) {
            error_ += std::string(" when the ") + axisName(axis) + " degrees are " +
                std::to_string(validation::maxDegrees(axis));
        }
        return false;
    }

    bool own_;
    std::string& error_;
};

bool readEntry(const std::string_view* f, bool own, EntryAngle& lat, EntryAngle& lon, std::string& error)
{
    Reader r(own, error);
    return r.number(f[0], Axis::Latitude, Unit::Degrees, 0, lat.degrees) &&
        r.number(f[1], Axis::Latitude, Unit::Minutes, lat.degrees, lat.minutes) &&
        r.number(f[2], Axis::Latitude, Unit::Seconds, lat.degrees, lat.seconds) &&
        r.hemisphere(f[3], Axis::Latitude, lat.negative) &&
        r.number(f[4], Axis::Longitude, Unit::Degrees, 0, lon.degrees) &&
        r.number(f[5], Axis::Longitude, Unit::Minutes, lon.degrees, lon.minutes) &&
        r.number(f[6], Axis::Longitude, Unit::Seconds, lon.degrees, lon.seconds) &&
        r.hemisphere(f[7], Axis::Longitude, lon.negative);
}

// Plain decimal degrees: an optional sign, digits and at most one point,
// an optional exponent; never "inf" or "nan".
bool readDecimal(std::string_view text, bool own, Axis axis, double& value, std::string& error)
{
    std::string_view digits = text;
    const bool plus = !digits.empty() && digits.front() == '+';
    if (plus) {
        digits.remove_prefix(1);
    }
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    const bool isNumber = !digits.empty() && !(plus && digits.front() == '-') && ec == std::errc{} &&
        end == digits.data() + digits.size() && std::isfinite(value);
    const double limit = validation::maxDegrees(axis);
    if (isNumber && value >= -limit && value <= limit) {
        return true;
    }
    error = std::string(own ? "own " : "other ") + axisName(axis) + ": " + quote(text) +
        (isNumber || ec == std::errc::result_out_of_range ? " is out of range" : " is not a number") +
        "; allowed: decimal degrees from " + std::to_string(-static_cast<int>(limit)) + " to " +
        std::to_string(static_cast<int>(limit));
    return false;
}

}  // namespace

bool looksNumeric(std::string_view token)
{
    const char c = token.empty() ? '\0' : token.front();
    return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.';
}

bool isCallsignToken(std::string_view token)
{
    if (!isCallsignShaped(token)) {
        return false;
    }
    double number = 0;
    const std::string_view digits = token.starts_with('+') ? token.substr(1) : token;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    return ec != std::errc{} || end != digits.data() + digits.size();
}

bool readDecimalPair(std::span<const std::string_view>& tokens, bool own, Position& station, std::string& error)
{
    double lat = 0;
    double lon = 0;
    if (tokens.size() < 2 || !readDecimal(tokens[0], own, Axis::Latitude, lat, error) ||
        !readDecimal(tokens[1], own, Axis::Longitude, lon, error)) {
        return false;
    }
    station = positionFromDegrees(lat, lon);
    tokens = tokens.subspan(2);
    return true;
}

bool readEntryStation(std::span<const std::string_view>& tokens, bool own, Position& station, std::string& error)
{
    EntryAngle lat;
    EntryAngle lon;
    if (!readEntry(tokens.data(), own, lat, lon, error)) {
        return false;
    }
    station = positionFromAngles(lat, lon);
    tokens = tokens.subspan(kEntryFields);
    return true;
}

namespace {

// One field of a plain entry line, starting at p after any blanks; moves p
// past it. False when the field is not what is asked for.
class PlainFields {
public:
    PlainFields(std::string_view line) : p_(line.data()), end_(line.data() + line.size()) { }

    bool number(Axis axis, Unit unit, std::int32_t degrees, std::int32_t& value)
    {
        skipBlanks();
        const char* const start = p_;
        p_ = Reader::readDigits(p_, end_, value);
        return p_ != start && endsField() && validation::passesChecks({axis, unit}, value, degrees);
    }

    bool hemisphere(Axis axis, bool& negative)
    {
        skipBlanks();
        if (p_ == end_) {
            return false;
        }
        const char upper = static_cast<char>(*p_++ & ~0x20);
        negative = upper == Reader::negativeLetter(axis);
        return (negative || upper == Reader::positiveLetter(axis)) && endsField();
    }

    bool angle(Axis axis, EntryAngle& a)
    {
        return number(axis, Unit::Degrees, 0, a.degrees) && number(axis, Unit::Minutes, a.degrees, a.minutes) &&
            number(axis, Unit::Seconds, a.degrees, a.seconds) && hemisphere(axis, a.negative);
    }

    // The next run of non-blank bytes; empty at the end.
    std::string_view token()
    {
        skipBlanks();
        const char* const start = p_;
        while (p_ != end_ && !isFieldBlank(*p_)) {
            ++p_;
        }
        return {start, static_cast<std::size_t>(p_ - start)};
    }

    bool atEnd()
    {
        skipBlanks();
        return p_ == end_;
    }

private:
    void skipBlanks()
    {
        while (p_ != end_ && isFieldBlank(*p_)) {
            ++p_;
        }
    }
    bool endsField() const { return p_ == end_ || isFieldBlank(*p_); }

    const char* p_;
    const char* end_;
};

bool readPlainEntries(std::string_view line, Position& own, Position& other)
{
    PlainFields f(line);
    EntryAngle ownLat;
    EntryAngle ownLon;
    EntryAngle otherLat;
    EntryAngle otherLon;
    if (!f.angle(Axis::Latitude, ownLat) || !f.angle(Axis::Longitude, ownLon) || !f.angle(Axis::Latitude, otherLat) ||
        !f.angle(Axis::Longitude, otherLon) || !f.atEnd()) {
        return false;
    }
    own = positionFromAngles(ownLat, ownLon);
    other = positionFromAngles(otherLat, otherLon);
    return true;
}

// Two locators, which keep their meaning over a callsign's. Two-character
// ones go the general way, which compares them with the country file's
// prefixes (DL is a locator and Germany's prefix).
bool readLocators(std::string_view line, Position& own, Position& other)
{
    PlainFields f(line);
    const std::string_view first = f.token();
    const std::string_view second = f.token();
    return f.atEnd() && readCommonLocator(first, own) && readCommonLocator(second, other);
}

}  // namespace

bool readCommonLocator(std::string_view text, Position& position)
{
    std::string unused;
    return text.size() > 2 && parseLocator(text, position, unused);
}

bool readCommonPair(std::string_view line, Position& own, Position& other)
{
    std::size_t first = 0;
    while (first < line.size() && isFieldBlank(line[first])) {
        ++first;
    }
    if (first == line.size()) {
        return false;
    }
    // A plain entry starts with a digit, a locator with a letter.
    return static_cast<unsigned char>(line[first] - '0') <= 9 ? readPlainEntries(line, own, other)
                                                              : readLocators(line, own, other);
}

std::string wrongFieldCount(std::size_t found)
{
    return "expected two stations, own then other, each " + std::string(kStationForms) + "; found " +
        std::to_string(found) + (found == 1 ? " field" : " fields");
}

}  // namespace skybrant
