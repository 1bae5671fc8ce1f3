#include "qso_station.h"

#include "station_fields.h"
#include "utf8.h"

#include <vector>

namespace skybrant {

namespace {

std::string shown(std::string_view text)
{
    std::string out = "\"";
    appendShown(text, out);
    return out + '"';
}

bool readForm(
    StationReader& reader, const std::string& text, Side side, StationForm form, Station& station, std::string& error)
{
    const std::vector<std::string_view> tokens = stationTokens(text);
    std::string why;
    if (reader.readOne(tokens, side, station, why) == ReadResult::Ok && station.form == form) {
        return true;
    }
    error = why.empty() ? "it is not written as one" : why;
    return false;
}

// A station from its locator field, else its two coordinate fields; false
// with error empty when the record has neither.
bool readPlace(StationReader& reader, const AdifQso& qso, bool own, Station& station, std::string& error)
{
    const std::string& grid = own ? qso.myGridsquare : qso.gridsquare;
    const std::string& lat = own ? qso.myLat : qso.lat;
    const std::string& lon = own ? qso.myLon : qso.lon;
    const std::string prefix = own ? "MY_" : "";
    const Side side = own ? Side::Own : Side::Other;
    std::string why;
    if (!grid.empty()) {
        // The commonest field, a plain locator, read without splitting it.
        if (readCommonLocator(grid, station.position)) {
            station.form = StationForm::Locator;
            station.call.reset();
            return true;
        }
        if (readForm(reader, grid, side, StationForm::Locator, station, why)) {
            return true;
        }
        error = prefix + "GRIDSQUARE " + shown(grid) + " is no locator: " + why;
        return false;
    }
    if (lat.empty() != lon.empty()) {
        error = prefix + (lat.empty() ? "LON" : "LAT") + " is given without " + prefix + (lat.empty() ? "LAT" : "LON");
        return false;
    }
    if (lat.empty()) {
        return false;
    }
    if (readForm(reader, lat + " " + lon, side, StationForm::Written, station, why)) {
        return true;
    }
    error = prefix + "LAT " + shown(lat) + " and " + prefix + "LON " + shown(lon) +
        " are no position (XDDD MM.MMM): " + why;
    return false;
}

}  // namespace

bool readQsoStations(StationReader& reader, const AdifQso& qso, QsoStations& stations, std::string& error)
{
    error.clear();
    stations.own.reset();
    Station own;
    if (readPlace(reader, qso, true, own, error)) {
        stations.own = own;
    } else if (!error.empty()) {
        return false;
    }
    if (readPlace(reader, qso, false, stations.other, error)) {
        return true;
    }
    if (!error.empty()) {
        return false;
    }
    // A callsign, never a locator, whatever its shape.
    const std::string marked = "@" + qso.call;
    const std::string_view token = marked;
    std::string why;
    if (reader.readOne({&token, 1}, Side::Other, stations.other, why) == ReadResult::Ok) {
        return true;
    }
    error = "no GRIDSQUARE or LAT/LON, and the CALL gives no position: " + why;
    return false;
}

}  // namespace skybrant
