#include "spot_board.h"

#include "callsign_station.h"
#include "station_reader.h"

#include <algorithm>
#include <utility>

namespace skybrant {

namespace {

// The DX call through the country file: its position and what the file
// says of it; false with why when it cannot be read.
bool readCall(const std::string& dxCall, CountryFileSource* countryFile, Station& station, std::string& why)
{
    if (countryFile == nullptr) {
        why = "no country file has been read to place the call";
        return false;
    }
    StationReader reader({countryFile, false});
    // A callsign, never a locator, whatever its shape.
    const std::string marked = "@" + dxCall;
    const std::string_view token = marked;
    return reader.readOne({&token, 1}, Side::Other, station, why) == ReadResult::Ok &&
        station.form == StationForm::Callsign;
}

bool readGrid(const std::string& grid, Station& station, std::string& why)
{
    // No country file here: the text is read as a locator or not at all.
    StationReader reader;
    const std::string_view token = grid;
    return reader.readOne({&token, 1}, Side::Other, station, why) == ReadResult::Ok &&
        station.form == StationForm::Locator;
}

}  // namespace

double BoardSpot::ageFraction(std::chrono::sys_seconds now, std::chrono::minutes keep) const
{
    if (keep.count() <= 0) {
        return 1;
    }
    const double age = std::chrono::duration<double>(now - heard).count();
    const double span = std::chrono::duration<double>(keep).count();
    return std::clamp(age / span, 0.0, 1.0);
}

bool SpotBoard::add(
    const ClusterSpot& spot, std::chrono::sys_seconds heard, CountryFileSource* countryFile, std::string& why)
{
    why.clear();
    BoardSpot placed;
    placed.spot = spot;
    placed.band = bandOf(spot.frequencyKhz);
    placed.heard = heard;
    Station byCall;
    std::string callWhy;
    const bool callRead = readCall(spot.dxCall, countryFile, byCall, callWhy);
    if (callRead && byCall.call) {
        placed.continent = byCall.call->continent;
        placed.entity = byCall.call->entity;
        placed.utcOffsetHours = byCall.call->utcOffsetHours;
    }
    Station byGrid;
    std::string gridWhy;
    if (!spot.dxGrid.empty() && readGrid(spot.dxGrid, byGrid, gridWhy)) {
        placed.position = byGrid.position;
    } else if (callRead) {
        placed.position = byCall.position;
        placed.approximate = byCall.call && byCall.call->about;
    } else {
        ++unplaced_;
        why = spot.dxCall + " is not placed: ";
        why +=
            spot.dxGrid.empty() ? callWhy : "grid " + spot.dxGrid + " is no locator (" + gridWhy + "), and " + callWhy;
        return false;
    }
    placed.serial = nextSerial_++;
    std::erase_if(
        spots_, [&](const BoardSpot& old) { return old.spot.dxCall == spot.dxCall && old.band == placed.band; });
    spots_.push_back(std::move(placed));
    if (spots_.size() > cap_) {
        const auto over = static_cast<std::ptrdiff_t>(spots_.size() - cap_);
        spots_.erase(spots_.begin(), spots_.begin() + over);
        overflowed_ += static_cast<std::size_t>(over);
    }
    ++changes_;
    return true;
}

std::size_t SpotBoard::expire(std::chrono::sys_seconds now, std::chrono::minutes keep)
{
    const std::size_t gone = std::erase_if(spots_, [&](const BoardSpot& s) { return now - s.heard > keep; });
    if (gone != 0) {
        ++changes_;
    }
    return gone;
}

void SpotBoard::clear()
{
    if (!spots_.empty()) {
        spots_.clear();
        ++changes_;
    }
}

std::vector<const BoardSpot*> SpotBoard::filtered(const SpotFilter& filter) const
{
    std::vector<const BoardSpot*> shown;
    shown.reserve(spots_.size());
    // Oldest first in store, newest first out.
    for (std::size_t i = spots_.size(); i-- > 0;) {
        const BoardSpot& spot = spots_[i];
        if ((filter.bands.empty() || filter.bands.contains(spot.band)) &&
            (filter.continents.empty() || filter.continents.contains(spot.continent))) {
            shown.push_back(&spot);
        }
    }
    return shown;
}

}  // namespace skybrant
