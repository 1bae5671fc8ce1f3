#pragma once

#include "follow/follow_rules.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace skybrant::settings {

class SettingsStore;

// What following another program keeps in the [Follow] section.
struct FollowSettings {
    // Mode=off|show|turn, Threshold=5 (degrees), Interval=10 (seconds),
    // LongPath=false. Off until chosen: a listener on a program's port
    // takes its datagrams from the logger that listened there before.
    follow::FollowOptions rules{.mode = follow::FollowMode::Off};
    QString source = QStringLiteral("wsjtx");  // Source=wsjtx|js8call|n1mm|pst
    QString listen;  // Listen=ADDRESS:PORT as typed; empty for the program's own port
    QStringList forwards;  // Forward=ADDRESS:PORT,ADDRESS:PORT
    QStringList allowed;  // Allow=ADDRESS,ADDRESS: senders besides loopback
    // Keys whose saved value could not be read, read as the default and
    // kept in the file as written until the user changes them.
    std::vector<QString> unread;
    bool operator==(const FollowSettings&) const = default;
};

// A threshold of at most a half turn; an interval of at most an hour.
inline constexpr double kMaxThresholdDegrees = 180;
inline constexpr int kMaxIntervalSeconds = 3600;

FollowSettings loadFollowSettings(SettingsStore& store);
// Writes the [Follow] section and leaves every other as it is; false,
// saying why in error, when the file cannot be written.
bool saveFollowSettings(SettingsStore& store, const FollowSettings& settings, QString& error);

// One sentence for each unread line; empty when every line was read.
QString unreadFollowText(SettingsStore& store, const FollowSettings& settings);

}  // namespace skybrant::settings
