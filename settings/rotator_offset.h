#pragma once

#include "own_station.h"

#include <optional>
#include <string>
#include <string_view>

namespace skybrant::settings {

// The mast offset the map window's rotator panel saves, read the same way
// by the window and, without Qt, by the command line.
inline constexpr IniKey kRotatorOffset{"Rotator", "Offset"};

// The offset a saved text stands for: a number of degrees within half a
// turn, kept to a tenth as rotctl::mastOffset keeps it; blank text is none
// saved, 0. Nothing for text that is no such number.
std::optional<double> offsetFromText(std::string_view text);

// The mast offset saved in the settings file at path.
struct SavedOffset {
    double offset = 0;  // 0 when none is saved
    // Why the saved offset is not known, naming the file; empty when it is.
    std::string why;
};
SavedOffset readSavedOffset(const std::string& path);

}  // namespace skybrant::settings
