#include "callsign_station.h"

#include "callsign.h"

#include <utility>

namespace skybrant {

CountryFileSource::CountryFileSource(std::string path)
    : path_(path.empty() ? defaultCountryFile() : std::move(path)) { }

CountryFileSource::CountryFileSource(std::string path, std::shared_ptr<const CountryFiles> files)
    : CountryFileSource(std::move(path))
{
    shared_->given = std::move(files);
}

const CountryFiles* CountryFileSource::files(std::string& error)
{
    Shared& shared = *shared_;
    if (shared.given) {
        return shared.given.get();
    }
    std::call_once(shared.read, [&] {
        shared.files.load(path_, shared.readError);
        shared.tried.store(true, std::memory_order_release);
    });
    if (!shared.readError.empty()) {
        error = shared.readError;
        return nullptr;
    }
    return &shared.files;
}

std::optional<StationCall> lookUpStation(
    CountryFileSource& source, std::string_view call, Position& position, std::string& error)
{
    const CountryFiles* files = source.files(error);
    if (files == nullptr) {
        return std::nullopt;
    }
    const CallsignInfo info = lookupCallsign(*files, call);
    if (info.status != CallsignStatus::Found) {
        error = callsignProblem(info, call);
        return std::nullopt;
    }
    position = info.position;
    StationCall station;
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
    station.otherList = info.otherList;
    station.dxccEntity = info.dxccEntity;
    return station;
}

}  // namespace skybrant
