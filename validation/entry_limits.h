#pragma once

#include <cstdint>

namespace skybrant::validation {

// The bounds every coordinate entry is held to. There is no lower bound:
// zero and negative values are accepted as they are.
enum class Axis { Latitude, Longitude };

inline constexpr std::int32_t kMaxMinutesOrSeconds = 60;

constexpr std::int32_t maxDegrees(Axis axis)
{
    return axis == Axis::Latitude ? 90 : 180;
}

constexpr bool degreesTooLarge(Axis axis, std::int32_t degrees)
{
    return degrees > maxDegrees(axis);
}

// At 90 degrees latitude (180 longitude) no minutes or seconds may be added.
constexpr bool pastTheLimit(Axis axis, std::int32_t degrees, std::int32_t minutesOrSeconds)
{
    return degrees == maxDegrees(axis) && minutesOrSeconds > 0;
}

constexpr bool minutesOrSecondsTooLarge(std::int32_t minutesOrSeconds)
{
    return minutesOrSeconds > kMaxMinutesOrSeconds;
}

}  // namespace skybrant::validation
