#pragma once

#include "position.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace skybrant {

// Maidenhead locators: field (two letters A-R), square (two digits),
// subsquare (two letters A-X), extended square (two digits), extended
// subsquare (two letters A-X). Longitude comes first in each pair.
inline constexpr std::size_t kMaxLocatorLength = 10;

// Reads a locator of 2, 4, 6, 8 or 10 characters in either case. On success
// centre is the middle of the square it names. On failure returns false and
// sets error to a sentence naming the bad character, its place and what is
// allowed there, or what is wrong with the length.
bool parseLocator(std::string_view text, Position& centre, std::string& error);

// The locator of length 2 to 10 (even) of the square holding the position,
// letters of the field in capitals and of the subsquares in small letters
// ("JO01mm"). Squares include their south and west edges; the north pole
// belongs to the top row and 180 degrees east to the first column. At a pole
// the longitude given picks the column.
std::string locatorOf(const Position& position, std::size_t length);

}  // namespace skybrant
