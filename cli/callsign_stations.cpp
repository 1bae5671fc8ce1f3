#include "callsign_stations.h"

#include "core/callsign.h"

#include <utility>

namespace skybrant::cli {

Callsigns::Callsigns(std::string path) : path_(path.empty() ? defaultCountryFile() : std::move(path)) { }

bool Callsigns::ready(std::string& error)
{
    File& file = *shared_;
    std::call_once(file.read, [&] { file.files.load(path_, file.readError); });
    if (!file.readError.empty()) {
        error = file.readError;
        return false;
    }
    return true;
}

bool Callsigns::lookUp(std::string_view call, bool own, Position& position, std::string& error)
{
    if (!ready(error)) {
        return false;
    }
    const CallsignInfo info = lookupCallsign(shared_->files, call);
    if (info.status != CallsignStatus::Found) {
        error = callsignProblem(info, call);
        return false;
    }
    position = info.position;
    StationCallsign& station = own ? own_.emplace() : other_.emplace();
    for (const char c : call) {
        station.call += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    station.entity = info.entity;
    station.primaryPrefix = info.primaryPrefix;
    station.continent = info.continent;
    station.cqZone = info.cqZone;
    station.ituZone = info.ituZone;
    station.utcOffsetHours = info.utcOffsetHours;
    station.about = info.entityReferencePoint;
    return true;
}

}  // namespace skybrant::cli
