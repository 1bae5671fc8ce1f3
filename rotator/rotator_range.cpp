#include "rotator_range.h"

#include "core/angles.h"
#include "core/utf8.h"
#include "rotator_limits.h"
#include "rotator_protocol.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace skybrant::rotctl {

namespace {

constexpr double kTurn = 360;
// Limits print with six decimals; a target a hair outside them is inside.
constexpr double kEdge = 0.01;

std::optional<double> number(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    double value = 0;
    const auto* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// The value after any of the given labels, or nothing when the line has none.
std::optional<std::string_view> labelled(std::string_view line, std::array<std::string_view, 2> labels)
{
    for (const std::string_view label : labels) {
        if (line.starts_with(label)) {
            return line.substr(label.size());
        }
    }
    return std::nullopt;
}

std::string degreesText(double degrees)
{
    return shownAzimuth(degrees);
}

}  // namespace

std::string rangeText(AzimuthRange range)
{
    return degreesText(range.min) + ".." + degreesText(range.max);
}

DumpStateReader::Status DumpStateReader::take(std::string_view line)
{
    // The extended form begins by echoing the command, the plain one with
    // the protocol's version; a daemon sending lines of anything else is not
    // rotctld, and waiting for its limits would only run out the time.
    if (!started) {
        started = true;
        const bool version = !line.empty() && line.find_first_not_of("0123456789") == std::string_view::npos;
        if (line != "dump_state:" && !version && !rprtCode(line) && !labelled(line, {"min_az=", "Minimum Azimuth:"})) {
            why = quote(line, kShownBytes) + " in reply to \\dump_state, which is not its protocol";
            return Status::Stray;
        }
    }
    if (const auto code = rprtCode(line)) {
        if (*code != 0) {
            why = codeText(*code);
            return Status::Failed;
        }
        ended = true;
    } else if (line == "dump_state:") {
        // The extended form echoes the command first and ends with RPRT.
        extended = true;
    } else if (line == "done") {
        // The plain form ends here; the extended form still has its RPRT.
        if (min && max && !extended) {
            ended = true;
        }
    } else if (const auto value = labelled(line, {"Minimum Azimuth:", "min_az="})) {
        min = number(*value);
        checkLimit(min, *value);
    } else if (const auto value = labelled(line, {"Maximum Azimuth:", "max_az="})) {
        max = number(*value);
        checkLimit(max, *value);
    }
    if (beyond) {
        return Status::Beyond;
    }
    if (!ended) {
        return Status::More;
    }
    if (!range()) {
        why = "no usable azimuth limits";
        return Status::Failed;
    }
    return Status::Done;
}

void DumpStateReader::checkLimit(std::optional<double> limit, std::string_view text)
{
    // A limit far outside any turn would have an azimuth sent that no
    // rotator reads, and lose precision on the way.
    if (limit && !withinProtocol(*limit) && !beyond) {
        beyond = true;
        const auto first = text.find_first_not_of(" \t");
        why = "the azimuth limit " + quote(text.substr(std::min(first, text.size())), kShownBytes) +
            ", outside the protocol's -360..720";
    }
}

std::optional<AzimuthRange> DumpStateReader::range() const
{
    if (beyond || !min || !max || *min > *max) {
        return std::nullopt;
    }
    return AzimuthRange{*min, *max};
}

std::optional<double> leastTurnAzimuth(double heading, AzimuthRange range, double current)
{
    if (!std::isfinite(heading) || !std::isfinite(current) || !(range.min <= range.max)) {
        return std::nullopt;
    }
    const double base = wrap360(heading);
    // The turns that put base + k * 360 inside the range, and the one nearest
    // to where the rotator is, kept to those turns.
    const double lowest = std::ceil((range.min - kEdge - base) / kTurn);
    const double highest = std::floor((range.max + kEdge - base) / kTurn);
    if (lowest > highest) {
        return std::nullopt;
    }
    const double nearest = std::clamp(std::round((current - base) / kTurn), lowest, highest);
    std::optional<double> best;
    for (const double k : {nearest - 1, nearest, nearest + 1}) {
        if (k < lowest || k > highest) {
            continue;
        }
        const double candidate = std::clamp(base + k * kTurn, range.min, range.max);
        if (!best || std::abs(candidate - current) < std::abs(*best - current)) {
            best = candidate;
        }
    }
    return best;
}

double sentHeading(double shownHeading)
{
    return shownHeading >= kTurn ? shownHeading - kTurn : shownHeading;
}

}  // namespace skybrant::rotctl
