#include "locator.h"

#include "square_centres.h"
#include "utf8.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace skybrant {

namespace {

constexpr std::size_t kMinLocatorLength = 2;

struct Level {
    char first;  // lowest allowed character
    int count;  // characters allowed at this level
    const char* allowed;  // for messages
};

// Each level splits a square of the one above into count × count squares.
constexpr std::array<Level, kMaxLocatorLength / 2> kLevels{{
    {'A', 18, "a letter A to R"},
    {'0', 10, "a digit 0 to 9"},
    {'A', 24, "a letter A to X"},
    {'0', 10, "a digit 0 to 9"},
    {'A', 24, "a letter A to X"},
}};

// Size of a square in grid units, longitude and latitude, at each level:
// a field is 20 by 10 degrees.
constexpr std::array<std::int64_t, kLevels.size()> squareSizes(std::int64_t whole)
{
    std::array<std::int64_t, kLevels.size()> sizes{};
    std::int64_t size = whole;
    for (std::size_t i = 0; i < kLevels.size(); ++i) {
        size /= kLevels[i].count;
        sizes[i] = size;
    }
    return sizes;
}

constexpr auto kLonSizes = squareSizes(360 * kUnitsPerDegree);
constexpr auto kLatSizes = squareSizes(180 * kUnitsPerDegree);
static_assert(kLonSizes.back() * kLevels.back().count * 10 * 24 * 10 * 18 == 360 * kUnitsPerDegree);
static_assert(kLonSizes.back() % 2 == 0 && kLatSizes.back() % 2 == 0, "square centres must lie on the grid");
static_assert(kLonSizes[2] == kSquareWidth && kLatSizes[2] == kSquareHeight);

char upper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// The whole character at byte i, or the one byte there when it opens none.
std::string_view characterAt(std::string_view text, std::size_t i)
{
    const std::size_t length = utf8Length(text.substr(i));
    return text.substr(i, length == 0 ? 1 : length);
}

}  // namespace

namespace {

// Names the first character that is not allowed, or else the length.
bool refuseLocator(std::string_view text, std::string& error)
{
    for (std::size_t i = 0; i < text.size() && i < kMaxLocatorLength; ++i) {
        const Level& level = kLevels[i / 2];
        const int index = upper(text[i]) - level.first;
        if (index < 0 || index >= level.count) {
            error = "locator " + quote(text) + ": character " + std::to_string(characterCount(text.substr(0, i)) + 1) +
                ", " + quote(characterAt(text, i)) + ", is not allowed; allowed there: " + level.allowed;
            return false;
        }
    }
    const std::size_t n = characterCount(text);
    error = "locator " + quote(text) + " has " + std::to_string(n) + (n == 1 ? " character" : " characters") +
        "; a locator has 2, 4, 6, 8 or 10";
    return false;
}

// One level of a locator, pair k of the text, added to the column and row
// counted so far.
template <std::size_t K>
void countLevel(std::string_view text, std::uint64_t& column, std::uint64_t& row, bool& allowed)
{
    constexpr Level level = kLevels[K];
    // Letters of either case folded to lower case without a branch; no other
    // byte folds into the letters.
    constexpr char fold = level.first == 'A' ? 0x20 : 0;
    constexpr char first = static_cast<char>(level.first | fold);
    constexpr auto count = static_cast<unsigned>(level.count);
    const auto lonIndex = static_cast<unsigned>(static_cast<char>(text[2 * K] | fold) - first);
    const auto latIndex = static_cast<unsigned>(static_cast<char>(text[2 * K + 1] | fold) - first);
    allowed &= lonIndex < count && latIndex < count;
    column = column * count + lonIndex;
    row = row * count + latIndex;
}

// The column and row of the square a locator of as many pairs as K holds
// names, counted from the south-west corner; false if a character is not
// allowed. Every character is checked before any is refused, which spares
// the usual, well-formed locator a branch for each; until then the counts
// may wrap, so they are unsigned.
template <std::size_t... K>
bool countSquares(
    std::string_view text, std::uint64_t& column, std::uint64_t& row, std::index_sequence<K...> /*levels*/)
{
    bool allowed = true;
    (countLevel<K>(text, column, row, allowed), ...);
    return allowed;
}

}  // namespace

bool parseLocator(std::string_view text, Position& centre, std::string& error)
{
    const std::size_t pairs = text.size() / 2;
    if (text.size() < kMinLocatorLength || text.size() > kMaxLocatorLength || text.size() % 2 != 0) {
        return refuseLocator(text, error);
    }
    std::uint64_t column = 0;
    std::uint64_t row = 0;
    bool allowed = false;
    switch (pairs) {
    case 1:
        allowed = countSquares(text, column, row, std::make_index_sequence<1>());
        break;
    case 2:
        allowed = countSquares(text, column, row, std::make_index_sequence<2>());
        break;
    case 3:
        allowed = countSquares(text, column, row, std::make_index_sequence<3>());
        break;
    case 4:
        allowed = countSquares(text, column, row, std::make_index_sequence<4>());
        break;
    default:
        allowed = countSquares(text, column, row, std::make_index_sequence<kLevels.size()>());
        break;
    }
    if (!allowed) {
        return refuseLocator(text, error);
    }
    if (pairs == 3) {
        centre = squareCentre(column, row);
    } else {
        const std::int64_t width = kLonSizes[pairs - 1];
        const std::int64_t height = kLatSizes[pairs - 1];
        centre = positionFromUnits(static_cast<std::int64_t>(row) * height - 90 * kUnitsPerDegree + height / 2,
            static_cast<std::int64_t>(column) * width - 180 * kUnitsPerDegree + width / 2);
    }
    return true;
}

std::string locatorOf(const Position& position, std::size_t length)
{
    GridPoint p = gridPoint(position);
    // At a pole the square is the one on the meridian the station was given
    // on, the longitude every other figure shows beside it.
    if (p.lat == 90 * kUnitsPerDegree || p.lat == -90 * kUnitsPerDegree) {
        p.lon = gridPoint(positionFromUnits(0, position.lonUnits)).lon;
    }
    // From the south-west corner of the grid; the north pole joins the top row.
    std::int64_t lon = p.lon + 180 * kUnitsPerDegree;
    std::int64_t lat = std::min(p.lat + 90 * kUnitsPerDegree, 180 * kUnitsPerDegree - 1);
    std::string text;
    for (std::size_t i = 0; i < length && i < kMaxLocatorLength; ++i) {
        const Level& level = kLevels[i / 2];
        std::int64_t& rest = i % 2 == 0 ? lon : lat;
        const std::int64_t size = i % 2 == 0 ? kLonSizes[i / 2] : kLatSizes[i / 2];
        const auto index = static_cast<char>(rest / size);
        rest %= size;
        const char c = static_cast<char>(level.first + index);
        text += (i >= 4 && level.first == 'A') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return text;
}

}  // namespace skybrant
