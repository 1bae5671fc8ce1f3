#include "callsign_stations.h"

#include <utility>

namespace skybrant::cli {

bool Callsigns::lookUp(std::string_view call, bool own, Position& position, std::string& error)
{
    auto station = lookUpStation(source_, call, position, error);
    if (!station) {
        return false;
    }
    (own ? own_ : other_) = std::move(station);
    return true;
}

void Callsigns::keep(StationReader& reader, Station& own, Station* other)
{
    if (std::string note = reader.takeNote(); !note.empty()) {
        note_ = std::move(note);
    }
    own_ = std::move(own.call);
    other_ = other != nullptr ? std::move(other->call) : std::nullopt;
}

ReadResult Callsigns::readPair(
    std::span<const std::string_view> tokens, Position& own, Position& other, std::string& error)
{
    StationReader r = reader();
    Station first;
    Station second;
    const ReadResult result = r.readPair(tokens, first, second, error);
    own = first.position;
    other = second.position;
    keep(r, first, &second);
    return result;
}

ReadResult Callsigns::readOne(
    std::span<const std::string_view> tokens, Side side, Position& station, std::string& error)
{
    StationReader r = reader();
    Station read;
    const ReadResult result = r.readOne(tokens, side, read, error);
    station = read.position;
    // One station at a time: the other side's is kept as it was.
    if (std::string note = r.takeNote(); !note.empty()) {
        note_ = std::move(note);
    }
    (side == Side::Own ? own_ : other_) = std::move(read.call);
    return result;
}

ReadResult readPair(
    std::span<const std::string_view> tokens, Position& own, Position& other, std::string& error, Callsigns* callsigns)
{
    if (callsigns != nullptr) {
        return callsigns->readPair(tokens, own, other, error);
    }
    Station first;
    Station second;
    const ReadResult result = StationReader().readPair(tokens, first, second, error);
    own = first.position;
    other = second.position;
    return result;
}

ReadResult readOneStation(
    std::span<const std::string_view> tokens, Side side, Position& station, std::string& error, Callsigns* callsigns)
{
    if (callsigns != nullptr) {
        return callsigns->readOne(tokens, side, station, error);
    }
    Station read;
    const ReadResult result = StationReader().readOne(tokens, side, read, error);
    station = read.position;
    return result;
}

}  // namespace skybrant::cli
