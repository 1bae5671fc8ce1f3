#pragma once

#include "position.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace skybrant {

// The fields of a station as typed: the eight entry fields, a locator, or
// LAT LON in decimal degrees, each read to the window's rules and worded as
// an operator reads a refusal. The station reader puts them together with
// callsigns and written positions.

// LAD LAM LAS N|S LOD LOM LOS E|W.
inline constexpr std::size_t kEntryFields = 8;
// The most fields a pair of today's plain forms takes: two stations of eight.
inline constexpr std::size_t kMaxPairFields = 2 * kEntryFields;

// The forms a station may be written in, for messages.
inline constexpr std::string_view kStationForms =
    "a locator such as JO01, LAT LON in decimal degrees, a position such as 51 30 N 0 7 W, "
    "LAD LAM LAS N|S LOD LOM LOS E|W, or a callsign or prefix such as VK2ABC or @DL";

// What separates the fields of a line.
constexpr bool isFieldBlank(char c)
{
    // ' ', '\t', '\v', '\f' and '\r' as bits, all below 64.
    constexpr std::uint64_t kBlanks = std::uint64_t{1} << ' ' | std::uint64_t{1} << '\t' | std::uint64_t{1} << '\v' |
        std::uint64_t{1} << '\f' | std::uint64_t{1} << '\r';
    const auto byte = static_cast<unsigned char>(c);
    return byte <= ' ' && ((kBlanks >> byte) & 1) != 0;
}

enum class Side { Own, Other };

enum class ReadResult {
    Ok,
    BadField,  // a field that is not allowed; error names it
    WrongCount,  // too few or too many fields for the stations
};

// The eight entry fields from the front of tokens, held to the window's
// entry limits; drops them. False with a sentence naming the field.
bool readEntryStation(std::span<const std::string_view>& tokens, bool own, Position& station, std::string& error);

// LAT LON in signed decimal degrees from the front of tokens; drops them.
// False with a sentence when a value is no number or out of range, and
// false with error untouched when fewer than two tokens are left.
bool readDecimalPair(std::span<const std::string_view>& tokens, bool own, Position& station, std::string& error);

// A token that starts as a number does: a digit, a sign or a point.
bool looksNumeric(std::string_view token);

// A token shaped like a callsign (W1AW, DL/G4ABC) and not a number.
bool isCallsignToken(std::string_view token);

// The commonest lines, two entries of plain digits and hemisphere letters
// within every limit or two locators, read in one pass over the text; false
// for any other line, which the station reader then reads the same way and
// words any refusal.
bool readCommonPair(std::string_view line, Position& own, Position& other);

// One locator of more than two characters, the whole text, as the station
// reader reads it; false for any other text, which the reader then reads.
bool readCommonLocator(std::string_view text, Position& position);

std::string wrongFieldCount(std::size_t found);

}  // namespace skybrant
