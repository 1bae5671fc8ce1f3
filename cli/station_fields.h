#pragma once

#include "callsign_stations.h"
#include "core/position.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace skybrant::cli {

// LAD LAM LAS N|S LOD LOM LOS E|W.
inline constexpr std::size_t kEntryFields = 8;
// The most fields a pair can take: two stations of eight.
inline constexpr std::size_t kMaxPairFields = 2 * kEntryFields;

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

// Both stations of a pair, own first, using every token.
ReadResult readPair(std::span<const std::string_view> tokens, Position& own, Position& other, std::string& error,
    Callsigns* callsigns = nullptr);

// One station using every token, as an option's value gives it.
ReadResult readOneStation(std::span<const std::string_view> tokens, Side side, Position& station, std::string& error,
    Callsigns* callsigns = nullptr);

// The commonest lines, two entries of plain digits and hemisphere letters
// within every limit or two locators, read in one pass over the text; false
// for any other line, which readPair then reads the same way and words any
// refusal.
bool readCommonPair(std::string_view line, Position& own, Position& other);

std::string wrongFieldCount(std::size_t found);

}  // namespace skybrant::cli
