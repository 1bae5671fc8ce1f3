#pragma once

#include "callsign_stations.h"
#include "core/position.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace skybrant::cli {

// LAD LAM LAS N|S LOD LOM LOS E|W.
inline constexpr std::size_t kEntryFields = 8;
// The most fields a pair can take: two stations of eight.
inline constexpr std::size_t kMaxPairFields = 2 * kEntryFields;

enum class Side { Own, Other };

enum class ReadResult {
    Ok,
    BadField,  // a field that is not allowed; error names it
    WrongCount,  // too few or too many fields for the stations
};

// Both stations of a pair, own first, using every token.
ReadResult readPair(std::span<const std::string_view> tokens, Position& own, Position& other, std::string& error,
    Callsigns* callsigns = nullptr);

// One station using every token, as an option's value gives it.
ReadResult readOneStation(std::span<const std::string_view> tokens, Side side, Position& station, std::string& error,
    Callsigns* callsigns = nullptr);

std::string wrongFieldCount(std::size_t found);

}  // namespace skybrant::cli
