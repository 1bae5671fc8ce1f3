#pragma once

#include "core/position.h"
#include "core/station.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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

// Values of some keys of the settings file at path, read without Qt and
// never writing to it.
struct SavedValues {
    enum class State {
        Absent,  // no file at all
        Read,  // every line read
        Unread,  // why says why; values hold nothing
    };
    State state = State::Absent;
    // One per key asked, the last line of each; nothing for a key not there.
    std::vector<std::optional<std::string>> values;
    std::string shownPath;  // the path as it is safe to show
    // For Unread: "the settings in PATH could not be read[ in full]: ...".
    std::string why;
};
SavedValues readSavedValues(const std::string& path, std::span<const IniKey> keys);

// What the window makes of the eight saved texts, in the order of
// kOwnStationKeys, when it loads them: each number box's checks run in
// turn, degrees before minutes and seconds, as they do on typing.
struct WindowLoad {
    // A refused number stored as 0, as the box's reset stores it; the
    // hemispheres as saved.
    StationEntry entry;
    // For a value the window refuses, the text its box is reset to; nothing
    // for a value it takes as it stands.
    std::array<std::optional<std::u16string_view>, kOwnStationKeys.size()> resetTo;
};
WindowLoad windowLoad(const std::array<std::u16string, kOwnStationKeys.size()>& texts);

// The eight texts the window saves for position, rounded to the nearest
// whole second: "51", "30", "0", "N", "0", "7", "0", "W".
std::array<std::string, kOwnStationKeys.size()> ownStationTexts(const Position& position);

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
