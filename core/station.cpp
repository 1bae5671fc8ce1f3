#include "station.h"

#include "angles.h"

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

constexpr std::int64_t kFullTurn = std::int64_t{360} * 3600;
constexpr std::int64_t kHalfTurn = kFullTurn / 2;
constexpr std::int64_t kQuarterTurn = kFullTurn / 4;

std::int64_t arcSeconds(std::int32_t degrees, std::int32_t minutes, std::int32_t seconds)
{
    return std::int64_t{degrees} * 3600 + std::int64_t{minutes} * 60 + seconds;
}

std::int64_t wrapTurn(std::int64_t value)
{
    const std::int64_t r = value % kFullTurn;
    return r < 0 ? r + kFullTurn : r;
}

// A point on the sphere in one canonical form: latitude in [-90, 90]
// degrees, longitude in [0, 360), and longitude 0 at either pole.
struct ArcPoint {
    std::int64_t lat;
    std::int64_t lon;
    bool operator==(const ArcPoint&) const = default;
};

ArcPoint canonical(std::int64_t lat, std::int64_t lon)
{
    // Latitudes past a pole continue down the far side of the globe.
    lat = wrapTurn(lat);
    if (lat > kQuarterTurn && lat < 3 * kQuarterTurn) {
        lat = kHalfTurn - lat;
        lon += kHalfTurn;
    } else if (lat >= 3 * kQuarterTurn) {
        lat -= kFullTurn;
    }
    lon = (lat == kQuarterTurn || lat == -kQuarterTurn) ? 0 : wrapTurn(lon);
    return {lat, lon};
}

ArcPoint canonical(const StationEntry& e)
{
    std::int64_t lat = arcSeconds(e.latDegrees, e.latMinutes, e.latSeconds);
    std::int64_t lon = arcSeconds(e.lonDegrees, e.lonMinutes, e.lonSeconds);
    if (isSouth(e.latHemisphere)) {
        lat = -lat;
    }
    if (isWest(e.lonHemisphere)) {
        lon = -lon;
    }
    return canonical(lat, lon);
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
    const ArcPoint a = canonical(own);
    const ArcPoint b = canonical(other);
    if (a == b) {
        return StationGeometry::SamePlace;
    }
    if (a == canonical(-b.lat, b.lon + kHalfTurn)) {
        return StationGeometry::Antipodes;
    }
    return StationGeometry::Distinct;
}

}  // namespace skybrant
