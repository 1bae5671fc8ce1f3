#pragma once

#include "rotator_beam.h"

#include <QString>

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

namespace skybrant::settings {

class SettingsStore;

// A named place to turn to: a heading in degrees, or a station as the map
// window takes it (locator, LAT LON, the eight fields or a callsign).
struct RotatorPreset {
    QString name;
    QString target;
    bool operator==(const RotatorPreset&) const = default;
};

inline constexpr std::size_t kRotatorPresets = 8;

// The settings of the panel that the user changes as one.
enum class RotatorSetting {
    Offset,  // the Offset line
    Range,  // the MinAzimuth and MaxAzimuth lines
    BeamWidth,  // the BeamWidth line
};

// A saved line that could not be read, kept as it is in the file until the
// user changes its setting.
struct UnreadLine {
    RotatorSetting setting;
    QString key;
    QString value;
    bool operator==(const UnreadLine&) const = default;
};

// What the rotator panel keeps in the [Rotator] section of the settings.
struct RotatorOptions {
    QString address;  // "HOST:PORT" as typed; empty when none was saved
    // Degrees the rotator reads when the antenna points north, as
    // rotctl::mastOffset keeps it.
    double offset = 0;
    // Limits typed in place of the daemon's; none uses the daemon's.
    std::optional<double> minAzimuth;
    std::optional<double> maxAzimuth;
    std::array<RotatorPreset, kRotatorPresets> presets;
    // The antenna's -3 dB beam width, drawn on the map around the needle.
    double beamWidth = kDefaultBeamWidth;
    // Lines not understood at the load, which the store keeps as written
    // until the user changes their setting; said once.
    std::vector<UnreadLine> unread;
    bool operator==(const RotatorOptions&) const = default;
};

// The beam width a saved text stands for: blank is none saved (the
// default); nothing for text that is no number of degrees from
// kNarrowestBeam to kWidestBeam.
std::optional<double> beamWidthFromText(const QString& text);

// Values that cannot be read count as not saved, and are listed in unread.
RotatorOptions loadRotatorOptions(SettingsStore& store);
// Writes the [Rotator] section (the store keeping the unread lines while
// their settings are unchanged) and leaves every other section as it is;
// false, saying why in error, when the file cannot be written (error empty
// when the user was told so already).
bool saveRotatorOptions(SettingsStore& store, const RotatorOptions& options, QString& error);

// The user set this setting: its lines are no longer said to be unread.
void settingChanged(RotatorOptions& options, RotatorSetting setting);

// One sentence for each unread line ("The saved line "Offset=NaN" under
// [Rotator] is not understood; it stays as it is until you change the mast
// offset."); empty when every line was read.
QString unreadText(const RotatorOptions& options);

}  // namespace skybrant::settings
