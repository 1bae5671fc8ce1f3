#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace skybrant::settings {

// A settings file larger than this is damaged, not read: it can only be a
// file that is not ours, and reading it whole could take all memory.
inline constexpr std::int64_t kMaxSettingsFileSize = std::int64_t{1} << 20;

// Where an application keeps its settings:
// $XDG_CONFIG_HOME/<application>/<application>.ini, or ~/.config in place
// of $XDG_CONFIG_HOME when that is unset or not an absolute path (a
// relative one would name a different file in every working folder).
std::string settingsFilePath(std::string_view application);

// What stands at the settings file's place.
struct SettingsBytes {
    enum class State {
        Absent,
        Read,  // bytes holds the file
        NotRegular,  // a named pipe, device, folder or socket: never opened
        TooLarge,
        CannotOpen,
    };
    State state = State::Absent;
    std::string bytes;
    std::string why;  // for CannotOpen: the system's words, "Permission denied"
    const char* kind = "";  // for NotRegular: "a named pipe", "a device", ...
    // For NotRegular: a save may put a regular file in its place (a named
    // pipe or socket holds nothing); never over a device or a folder, nor
    // through a symlink to anything but a regular file.
    bool replaceable = false;
};

// Reads the file at path (in the system's encoding), following symlinks to
// a regular file only and at most kMaxSettingsFileSize bytes of it; never
// waits on a named pipe, never writes.
SettingsBytes readSettingsBytes(const std::string& path);

// Whether a save may put a regular file where path's non-regular target,
// of the kind in mode, stands.
bool replaceableByFile(const std::string& path, unsigned mode);

}  // namespace skybrant::settings
