#include "locator.h"

#include "utf8.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace skybrant {

namespace {

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

char upper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// The character at i as the user sees it: a whole UTF-8 sequence, the
// byte in \x form when it is not one or is a control, and " and \ behind a
// backslash.
std::string characterAt(std::string_view text, std::size_t i)
{
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = utf8Length(text.substr(i));
    if (length == 0 || lead < 0x20 || lead == 0x7F) {
        constexpr std::string_view kHex = "0123456789ABCDEF";
        return std::string{'\\', 'x', kHex[lead >> 4], kHex[lead & 0xF]};
    }
    if (lead == '"' || lead == '\\') {
        return std::string{'\\', static_cast<char>(lead)};
    }
    return std::string(text.substr(i, length));
}

std::string quoted(std::string_view text)
{
    std::string q;
    q += '"';
    for (std::size_t i = 0; i < text.size(); i += std::max<std::size_t>(utf8Length(text.substr(i)), 1)) {
        q += characterAt(text, i);
    }
    q += '"';
    return q;
}

// Number of characters (not bytes) before byte i, counting from 1.
std::size_t placeOf(std::string_view text, std::size_t i)
{
    std::size_t place = 1;
    for (std::size_t k = 0; k < i; ++k) {
        if ((static_cast<unsigned char>(text[k]) & 0xC0) != 0x80) {
            ++place;
        }
    }
    return place;
}

}  // namespace

bool parseLocator(std::string_view text, Position& centre, std::string& error)
{
    std::int64_t lon = -180 * kUnitsPerDegree;
    std::int64_t lat = -90 * kUnitsPerDegree;
    std::size_t i = 0;
    for (; i < text.size() && i < kMaxLocatorLength; ++i) {
        const Level& level = kLevels[i / 2];
        const int index = upper(text[i]) - level.first;
        if (index < 0 || index >= level.count) {
            error = "locator " + quoted(text) + ": character " + std::to_string(placeOf(text, i)) + ", " + "\"" +
                characterAt(text, i) + "\", is not allowed; allowed there: " + level.allowed;
            return false;
        }
        if (i % 2 == 0) {
            lon += index * kLonSizes[i / 2];
        } else {
            lat += index * kLatSizes[i / 2];
        }
    }
    if (text.size() < kMinLocatorLength || text.size() > kMaxLocatorLength || text.size() % 2 != 0) {
        const std::size_t n = placeOf(text, text.size()) - 1;
        error = "locator " + quoted(text) + " has " + std::to_string(n) + (n == 1 ? " character" : " characters") +
            "; a locator has 2, 4, 6, 8 or 10";
        return false;
    }
    const std::size_t last = text.size() / 2 - 1;
    centre = positionFromUnits(lat + kLatSizes[last] / 2, lon + kLonSizes[last] / 2);
    return true;
}

std::string locatorOf(const Position& position, std::size_t length)
{
    const GridPoint p = gridPoint(position);
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
