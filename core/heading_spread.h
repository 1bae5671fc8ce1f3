#pragma once

#include "position.h"

#include <optional>
#include <string_view>

namespace skybrant {

// The headings from the own station that reach some part of a locator's
// square: clockwise from first to last. A 4-character square seen from
// close by spans a wide arc (JO02 from JO01mm: 307 to 51), from far away a
// narrow one (FN42 from JO01mm: 288 to 290).
struct HeadingSpread {
    double first = 0;
    double last = 0;
};

// The spread over the square's edges; nothing when the locator is not one,
// or when the own station stands within the square or at its antipode (every
// heading reaches it).
std::optional<HeadingSpread> squareHeadingSpread(const Position& own, std::string_view locator);

}  // namespace skybrant
