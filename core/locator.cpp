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

// The square a locator names, counted from the south-west corner, and
// whether every character is allowed. Every character is checked before any
// is refused, which spares the usual, well-formed locator a branch for
// each; until then the counts may wrap, so they are unsigned.
struct Square {
    std::uint32_t column = 0;
    std::uint32_t row = 0;
    bool allowed = true;
};

// Pair K of the text added to the square counted so far.
template <std::size_t K>
void countLevel(const char* text, Square& square)
{
    constexpr Level level = kLevels[K];
    // Letters of either case folded to lower case without a branch; no other
    // byte folds into the letters.
    constexpr char fold = level.first == 'A' ? 0x20 : 0;
    constexpr char first = static_cast<char>(level.first | fold);
    constexpr auto count = static_cast<unsigned>(level.count);
    const auto lonIndex = static_cast<unsigned>(static_cast<char>(text[2 * K] | fold) - first);
    const auto latIndex = static_cast<unsigned>(static_cast<char>(text[2 * K + 1] | fold) - first);
    square.allowed &= lonIndex < count && latIndex < count;
    square.column = square.column * count + lonIndex;
    square.row = square.row * count + latIndex;
}

template <std::size_t... K>
Square countSquares(const char* text, std::index_sequence<K...> /*levels*/)
{
    Square square;
    (countLevel<K>(text, square), ...);
    return square;
}

// The square of a locator of Pairs pairs.
template <std::size_t Pairs>
Square squareOf(const char* text)
{
    return countSquares(text, std::make_index_sequence<Pairs>());
}

// squareOf for 1 to 5 pairs, at index pairs - 1.
template <std::size_t... P>
constexpr std::array<Square (*)(const char*), sizeof...(P)> squareReaders(std::index_sequence<P...> /*pairs*/)
{
    return {&squareOf<P + 1>...};
}
constexpr auto kSquareReaders = squareReaders(std::make_index_sequence<kLevels.size()>());

}  // namespace

bool parseLocator(std::string_view text, Position& centre, std::string& error)
{
    const std::size_t pairs = text.size() / 2;
    if (text.size() < kMinLocatorLength || text.size() > kMaxLocatorLength || text.size() % 2 != 0) {
        return refuseLocator(text, error);
    }
    // Six characters, the commonest length, without the call through the
    // table.
    const Square square = pairs == 3 ? squareOf<3>(text.data()) : kSquareReaders[pairs - 1](text.data());
    if (!square.allowed) {
        return refuseLocator(text, error);
    }
    if (pairs == 3) {
        centre = squareCentre(square.column, square.row);
    } else {
        const std::int64_t width = kLonSizes[pairs - 1];
        const std::int64_t height = kLatSizes[pairs - 1];
        centre = positionFromUnits(std::int64_t{square.row} * height - 90 * kUnitsPerDegree + height / 2,
            std::int64_t{square.column} * width - 180 * kUnitsPerDegree + width / 2);
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
