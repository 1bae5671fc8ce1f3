#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace skybrant {

// The most bytes numberText gives with a separator of up to
// kMaxSeparatorBytes bytes (a tiny or huge double written out in full).
inline constexpr std::size_t kMaxSeparatorBytes = 8;
inline constexpr std::size_t kNumberTextCapacity = 360 + kMaxSeparatorBytes;

// The way results are shown: the shortest decimal text that reads back as the
// same double, at most 15 significant digits, never an exponent, no trailing
// zeros and no separator for a whole number ("5539.2", "288", "100").
// NaN and infinities, which results never hold, give an empty text.
// At most kNumberTextCapacity bytes; a separator longer than
// kMaxSeparatorBytes is cut to that length.
std::string numberText(double value, std::string_view decimalSeparator = ".");
// The same text written at out (at most kNumberTextCapacity bytes); returns
// its end.
char* writeNumberText(char* out, double value, std::string_view decimalSeparator = ".");

// numberText(tenths / 10) for a whole number of tenths, as every rounded
// figure is, written straight from the integer.
std::string tenthsText(double tenths, std::string_view decimalSeparator = ".");
void appendTenthsText(std::string& out, double tenths, std::string_view decimalSeparator = ".");
// The same text written at out (at most kNumberTextCapacity bytes); returns
// its end.
char* writeTenthsText(char* out, double tenths, std::string_view decimalSeparator = ".");

// The same text appended to out.
void appendNumberText(std::string& out, double value, std::string_view decimalSeparator = ".");

// The same text by the general route alone (shortest digits, then at most
// 15), which numberText shortens for rounded figures and most other values;
// kept so that the two can be compared.
std::string numberTextGeneral(double value, std::string_view decimalSeparator = ".");

}  // namespace skybrant
