#pragma once

#include "core/position.h"
#include "core/station.h"

#include <array>
#include <optional>
#include <string>

namespace skybrant::settings {

// A value's place in the settings file.
struct IniKey {
    const char* section = nullptr;
    const char* key = nullptr;
};

// The application whose file holds the own station: Skybrant.ini.
inline constexpr const char* kOwnStationApplication = "Skybrant";

// The own station as the window saves it, one key per box, in the order of
// its boxes: latitude degrees, minutes, seconds and hemisphere, then the
// same for longitude.
inline constexpr IniKey kOwnLatitudeDegrees{"Latitude", "Degree"};
inline constexpr IniKey kOwnLatitudeMinutes{"Latitude", "Minute"};
inline constexpr IniKey kOwnLatitudeSeconds{"Latitude", "Second"};
inline constexpr IniKey kOwnLatitudeHemisphere{"Latitude", "N/S"};
inline constexpr IniKey kOwnLongitudeDegrees{"Longitude", "Degree"};
inline constexpr IniKey kOwnLongitudeMinutes{"Longitude", "Minute"};
inline constexpr IniKey kOwnLongitudeSeconds{"Longitude", "Second"};
inline constexpr IniKey kOwnLongitudeHemisphere{"Longitude", "E/W"};
inline constexpr std::array<IniKey, 8> kOwnStationKeys{kOwnLatitudeDegrees, kOwnLatitudeMinutes, kOwnLatitudeSeconds,
    kOwnLatitudeHemisphere, kOwnLongitudeDegrees, kOwnLongitudeMinutes, kOwnLongitudeSeconds, kOwnLongitudeHemisphere};

// The own station the window saved, for a program that has none given.
struct SavedOwnStation {
    std::optional<StationEntry> entry;  // nothing when none is saved or it is not usable
    Position position;
    std::string text;  // "51 30 0 N 0 7 0 W"
    // When entry is nothing: one sentence, naming the file, of why;
    // "no own station is saved in PATH: ..." when there is none at all.
    std::string why;
    bool noneSaved = false;  // why is that there is none, rather than a fault
};

// Reads the own station from the settings file at path, never writing to
// it. Each value must be what the window's box would hold and accept: a
// whole number of digits within the box's limits, or the hemisphere box's
// letter. A file that cannot be read in full, or one own station key that
// is missing or not such a value, leaves the whole station unused. Six
// blank number boxes (a window closed before anything was typed) are no
// station at all.
SavedOwnStation readSavedOwnStation(const std::string& path);

}  // namespace skybrant::settings
