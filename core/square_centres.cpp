#include "square_centres.h"

#include "angles.h"

#include <array>

namespace skybrant {

namespace {

constexpr std::int64_t kQuarterTurn = 90 * kUnitsPerDegree;
constexpr std::int64_t kHalfTurn = 180 * kUnitsPerDegree;

struct Row {
    std::int64_t units = 0;
    double degrees = 0;
    LatitudeTrig trig;
};

struct Column {
    std::int64_t units = 0;
    double degrees = 0;
};

struct Squares {
    std::array<Row, kSquareRows> rows{};
    std::array<Column, kSquareColumns> columns{};
};

// Kept out of squares(), which every locator calls: only the check that the
// table is there stays on that path.
[[gnu::noinline]] Squares buildSquares()
{
    Squares t;
    for (std::size_t i = 0; i < kSquareRows; ++i) {
        Row& row = t.rows[i];
        row.units = static_cast<std::int64_t>(i) * kSquareHeight + kSquareHeight / 2 - kQuarterTurn;
        row.degrees = positionFromUnits(row.units, 0).latDegrees;
        row.trig = latitudeTrig(toRadians(row.degrees));
    }
    for (std::size_t i = 0; i < kSquareColumns; ++i) {
        Column& column = t.columns[i];
        column.units = static_cast<std::int64_t>(i) * kSquareWidth + kSquareWidth / 2 - kHalfTurn;
        column.degrees = positionFromUnits(0, column.units).lonDegrees;
    }
    return t;
}

const Squares& squares()
{
    static const Squares table = buildSquares();
    return table;
}

}  // namespace

Position squareCentre(std::size_t column, std::size_t row)
{
    const Squares& t = squares();
    const Row& r = t.rows[row];
    const Column& c = t.columns[column];
    return {r.degrees, c.degrees, r.units, c.units};
}

LatitudeTrig latitudeTrigOf(const Position& position)
{
    const std::int64_t fromSouth = position.latUnits + kQuarterTurn - kSquareHeight / 2;
    if (fromSouth >= 0 && fromSouth % kSquareHeight == 0 &&
        fromSouth / kSquareHeight < static_cast<std::int64_t>(kSquareRows)) {
        const Row& row = squares().rows[static_cast<std::size_t>(fromSouth / kSquareHeight)];
        // The same degrees give the same sine and cosine; degrees summed
        // from an entry's minutes and seconds may differ in the last bit.
        if (row.degrees == position.latDegrees) {
            return row.trig;
        }
    }
    return latitudeTrig(toRadians(position.latDegrees));
}

}  // namespace skybrant
