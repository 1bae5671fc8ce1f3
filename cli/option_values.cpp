// Every option value is checked here, by the kind of value the option
// table gives it.

#include "command_arguments.h"
#include "core/utf8.h"
#include "iso_time.h"
#include "rotator/rotator_limits.h"
#include "usage.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace skybrant::cli {

namespace {

// A number as typed: blanks around it and a leading + allowed, read the
// same in every locale.
template <typename Number>
bool readNumber(std::string_view text, Number& number)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return false;
    }
    text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    if (text.size() > 1 && text[0] == '+' && text[1] != '-') {
        text.remove_prefix(1);
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if constexpr (std::is_floating_point_v<Number>) {
        if (!std::isfinite(number)) {
            return false;
        }
    }
    return error == std::errc() && end == text.data() + text.size();
}

bool hasSuffix(std::string_view file, std::string_view suffix)
{
    const std::string_view name = file.substr(file.find_last_of('/') + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string_view::npos) {
        return false;
    }
    const std::string_view found = name.substr(dot + 1);
    return std::ranges::equal(found, suffix, [](char a, char b) { return (a >= 'A' && a <= 'Z' ? a + 32 : a) == b; });
}

bool readSeconds(const std::string& text, OptionValue& value)
{
    double seconds = 0;
    if (!readNumber(text, seconds) || !(seconds > 0) || seconds > 3600) {
        return false;
    }
    value = std::chrono::milliseconds(std::max<long long>(1, std::llround(seconds * 1000)));
    return true;
}

bool readMapFile(const std::string& text, OptionValue& value)
{
    const bool png = hasSuffix(text, "png");
    if (!png && !hasSuffix(text, "svg")) {
        return false;
    }
    value = MapFile{text, png ? MapFormat::Png : MapFormat::Svg};
    return true;
}

bool readChartFile(const std::string& text, OptionValue& value)
{
    if (text.empty()) {
        value = ChartFile{};
        return true;
    }
    if (!isChartFileName(text)) {
        return false;
    }
    const ChartFormat format = hasSuffix(text, "pdf") ? ChartFormat::Pdf
        : hasSuffix(text, "svg")                      ? ChartFormat::Svg
                                                      : ChartFormat::Png;
    value = ChartFile{text, format};
    return true;
}

bool readChartOrder(const std::string& text, OptionValue& value)
{
    for (const ChartOrder order : {ChartOrder::Heading, ChartOrder::Prefix, ChartOrder::Distance}) {
        if (text == chartOrderName(order)) {
            value = order;
            return true;
        }
    }
    return false;
}

bool readNightTime(const std::string& text, std::chrono::sys_seconds now, OptionValue& value)
{
    if (text == "now" || text == "none") {
        value = NightTime{text == "now" ? std::optional(now) : std::nullopt};
        return true;
    }
    const auto time = readIsoTime(text);
    value = NightTime{time};
    return time.has_value();
}

// Checks a value of the kinds that are numbers or names; false with the end
// of the sentence saying what the value is not.
bool readPlainValue(ValueKind kind, const std::string& text, OptionValue& value, std::string& isNot)
{
    switch (kind) {
    case ValueKind::Units:
        isNot = "a unit; allowed: km, mi or nmi";
        if (const auto unit = unitFromTypedSymbol(text)) {
            value = *unit;
            return true;
        }
        return false;
    case ValueKind::Seconds:
        isNot = "a number of seconds above 0 and at most 3600";
        return readSeconds(text, value);
    case ValueKind::Degrees: {
        isNot = withFigures("a number of degrees from {lowest-azimuth} to {highest-azimuth}");
        double degrees = 0;
        value = degrees;
        return readNumber(text, std::get<double>(value)) && rotctl::withinProtocol(std::get<double>(value));
    }
    case ValueKind::Offset: {
        isNot = "a number of degrees from -" + std::to_string(static_cast<int>(rotctl::kLargestOffset)) + " to " +
            std::to_string(static_cast<int>(rotctl::kLargestOffset));
        double degrees = 0;
        const auto kept = readNumber(text, degrees) ? rotctl::mastOffset(degrees) : std::nullopt;
        value = kept.value_or(0);
        return kept.has_value();
    }
    case ValueKind::Pixels: {
        isNot = "a whole number of pixels from " + std::to_string(kMinimumMapSize) + " to " +
            std::to_string(kMaximumMapSize);
        int pixels = 0;
        value = pixels;
        return readNumber(text, std::get<int>(value)) && std::get<int>(value) >= kMinimumMapSize &&
            std::get<int>(value) <= kMaximumMapSize;
    }
    case ValueKind::Program: {
        isNot = "a program followed; allowed: wsjtx, js8call, n1mm or pst";
        value = text;
        return follow::followSourceNamed(text).has_value();
    }
    case ValueKind::Date:
        isNot = "a date YYYY-MM-DD from 1901-01-01 to 2099-12-31";
        if (const auto date = readIsoDate(text)) {
            value = *date;
            return true;
        }
        return false;
    default:
        value = text;
        return true;
    }
}

}  // namespace

bool readOptionValue(
    ValueKind kind, const std::string& text, std::chrono::sys_seconds now, OptionValue& value, std::string& error)
{
    switch (kind) {
    case ValueKind::Switch:
        value = std::monostate();
        return true;
    case ValueKind::Text:
        value = text;
        return true;
    case ValueKind::MapFile:
        if (!readMapFile(text, value)) {
            error = quote(text) + " ends neither in .png nor in .svg";
            return false;
        }
        return true;
    case ValueKind::ChartFile:
        if (!readChartFile(text, value)) {
            error = quote(text) + " ends in none of .pdf, .svg and .png";
            return false;
        }
        return true;
    case ValueKind::ChartOrder:
        if (!readChartOrder(text, value)) {
            error = quote(text) + " is none of heading, prefix and distance";
            return false;
        }
        return true;
    case ValueKind::Time:
        if (!readNightTime(text, now, value)) {
            error = quote(text) +
                " is not a UTC date and time from 1901-01-01 to 2099-12-31 such as 2026-06-21T20:00Z, nor now or none";
            return false;
        }
        return true;
    case ValueKind::Endpoint:
    case ValueKind::Host: {
        Endpoint endpoint;
        const bool read = kind == ValueKind::Endpoint ? follow::parseEndpoint(text, endpoint, error)
                                                      : follow::parseHost(text, endpoint.address, error);
        value = endpoint;
        return read;
    }
    case ValueKind::Address: {
        rotctl::RotatorAddress address;
        if (!rotctl::parseRotatorAddress(text, address, error)) {
            return false;
        }
        value = address;
        return true;
    }
    default:
        break;
    }
    std::string isNot;
    if (!readPlainValue(kind, text, value, isNot)) {
        error = quote(text) + " is not " + isNot;
        return false;
    }
    return true;
}

}  // namespace skybrant::cli
