#pragma once

#include "cluster_lines.h"
#include "position.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace skybrant {

class CountryFileSource;

// The most spots kept at once: a flood of lines cannot grow memory without
// end; the oldest go first.
inline constexpr std::size_t kSpotBoardCap = 5000;

// A spot placed: where its station is, its band and continent, and when it
// was heard here.
struct BoardSpot {
    ClusterSpot spot;
    Position position;
    // Placed at its country's reference point rather than at its grid.
    bool approximate = false;
    std::string band;  // "20m"; empty outside the bands
    std::string continent;  // "EU"; empty when the country file does not know the call
    std::string entity;  // "Germany", likewise
    std::optional<double> utcOffsetHours;  // the country file's clock, likewise
    std::chrono::sys_seconds heard{};
    std::uint64_t serial = 0;  // grows with each spot added

    // How far through its time on the board the spot is: 0 when just heard,
    // 1 when due to go.
    double ageFraction(std::chrono::sys_seconds now, std::chrono::minutes keep) const;
};

// Which spots to show; an empty set shows all.
struct SpotFilter {
    std::set<std::string> bands;
    std::set<std::string> continents;
};

// The spots now on the air, each read as a station through the one station
// reader: its grid when the spot gives one, else its DX call through the
// country file, never as a locator. The same call on the same band keeps
// only its newest spot.
class SpotBoard {
public:
    explicit SpotBoard(std::size_t cap = kSpotBoardCap) : cap_(cap == 0 ? 1 : cap) { }

    // Places spot, heard at heard; countryFile may be null before the file
    // is read (spots with grids are placed then). False with a sentence
    // when its station cannot be read: the spot is counted and dropped.
    bool add(const ClusterSpot& spot, std::chrono::sys_seconds heard, CountryFileSource* countryFile, std::string& why);

    // Drops the spots heard more than keep before now; how many went.
    std::size_t expire(std::chrono::sys_seconds now, std::chrono::minutes keep);

    void clear();

    // Newest first.
    std::vector<const BoardSpot*> spots() const { return filtered({}); }
    std::vector<const BoardSpot*> filtered(const SpotFilter& filter) const;
    std::size_t size() const { return spots_.size(); }

    // Grows with every change, so that a view can tell whether to redraw.
    std::uint64_t changes() const { return changes_; }
    // Spots dropped because their station could not be read.
    std::size_t unplaced() const { return unplaced_; }
    // Spots dropped because the board was full.
    std::size_t overflowed() const { return overflowed_; }

private:
    std::size_t cap_;
    std::vector<BoardSpot> spots_;  // oldest first
    std::uint64_t changes_ = 0;
    std::uint64_t nextSerial_ = 1;
    std::size_t unplaced_ = 0;
    std::size_t overflowed_ = 0;
};

}  // namespace skybrant
