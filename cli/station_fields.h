#pragma once

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

inline constexpr std::string_view kStationForms =
    "a locator such as JO01, LAT LON in decimal degrees, or LAD LAM LAS N|S LOD LOM LOS E|W";

enum class Side { Own, Other };

// Reads one station from the front of tokens and drops the tokens it used:
// a Maidenhead locator ("JO01", "fn20xr"), LAT LON in signed decimal degrees
// (north and east positive), or the eight entry fields, held to the window's
// entry limits. On a bad field returns false and sets error to a sentence
// naming the field and what is allowed; when tokens run out returns false
// and leaves error as it was.
bool readStation(std::span<const std::string_view>& tokens, Side side, Position& station, std::string& error);

enum class ReadResult {
    Ok,
    BadField,  // a field that is not allowed; error names it
    WrongCount,  // too few or too many fields for the stations
};

// Both stations of a pair, own first, using every token.
ReadResult readPair(std::span<const std::string_view> tokens, Position& own, Position& other, std::string& error);

// One station using every token, as an option's value gives it.
ReadResult readOneStation(std::span<const std::string_view> tokens, Side side, Position& station, std::string& error);

std::string wrongFieldCount(std::size_t found);

}  // namespace skybrant::cli
