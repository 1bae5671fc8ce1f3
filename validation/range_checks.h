#pragma once

#include "entry_limits.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace skybrant::validation {

inline constexpr std::u16string_view kLatitudeDegreesMessage = u" Latitude is always less than 90 degrees";
inline constexpr std::u16string_view kLongitudeDegreesMessage = u" Longitude is always less than 180 degrees";
inline constexpr std::u16string_view kLatitudeLimitMessage = u"Latitude is not greater than 90 ";
inline constexpr std::u16string_view kLongitudeLimitMessage = u"Longtude is not greater than 180 ";
inline constexpr std::u16string_view kMinutesMessage = u"Number of minites less than 60";
inline constexpr std::u16string_view kSecondsMessage = u"Number of seconds less than 60";

enum class Unit { Degrees, Minutes, Seconds };

// Which quantity a coordinate box holds.
struct BoxRole {
    Axis axis;
    Unit unit;
};

// What a check that fires does: replace the box's text, then show the message.
struct Violation {
    std::u16string_view resetText;
    std::u16string_view message;
};

// A degrees box has one check, a minutes or seconds box two. The window runs
// them in order, reading the stored value afresh before each, since the reset
// of an earlier check has already stored 0 again.
int checkCount(BoxRole role);

// Check number index (0-based) of a box, against its stored value and, for
// minutes and seconds, the stored degrees of the same station and coordinate.
std::optional<Violation> runCheck(BoxRole role, int index, std::int32_t value, std::int32_t degrees);

// For a text whose number does not fit a 32-bit integer: the box is cleared
// and shows its own range message.
Violation outOfRangeViolation(BoxRole role);

}  // namespace skybrant::validation
