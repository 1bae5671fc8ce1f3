#pragma once

#include <string_view>

namespace skybrant::validation {

inline constexpr std::u16string_view kTypeOnlyNumbers = u"Type only Numbers";

inline constexpr char16_t kBackspace = 8;

// A coordinate box takes the ten digits and backspace; anything else typed
// is dropped with kTypeOnlyNumbers.
constexpr bool coordinateKeyAccepted(char16_t code)
{
    return code == kBackspace || (code >= u'0' && code <= u'9');
}

// A hemisphere box takes no typed character at all, silently: its text
// changes only by picking from its list.
constexpr bool hemisphereKeyAccepted(char16_t /*code*/)
{
    return false;
}

}  // namespace skybrant::validation
