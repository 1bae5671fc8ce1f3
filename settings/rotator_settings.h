#pragma once

#include <QString>

#include <array>
#include <cstddef>
#include <optional>

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

// What the rotator panel keeps in the [Rotator] section of the settings.
struct RotatorOptions {
    QString address;  // "HOST:PORT" as typed; empty when none was saved
    double offset = 0;  // degrees the rotator reads when the antenna points north
    // Limits typed in place of the daemon's; none uses the daemon's.
    std::optional<double> minAzimuth;
    std::optional<double> maxAzimuth;
    std::array<RotatorPreset, kRotatorPresets> presets;
    bool operator==(const RotatorOptions&) const = default;
};

// Values that cannot be read count as not saved.
RotatorOptions loadRotatorOptions(SettingsStore& store);
// Writes the [Rotator] section and leaves every other as it is; false,
// saying why in error, when the file cannot be written.
bool saveRotatorOptions(SettingsStore& store, const RotatorOptions& options, QString& error);

}  // namespace skybrant::settings
