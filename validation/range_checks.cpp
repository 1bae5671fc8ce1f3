#include "range_checks.h"

namespace skybrant::validation {

namespace {

constexpr std::u16string_view kCleared;
constexpr std::u16string_view kZeroes = u"00";

std::u16string_view ownRangeMessage(BoxRole role)
{
    switch (role.unit) {
    case Unit::Degrees:
        return role.axis == Axis::Latitude ? kLatitudeDegreesMessage : kLongitudeDegreesMessage;
    case Unit::Minutes:
        return kMinutesMessage;
    case Unit::Seconds:
        return kSecondsMessage;
    }
    return {};
}

std::int32_t ownRangeHighest(BoxRole role)
{
    return role.unit == Unit::Degrees ? maxDegrees(role.axis) : kMaxMinutesOrSeconds;
}

}  // namespace

std::optional<Violation> firstViolation(BoxRole role, BoxReading reading, std::int32_t degrees)
{
    if (!reading.outOfRange && passesChecks(role, reading.value, degrees)) {
        return std::nullopt;
    }
    const Violation ownRange{kCleared, ownRangeMessage(role), ownRangeHighest(role), false};
    const bool atLimit = role.unit != Unit::Degrees && degrees == maxDegrees(role.axis);
    if (reading.outOfRange) {
        return atLimit ? Violation{kCleared, ownRange.message, 0, true} : ownRange;
    }
    if (atLimit && reading.value > 0) {
        return Violation{
            kZeroes, role.axis == Axis::Latitude ? kLatitudeLimitMessage : kLongitudeLimitMessage, 0, true};
    }
    return ownRange;
}

}  // namespace skybrant::validation
