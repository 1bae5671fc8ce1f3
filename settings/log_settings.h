#pragma once

#include <QString>

#include <optional>

namespace skybrant::settings {

class SettingsStore;

// What the log panel keeps in the [Log] section of the settings.
struct LogOptions {
    QString file;  // the ADIF log shown on the map; empty for none
    // The band and the mode shown ("20m", "FT8"); empty for all.
    QString band;
    QString mode;
    // Saved Band and Mode lines that could not be read: kept in the file as
    // written until the user picks another.
    std::optional<QString> unreadBand;
    std::optional<QString> unreadMode;
    bool operator==(const LogOptions&) const = default;
};

LogOptions loadLogOptions(SettingsStore& store);
// Writes the [Log] section and leaves every other section as it is; false,
// saying why in error, when the file cannot be written.
bool saveLogOptions(SettingsStore& store, const LogOptions& options, QString& error);

// One sentence per unread line; empty when every line was read.
QString unreadText(const LogOptions& options);

}  // namespace skybrant::settings
