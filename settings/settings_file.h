#pragma once

#include "settings_read.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace skybrant::settings {

// What stands at the settings file's place.
struct FileContents {
    using State = SettingsBytes::State;
    State state = State::Absent;
    QByteArray bytes;
    QString why;  // for CannotOpen: the system's words, "Permission denied"
    QString kind;  // for NotRegular: "a named pipe", "a device", ...
    // For NotRegular: a save may put a regular file in its place (a named
    // pipe or socket holds nothing); never over a device or a folder, nor
    // through a symlink to anything but a regular file.
    bool replaceable = false;
};

// Reads the file at path as readSettingsBytes does.
FileContents readSettingsFile(const QString& path);

// Replaces the file at path, atomically, with what contents makes of the
// file as it is now, while holding the folder's lock so that another
// program saving the same file at once neither mixes with this save nor
// loses its own keys to it. Never writes into anything but a regular file
// (a symlink is followed to its regular file), never replaces what is not
// replaceable (see FileContents) nor a file it could not read (too large,
// or not to be opened), and leaves the file as it was when the new one
// cannot be written whole (a full disk). Says why it failed, or nothing
// when it succeeded.
std::optional<QString> replaceSettingsFile(
    const QString& path, const std::function<QByteArray(const FileContents& now)>& contents);

}  // namespace skybrant::settings
