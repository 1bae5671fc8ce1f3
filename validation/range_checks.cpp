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

}  // namespace

int checkCount(BoxRole role)
{
    return role.unit == Unit::Degrees ? 1 : 2;
}

std::optional<Violation> runCheck(BoxRole role, int index, std::int32_t value, std::int32_t degrees)
{
    if (role.unit == Unit::Degrees) {
        if (index == 0 && degreesTooLarge(role.axis, value)) {
            return Violation{kCleared, ownRangeMessage(role)};
        }
        return std::nullopt;
    }
    if (index == 0 && pastTheLimit(role.axis, degrees, value)) {
        return Violation{kZeroes, role.axis == Axis::Latitude ? kLatitudeLimitMessage : kLongitudeLimitMessage};
    }
    if (index == 1 && minutesOrSecondsTooLarge(value)) {
        return Violation{kCleared, ownRangeMessage(role)};
    }
    return std::nullopt;
}

Violation outOfRangeViolation(BoxRole role)
{
    return {kCleared, ownRangeMessage(role)};
}

}  // namespace skybrant::validation
