#include "heading_spread.h"

#include "great_circle.h"
#include "locator.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace skybrant {

namespace {

// Degrees of longitude and latitude of a square, by the locator's pairs.
constexpr std::array<double, 5> kWidths{20, 2, 2.0 / 24, 2.0 / 240, 2.0 / 5760};
constexpr std::array<double, 5> kHeights{10, 1, 1.0 / 24, 1.0 / 240, 1.0 / 5760};
// Points along each edge: a heading between two of them is off by far
// less than the whole degree shown.
constexpr int kEdgePoints = 256;

}  // namespace

std::optional<HeadingSpread> squareHeadingSpread(const Position& own, std::string_view locator)
{
    Position centre;
    std::string error;
    if (!parseLocator(locator, centre, error)) {
        return std::nullopt;
    }
    const std::size_t level = locator.size() / 2 - 1;
    const double west = centre.lonDegrees - kWidths.at(level) / 2;
    const double south = centre.latDegrees - kHeights.at(level) / 2;
    const double width = kWidths.at(level);
    const double height = kHeights.at(level);
    const Position home = onTheGlobe(own);
    if (home.latDegrees >= south && home.latDegrees <= south + height && home.lonDegrees >= west &&
        home.lonDegrees <= west + width) {
        return std::nullopt;
    }
    std::vector<double> headings;
    headings.reserve(std::size_t{4} * kEdgePoints);
    for (int i = 0; i < kEdgePoints; ++i) {
        const double t = static_cast<double>(i) / kEdgePoints;
        const std::array<std::pair<double, double>, 4> points{{
            {south, west + t * width},
            {south + t * height, west + width},
            {south + height, west + width - t * width},
            {south + height - t * height, west},
        }};
        for (const auto& point : points) {
            const GreatCircleResult result = solvePositions(home, positionFromDegrees(point.first, point.second));
            if (!result.hasHeadings()) {
                return std::nullopt;
            }
            headings.push_back(result.headingOwnToOther);
        }
    }
    // The square lies within the arc left when the widest gap between
    // neighbouring headings is taken out of the circle.
    std::ranges::sort(headings);
    double widest = headings.front() + 360 - headings.back();
    HeadingSpread spread{headings.front(), headings.back()};
    for (std::size_t i = 1; i < headings.size(); ++i) {
        const double gap = headings[i] - headings[i - 1];
        if (gap > widest) {
            widest = gap;
            spread = {headings[i], headings[i - 1]};
        }
    }
    return spread;
}

}  // namespace skybrant
