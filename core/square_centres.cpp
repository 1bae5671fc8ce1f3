#include "square_centres.h"

#include "angles.h"
#include "number_text.h"

#include <array>
#include <atomic>
#include <cstring>

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

namespace {

// The row or column whose middle is at these units and degrees, or -1.
// Degrees summed from an entry's minutes and seconds may differ from the
// middle's in the last bit, and then are not it.
template <typename Line, std::size_t N>
std::ptrdiff_t lineOf(
    const std::array<Line, N>& lines, std::int64_t units, double degrees, std::int64_t start, std::int64_t size)
{
    const std::int64_t fromStart = units - start;
    if (fromStart < 0 || fromStart % size != 0 || fromStart / size >= static_cast<std::int64_t>(N)) {
        return -1;
    }
    const auto i = static_cast<std::size_t>(fromStart / size);
    return lines[i].degrees == degrees ? static_cast<std::ptrdiff_t>(i) : -1;
}

std::ptrdiff_t rowOf(std::int64_t units, double degrees)
{
    return lineOf(squares().rows, units, degrees, kSquareHeight / 2 - kQuarterTurn, kSquareHeight);
}

std::ptrdiff_t columnOf(std::int64_t units, double degrees)
{
    return lineOf(squares().columns, units, degrees, kSquareWidth / 2 - kHalfTurn, kSquareWidth);
}

// The text of a middle's degrees, written when first asked for. One thread
// claims an empty slot and fills it; any other meanwhile writes the text
// itself.
struct DegreesText {
    enum : std::uint8_t { kEmpty, kFilling, kReady };
    std::atomic<std::uint8_t> state{kEmpty};
    std::uint8_t size = 0;
    std::array<char, 30> bytes{};
};

std::array<DegreesText, kSquareRows> rowTexts;  // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)
std::array<DegreesText, kSquareColumns> columnTexts;  // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)

char* writeDegrees(char* out, double degrees, DegreesText* slot)
{
    if (slot != nullptr && slot->state.load(std::memory_order_acquire) == DegreesText::kReady) {
        std::memcpy(out, slot->bytes.data(), slot->size);
        return out + slot->size;
    }
    char* const end = writeNumberText(out, degrees);
    const auto size = static_cast<std::size_t>(end - out);
    std::uint8_t expected = DegreesText::kEmpty;
    if (slot != nullptr && size <= slot->bytes.size() &&
        slot->state.compare_exchange_strong(expected, DegreesText::kFilling, std::memory_order_acquire)) {
        std::memcpy(slot->bytes.data(), out, size);
        slot->size = static_cast<std::uint8_t>(size);
        slot->state.store(DegreesText::kReady, std::memory_order_release);
    }
    return end;
}

}  // namespace

LatitudeTrig latitudeTrigOf(const Position& position)
{
    const std::ptrdiff_t row = rowOf(position.latUnits, position.latDegrees);
    if (row >= 0) {
        return squares().rows[static_cast<std::size_t>(row)].trig;
    }
    return latitudeTrig(toRadians(position.latDegrees));
}

char* writeLatitudeText(char* out, std::int64_t latUnits, double latDegrees)
{
    const std::ptrdiff_t row = rowOf(latUnits, latDegrees);
    return writeDegrees(out, latDegrees, row >= 0 ? &rowTexts[static_cast<std::size_t>(row)] : nullptr);
}

char* writeLongitudeText(char* out, std::int64_t lonUnits, double lonDegrees)
{
    const std::ptrdiff_t column = columnOf(lonUnits, lonDegrees);
    return writeDegrees(out, lonDegrees, column >= 0 ? &columnTexts[static_cast<std::size_t>(column)] : nullptr);
}

}  // namespace skybrant
