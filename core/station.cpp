#include "station.h"

#include "angles.h"
#include "position.h"

namespace skybrant {

namespace {

std::string_view trimSpaces(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

}  // namespace

bool isSouth(std::string_view latHemisphere)
{
    return trimSpaces(latHemisphere) == "S";
}

bool isWest(std::string_view lonHemisphere)
{
    return trimSpaces(lonHemisphere) == "W";
}

StationRadians toRadians(const StationEntry& entry)
{
    StationRadians r{
        skybrant::toRadians(toDecimalDegrees(entry.latDegrees, entry.latMinutes, entry.latSeconds)),
        skybrant::toRadians(toDecimalDegrees(entry.lonDegrees, entry.lonMinutes, entry.lonSeconds)),
    };
    if (isWest(entry.lonHemisphere)) {
        r.lon = -r.lon;
    }
    if (isSouth(entry.latHemisphere)) {
        r.lat = -r.lat;
    }
    return r;
}

StationGeometry relateStations(const StationEntry& own, const StationEntry& other)
{
    return relatePositions(positionFromEntry(own), positionFromEntry(other));
}

}  // namespace skybrant
