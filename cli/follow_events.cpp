#include "follow_events.h"

#include "core/heading_spread.h"
#include "core/station_reader.h"
#include "follow/followed_station.h"
#include "report.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace skybrant::cli {

namespace {

std::string wholeDegrees(double heading)
{
    const long whole = std::lround(heading);
    return std::to_string(whole >= 360 ? whole - 360 : whole) + "\u00b0";
}

// One decimal, as the figures are shown.
std::string tenths(double value)
{
    std::array<char, 32> text{};
    const int length = std::snprintf(text.data(), text.size(), "%.1f", value);
    return {text.data(), static_cast<std::size_t>(std::max(length, 0))};
}

std::string utcNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    gmtime_r(&now, &parts);
    std::array<char, 32> text{};
    const std::size_t length = std::strftime(text.data(), text.size(), "%Y-%m-%dT%H:%M:%SZ", &parts);
    return {text.data(), length};
}

bool readStation(Callsigns& callsigns, const std::string& text, Position& station, std::string& error)
{
    const std::vector<std::string_view> tokens = stationTokens(text);
    return callsigns.readOne(tokens, Side::Other, station, error) == ReadResult::Ok;
}

}  // namespace

std::string_view sourceTitle(FollowSource source)
{
    constexpr std::array<std::string_view, 4> kTitles{"WSJT-X", "JS8Call", "N1MM Logger+", "PstRotator"};
    return kTitles.at(static_cast<std::size_t>(source));
}

FollowEvent stationEvent(const FollowSetup& setup, const std::string& call, const std::string& grid)
{
    FollowEvent event;
    event.source = setup.source;
    event.call = follow::shownField(call);
    event.grid = follow::shownField(grid);
    Position other;
    std::string error;
    bool found = false;
    if (!grid.empty()) {
        found = readStation(*setup.callsigns, follow::stationText("", grid), other, error);
    }
    if (!found && !call.empty()) {
        std::string callError;
        found = readStation(*setup.callsigns, follow::stationText(call, ""), other, callError);
        if (!found && error.empty()) {
            error = std::move(callError);
        }
    }
    if (!found) {
        event.problem = call.empty() && grid.empty() ? "no station picked" : error;
        return event;
    }
    const GreatCircleResult result = solvePositions(setup.own, other);
    event.distance = arcToDistance(result.centralAngle, setup.unit);
    if (!result.hasHeadings()) {
        event.problem = "no heading to the own station's place or its antipode";
        return event;
    }
    event.heading = result.headingOwnToOther;
    if (grid.size() == 4) {
        if (const auto spread = squareHeadingSpread(setup.own, grid)) {
            event.spread = std::pair{spread->first, spread->last};
        }
    }
    return event;
}

std::string eventLine(const FollowEvent& event, const FollowSetup& setup)
{
    const std::string unit(unitSymbol(setup.unit));
    if (!setup.json) {
        std::string line = utcNow() + " " + std::string(followSourceName(event.source));
        for (const std::string* field : {&event.call, &event.grid}) {
            if (!field->empty()) {
                line += " " + *field;
            }
        }
        if (event.heading) {
            line += " " + wholeDegrees(*event.heading);
        }
        if (event.spread) {
            line += " (" + wholeDegrees(event.spread->first) + "\u2013" + wholeDegrees(event.spread->second) + ")";
        }
        if (event.distance) {
            line += " " + tenths(*event.distance) + " " + unit;
        }
        if (!event.problem.empty()) {
            line += " (" + event.problem + ")";
        }
        return line + ": " + event.decision + "\n";
    }
    std::string json =
        R"({"time":")" + utcNow() + R"(","source":")" + std::string(followSourceName(event.source)) + R"(","call":)";
    appendJsonString(event.call, json);
    json += ",\"grid\":";
    appendJsonString(event.grid, json);
    json += ",\"heading\":" + (event.heading ? tenths(*event.heading) : std::string("null"));
    if (event.spread) {
        json += ",\"spread\":[" + tenths(event.spread->first) + "," + tenths(event.spread->second) + "]";
    }
    json += ",\"distance\":" + (event.distance ? tenths(*event.distance) : std::string("null"));
    json += R"(,"unit":")" + unit + R"(","decision":)";
    appendJsonString(event.problem.empty() ? event.decision : event.decision + " (" + event.problem + ")", json);
    return json + "}\n";
}

}  // namespace skybrant::cli
