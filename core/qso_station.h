#pragma once

#include "adif_reader.h"
#include "station_reader.h"

#include <optional>
#include <string>

namespace skybrant {

// Where the two stations of a logged QSO were.
struct QsoStations {
    // The station worked: its GRIDSQUARE, else its LAT and LON, else its
    // CALL through the country file.
    Station other;
    // The station it was worked from, when the log gives MY_GRIDSQUARE or
    // MY_LAT and MY_LON; none for the own station of the run.
    std::optional<Station> own;
};

// Reads the stations of a QSO through the one station reader; false with
// a sentence naming the field when one cannot be used. A locator field
// must hold a locator, and the coordinate fields a position: neither is
// ever read as a callsign.
bool readQsoStations(StationReader& reader, const AdifQso& qso, QsoStations& stations, std::string& error);

}  // namespace skybrant
