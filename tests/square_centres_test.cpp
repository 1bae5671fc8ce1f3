// Six-character locator squares read from tables: the same bits as working
// each one out.

#include "core/angles.h"
#include "core/locator.h"
#include "core/number_text.h"
#include "core/square_centres.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>
#include <string>

namespace skybrant {
namespace {

// The locator of the square in that column and row.
std::string sixCharacters(std::size_t column, std::size_t row)
{
    return {static_cast<char>('A' + column / 240), static_cast<char>('A' + row / 240),
        static_cast<char>('0' + column / 24 % 10), static_cast<char>('0' + row / 24 % 10),
        static_cast<char>('a' + column % 24), static_cast<char>('a' + row % 24)};
}

bool sameBits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

TEST(SquareCentres, EverySquareIsWhereTheGridPutsIt)
{
    // Every column on one row and every row on one column, through the
    // parser as a batch reads them.
    for (std::size_t i = 0; i < kSquareColumns; ++i) {
        for (const auto& [column, row] : {std::pair{i, std::size_t{2011}}, std::pair{std::size_t{777}, i}}) {
            const std::string text = sixCharacters(column, row);
            Position p;
            std::string error;
            ASSERT_TRUE(parseLocator(text, p, error)) << text << ": " << error;
            const Position expected = positionFromUnits(
                static_cast<std::int64_t>(row) * kSquareHeight + kSquareHeight / 2 - 90 * kUnitsPerDegree,
                static_cast<std::int64_t>(column) * kSquareWidth + kSquareWidth / 2 - 180 * kUnitsPerDegree);
            ASSERT_TRUE(sameBits(p.latDegrees, expected.latDegrees) && sameBits(p.lonDegrees, expected.lonDegrees))
                << text;
            ASSERT_EQ(p.latUnits, expected.latUnits) << text;
            ASSERT_EQ(p.lonUnits, expected.lonUnits) << text;
        }
    }
}

// Places on each row: its middle from the locator, and the same place typed
// as degrees, minutes and seconds (75" and every 150" from it), whose
// degrees may differ in the last bit; and places just off the middles.
struct Place {
    const char* name;
    Position (*at)(std::size_t row);
};
const Place kPlaces[] = {
    {"locator", [](std::size_t row) { return squareCentre(row, row); }},
    {"entry",
        [](std::size_t row) {
            const std::int64_t seconds = static_cast<std::int64_t>(row) * 150 + 75 - std::int64_t{90} * 3600;
            const auto magnitude = static_cast<std::int32_t>(seconds < 0 ? -seconds : seconds);
            const auto lon = static_cast<std::int32_t>(row * 300 + 150);
            return positionFromAngles({magnitude / 3600, magnitude / 60 % 60, magnitude % 60, seconds < 0},
                {lon / 3600, lon / 60 % 60, lon % 60, true});
        }},
    {"degrees",
        [](std::size_t row) {
            const Position p = squareCentre(row, row);
            return positionFromDegrees(p.latDegrees, p.lonDegrees);
        }},
    {"beside the middle",
        [](std::size_t row) {
            const Position p = squareCentre(row, row);
            return positionFromUnits(p.latUnits + 1, p.lonUnits - 1);
        }},
    {"far side of a pole", [](std::size_t row) { return positionFromDegrees(180 + static_cast<double>(row) / 24, 5); }},
};

TEST(SquareCentres, LatitudeSinesAndCosinesAreThoseOfTheDegreesGiven)
{
    for (const Place& place : kPlaces) {
        SCOPED_TRACE(place.name);
        for (std::size_t row = 0; row < kSquareRows; ++row) {
            const Position p = place.at(row);
            const LatitudeTrig expected = latitudeTrig(toRadians(p.latDegrees));
            const LatitudeTrig got = latitudeTrigOf(p);
            ASSERT_TRUE(sameBits(got.sin, expected.sin) && sameBits(got.cos, expected.cos)) << "row " << row;
        }
    }
}

TEST(SquareCentres, DegreesAreWrittenAsEveryNumberIs)
{
    // Twice each: the first writes the text, the second may copy it.
    char text[kNumberTextCapacity];
    for (int round = 0; round < 2; ++round) {
        for (const Place& place : kPlaces) {
            SCOPED_TRACE(place.name);
            for (std::size_t row = 0; row < kSquareRows; ++row) {
                const Position p = place.at(row);
                ASSERT_EQ(
                    std::string(text, writeLatitudeText(text, p.latUnits, p.latDegrees)), numberText(p.latDegrees))
                    << "row " << row;
                ASSERT_EQ(
                    std::string(text, writeLongitudeText(text, p.lonUnits, p.lonDegrees)), numberText(p.lonDegrees))
                    << "column " << row;
            }
        }
    }
}

TEST(SquareCentres, LocatorPairsSolveAsTheirRadiansDo)
{
    std::mt19937 random(14);
    std::uniform_int_distribution<std::size_t> square(0, kSquareColumns - 1);
    for (int i = 0; i < 20000; ++i) {
        const Position a = squareCentre(square(random), square(random));
        const Position b = squareCentre(square(random), square(random));
        const GreatCircleResult got = solvePositions(a, b);
        const GreatCircleResult expected = solveGreatCircle(
            toRadians(a.latDegrees), toRadians(a.lonDegrees), toRadians(b.latDegrees), toRadians(b.lonDegrees));
        ASSERT_TRUE(sameBits(got.centralAngle, expected.centralAngle) &&
            sameBits(got.headingOwnToOther, expected.headingOwnToOther) &&
            sameBits(got.headingOtherToOwn, expected.headingOtherToOwn))
            << a.latDegrees << " " << a.lonDegrees << " to " << b.latDegrees << " " << b.lonDegrees;
    }
}

}  // namespace
}  // namespace skybrant
