#include "station_text.h"

#include "core/callsign.h"
#include "core/callsign_station.h"
#include "core/locator.h"
#include "core/report.h"
#include "core/station_reader.h"
#include "rotator/rotator_limits.h"

#include <charconv>
#include <cmath>
#include <vector>

namespace skybrant::aim {

namespace {

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

// A plain decimal number: digits with at most one point, an optional sign
// when signed; nothing else.
std::optional<double> number(std::string_view text, bool signedAllowed)
{
    if (signedAllowed && !text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    const bool negative = signedAllowed && !text.empty() && text.front() == '-';
    if (text.empty() || (!negative && (text.front() < '0' || text.front() > '9'))) {
        return std::nullopt;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

StationText readStationText(std::string_view text, const std::shared_ptr<const CountryFiles>& files, Source source)
{
    StationText read;
    const std::string typed(text);
    const std::vector<std::string_view> tokens = stationTokens(typed);
    std::optional<CountryFileSource> file;
    if (files) {
        file.emplace(std::string(), files);
    }
    StationReader reader({file ? &*file : nullptr, false});
    Station station;
    if (reader.readOne(tokens, Side::Other, station, read.error) == ReadResult::Ok) {
        OtherStation other;
        other.position = station.position;
        other.source = source;
        if (station.call) {
            other.label = station.call->call;
            other.name = station.call->call + ", " + station.call->entity;
            other.approximate = station.call->about;
            other.utcOffsetHours = station.call->utcOffsetHours;
        } else {
            other.label = locatorOf(station.position, 6);
        }
        read.station = std::move(other);
        read.error.clear();
        return read;
    }
    // One word that is no locator nor number may be a callsign or prefix:
    // the country file must be read first.
    if (!file && tokens.size() == 1 && !looksNumeric(tokens.front())) {
        const bool marked = tokens.front().starts_with('@');
        read.call = std::string(marked ? tokens.front().substr(1) : tokens.front());
        read.callShaped = marked || isCallsignShaped(read.call);
    }
    return read;
}

std::optional<double> headingTo(const Position& own, const Position& other, std::string& why)
{
    const GreatCircleResult r = solvePositions(own, other);
    if (!r.hasHeadings()) {
        why = std::string(geometryNote(r.geometry));
        return std::nullopt;
    }
    return roundHeading(r.headingOwnToOther);
}

std::optional<double> parseHeading(std::string_view text)
{
    text = trimmed(text);
    if (text.ends_with("\u00b0")) {
        text.remove_suffix(std::string_view("\u00b0").size());
        text = trimmed(text);
    }
    const auto value = number(text, false);
    return value && *value <= 360 ? value : std::nullopt;
}

std::optional<rotctl::AzimuthRange> parseRange(std::string_view text)
{
    text = trimmed(text);
    std::string_view low;
    std::string_view high;
    for (const std::string_view between : {"..", "to", " ", "\t"}) {
        // The first such mark after the first figure: "-180..180", "-180 to 180".
        const auto at = text.find(between, 1);
        if (at != std::string_view::npos) {
            low = trimmed(text.substr(0, at));
            high = trimmed(text.substr(at + between.size()));
            break;
        }
    }
    const auto min = number(low, true);
    const auto max = number(high, true);
    if (!min || !max || *min >= *max || !rotctl::withinProtocol(*min) || !rotctl::withinProtocol(*max)) {
        return std::nullopt;
    }
    return rotctl::AzimuthRange{*min, *max};
}

}  // namespace skybrant::aim
