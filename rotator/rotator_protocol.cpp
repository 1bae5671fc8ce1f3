#include "rotator_protocol.h"

#include "core/utf8.h"
#include "rotator_limits.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <iterator>

namespace skybrant::rotctl {

namespace {

// What Hamlib's error codes mean, from -1 (RIG_EINVAL) to -22 (RIG_EACCESS).
constexpr std::array<const char*, 22> kMeanings{
    "Invalid parameter",
    "Invalid configuration",
    "Memory shortage",
    "Feature not implemented",
    "Communication timed out",
    "IO error",
    "Internal Hamlib error",
    "Protocol error",
    "Command rejected by the rig",
    "Command performed, but arg truncated",
    "Function not available",
    "VFO not targetable",
    "Error talking on the bus",
    "Collision on the bus",
    "NULL RIG handle or invalid pointer parameter",
    "Invalid VFO",
    "Argument out of domain of func",
    "Function deprecated",
    "Security error",
    "Rig not powered on",
    "Limit exceeded",
    "Access denied",
};

// The whole line must be the number; from_chars ignores the locale.
template <typename Number>
std::optional<Number> wholeNumber(std::string_view text)
{
    Number value{};
    const auto* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

std::string fixedTwoPlaces(double degrees)
{
    // Large enough for any finite double in fixed notation.
    std::array<char, 400> digits{};
    const auto written =
        std::to_chars(digits.data(), digits.data() + digits.size(), degrees, std::chars_format::fixed, 2);
    return {digits.data(), written.ptr};
}

}  // namespace

std::string secondsText(std::chrono::milliseconds time)
{
    const auto ms = std::max<std::chrono::milliseconds::rep>(time.count(), 0);
    std::string text = std::to_string(ms / 1000);
    if (const auto fraction = ms % 1000; fraction != 0) {
        std::string digits = std::to_string(1000 + fraction).substr(1);
        digits.erase(digits.find_last_not_of('0') + 1);
        text += "." + digits;
    }
    return text + " s";
}

std::string turnCommand(double azimuthDegrees, std::optional<double> elevationDegrees)
{
    return "P " + fixedTwoPlaces(azimuthDegrees) + " " + fixedTwoPlaces(elevationDegrees.value_or(0)) + "\n";
}

std::string shownAzimuth(double azimuthDegrees)
{
    std::string shown = fixedTwoPlaces(azimuthDegrees);
    shown.erase(shown.find_last_not_of('0') + 1);
    if (shown.back() == '.') {
        shown.pop_back();
    }
    return shown;
}

void ReplyLines::append(std::string_view bytes)
{
    // Dropping what was taken only once it is most of the buffer keeps the
    // copying in proportion to what arrives.
    if (offset_ > 0 && offset_ >= buffer_.size() / 2) {
        buffer_.erase(0, offset_);
        offset_ = 0;
    }
    buffer_.append(bytes);
}

LineStatus ReplyLines::take(std::string& line)
{
    const std::string_view pending = rest();
    const auto end = pending.find('\n');
    if (std::min(end, pending.size()) > kMaxReplyLine) {
        return LineStatus::TooLong;
    }
    if (end == std::string_view::npos) {
        return LineStatus::Incomplete;
    }
    if (lines_ + 1 > kMaxReplyLines) {
        return LineStatus::TooManyLines;
    }
    ++lines_;
    line.assign(pending.substr(0, end));
    offset_ += end + 1;
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return LineStatus::Complete;
}

void ReplyLines::clear()
{
    buffer_.clear();
    offset_ = 0;
    startReply();
}

std::string overflowText(LineStatus status)
{
    switch (status) {
    case LineStatus::TooLong:
        return "sent a line of over " + std::to_string(kMaxReplyLine) + " bytes";
    case LineStatus::TooManyLines:
        return "sent over " + std::to_string(kMaxReplyLines) + " lines in one reply";
    case LineStatus::Complete:
    case LineStatus::Incomplete:
        break;
    }
    return {};
}

std::optional<int> rprtCode(std::string_view line)
{
    constexpr std::string_view prefix = "RPRT ";
    if (line.substr(0, prefix.size()) != prefix) {
        return std::nullopt;
    }
    return wholeNumber<int>(line.substr(prefix.size()));
}

std::string codeText(int code)
{
    std::string text = "RPRT " + std::to_string(code);
    // Compared this way round so that INT_MIN cannot overflow.
    if (code < 0 && code >= -static_cast<int>(std::size(kMeanings))) {
        text += std::string(" (") + kMeanings.at(static_cast<std::size_t>(-code - 1)) + ")";
    }
    return text;
}

std::optional<std::string> turnRefusal(std::string_view reply, std::string_view where, double azimuthDegrees)
{
    const auto code = rprtCode(reply);
    if (!code) {
        return "the rotator at " + std::string(where) + " answered the turn with " + quote(reply, kShownBytes) +
            " instead of RPRT";
    }
    if (*code != 0) {
        return "the rotator at " + std::string(where) + " refused azimuth " + shownAzimuth(azimuthDegrees) + ": " +
            codeText(*code);
    }
    return std::nullopt;
}

Reading positionReading(std::string_view reply, PositionPart part, std::string_view where)
{
    const auto value = wholeNumber<double>(reply);
    if (value && withinProtocol(*value)) {
        return {value, {}, {}};
    }
    const char* what = part == PositionPart::Azimuth ? "azimuth" : "elevation";
    if (value && std::isfinite(*value)) {
        return {std::nullopt,
            "the rotator at " + std::string(where) + " reported " + quote(reply, kShownBytes) + " as its " + what +
                ", outside the protocol's -360..720",
            {}};
    }
    // A daemon that cannot read the position says so in place of the azimuth.
    if (const auto refusal = rprtCode(reply); part == PositionPart::Azimuth && refusal && *refusal != 0) {
        return {std::nullopt,
            "the rotator at " + std::string(where) + " could not report its position: " + codeText(*refusal), refusal};
    }
    return {std::nullopt,
        "the rotator at " + std::string(where) + " reported " + quote(reply, kShownBytes) + " as its " + what +
            ", which is not a number",
        {}};
}

}  // namespace skybrant::rotctl
