#pragma once

#include "box_reader.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace skybrant::validation {

// The messages keep the texts operators have always seen, blanks and
// spelling included ("minites", "Longtude", the leading and trailing blanks):
// they are part of the window's look, and the window tests compare them
// byte for byte.
inline constexpr std::u16string_view kLatitudeDegreesMessage = u" Latitude is always less than 90 degrees";
inline constexpr std::u16string_view kLongitudeDegreesMessage = u" Longitude is always less than 180 degrees";
inline constexpr std::u16string_view kLatitudeLimitMessage = u"Latitude is not greater than 90 ";
inline constexpr std::u16string_view kLongitudeLimitMessage = u"Longtude is not greater than 180 ";
inline constexpr std::u16string_view kMinutesMessage = u"Number of minites less than 60";
inline constexpr std::u16string_view kSecondsMessage = u"Number of seconds less than 60";

// The bounds every coordinate entry is held to. They accept their own value
// (90, 180, 60: "less than 60" in the message notwithstanding), and there is
// no lower bound: zero and negative values pass as they are.
enum class Axis { Latitude, Longitude };
enum class Unit { Degrees, Minutes, Seconds };

inline constexpr std::int32_t kMaxMinutesOrSeconds = 60;

constexpr std::int32_t maxDegrees(Axis axis)
{
    return axis == Axis::Latitude ? 90 : 180;
}

// Which quantity a coordinate box or command-line field holds.
struct BoxRole {
    Axis axis;
    Unit unit;
};

// What a check that fires does: replace the box's text, then show the
// message. highest is the most the box takes beside the degrees it was
// checked against (0 at 90 latitude or 180 longitude degrees), so that the
// command line can say what is allowed in its own words.
struct Violation {
    std::u16string_view resetText;
    std::u16string_view message;
    std::int32_t highest = 0;
    bool atDegreesLimit = false;  // refused only because the degrees are at their limit
};

// The first check the reading breaks, or nothing. A degrees box is checked
// against its limit. A minutes or seconds box is checked first against the
// degrees of the same station and coordinate (nothing may be added to 90
// latitude or 180 longitude degrees, reset to "00"), then against 60.
// The first violation wins: in the window its reset stores 0, which passes
// every later check, so one change shows at most one message.
// A number beyond 32 bits breaks the box's own range check.
std::optional<Violation> firstViolation(BoxRole role, BoxReading reading, std::int32_t degrees);

// Whether a whole number within 32 bits passes every check firstViolation
// makes; the quick answer for the many readings that do.
constexpr bool passesChecks(BoxRole role, std::int32_t value, std::int32_t degrees)
{
    if (role.unit == Unit::Degrees) {
        return value <= maxDegrees(role.axis);
    }
    // Nothing may be added to the degrees at their limit.
    return value <= (degrees == maxDegrees(role.axis) ? 0 : kMaxMinutesOrSeconds);
}

}  // namespace skybrant::validation
