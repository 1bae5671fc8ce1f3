#pragma once

#include <QString>

#include <optional>

namespace skybrant::settings {

// How long a spot stays on the map unless the user says otherwise.
inline constexpr int kDefaultSpotMinutes = 30;
inline constexpr int kMaxSpotMinutes = 24 * 60;

class SettingsStore;

// What the DX cluster panel keeps in the [Cluster] section of the settings.
struct ClusterOptions {
    QString address;  // "HOST:PORT" as typed; empty when none was saved
    QString callsign;  // the login, as typed
    // Minutes a spot is shown, from 1 to a day.
    int spotMinutes = kDefaultSpotMinutes;
    // The saved SpotMinutes line when it could not be read; kept in the
    // file as written until the user sets the time.
    std::optional<QString> unreadSpotMinutes;
    // Whether the cluster was connected when last left: the window then
    // connects again as it opens.
    bool connect = false;
    // The saved Connect line when it could not be read, kept likewise.
    std::optional<QString> unreadConnect;
    bool operator==(const ClusterOptions&) const = default;
};

ClusterOptions loadClusterOptions(SettingsStore& store);
// Writes the [Cluster] section and leaves every other section as it is;
// false, saying why in error, when the file cannot be written (error empty
// when the user was told so already).
bool saveClusterOptions(SettingsStore& store, const ClusterOptions& options, QString& error);

// A sentence for each unread line; empty when every line was read.
QString unreadText(const ClusterOptions& options);

}  // namespace skybrant::settings
