#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

// JS8Call's UDP API: one JSON object a datagram, {"type": ..., "value": ...,
// "params": {...}}. STATION.STATUS names the call selected in its window;
// RX.SPOT tells a call heard and, often, its grid.
namespace skybrant::follow {

struct Js8Message {
    enum class Kind {
        Status,  // STATION.STATUS: call is the selected call, possibly empty
        Spot,  // RX.SPOT: call heard, grid as sent (may be empty)
        Other,  // any other type
    };
    Kind kind = Kind::Other;
    std::string call;
    std::string grid;
};

// Reads one datagram; nothing when it is not a JSON object with a string
// "type" (or is longer than kMaxDatagram).
std::optional<Js8Message> readJs8call(std::span<const std::byte> datagram);

// The grid each call was last spotted with, so that the call selected
// takes the grid last heard from it. Holds at most kMaxSpots calls: past
// that the oldest half is forgotten, so a flood of spots costs bounded memory.
class Js8Spots {
public:
    static constexpr std::size_t kMaxSpots = 4096;
    void take(const Js8Message& spot);
    // The last grid heard with call; empty for none.
    std::string gridOf(std::string_view call) const;

private:
    std::unordered_map<std::string, std::pair<std::string, std::size_t>> grids_;
    std::size_t count_ = 0;
};

}  // namespace skybrant::follow
