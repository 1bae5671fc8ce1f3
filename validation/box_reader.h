#pragma once

#include <cstdint>
#include <string_view>

namespace skybrant::validation {

struct BoxReading {
    std::int32_t value = 0;
    // The number, once rounded, does not fit a 32-bit integer.
    bool outOfRange = false;
};

// Reads a coordinate box's text as a whole number: blanks, tabs and line
// feeds are skipped wherever they stand; then the longest leading number
// (optional sign, digits, optional '.' fraction, optional exponent) is taken,
// rounded to the nearest integer with ties to even. Text with no leading
// number reads as 0. Words such as "inf" or "nan" and hex forms are not
// numbers here, and the decimal point is a period in every locale.
// Linear in the length of the text.
// These rules are intended, odd as they look (a blank inside "4 5" is
// skipped, "12abc" is 12, "2.5" is 2): saved settings and pasted text have
// always been read this way, and the window's entry tests pin them.
BoxReading readBox(std::u16string_view text);

}  // namespace skybrant::validation
