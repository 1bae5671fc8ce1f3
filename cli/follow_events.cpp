#include "follow_events.h"

#include "core/station_reader.h"
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

}  // namespace

follow::FollowEvent stationEvent(const FollowSetup& setup, const std::string& call, const std::string& grid)
{
    const follow::StationReader read = [&setup](const std::string& text, Position& station, std::string& error) {
        const std::vector<std::string_view> tokens = stationTokens(text);
        return setup.callsigns->readOne(tokens, Side::Other, station, error) == ReadResult::Ok;
    };
    return follow::stationEvent(setup.source, setup.own, setup.unit, read, call, grid);
}

std::string eventLine(const follow::FollowEvent& event, const FollowSetup& setup)
{
    const std::string unit(unitSymbol(setup.unit));
    if (!setup.json) {
        std::string line = utcNow() + " " + std::string(follow::followSourceName(event.source));
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
    std::string json = R"({"time":")" + utcNow() + R"(","source":")" +
        std::string(follow::followSourceName(event.source)) + R"(","call":)";
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
