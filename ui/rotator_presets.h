#pragma once

#include "settings/rotator_settings.h"

#include <QString>

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace skybrant::ui {

using RotatorPresets = std::array<settings::RotatorPreset, settings::kRotatorPresets>;

// Reads a preset's target, a heading or a station: its heading, or none and
// why in error.
using StationHeading = std::function<std::optional<double>(const QString& text, std::string& error)>;

// "1 Home", "2 FN20xr", "3 (empty)": a preset's button; a long name is
// shortened so that it cannot widen the panel.
QString presetCaption(std::size_t index, const settings::RotatorPreset& preset);

// Opens the editor of the presets over parent; once every target can be
// read (as a heading, or by stationHeading), accepted gets the new presets.
void editRotatorPresets(QWidget* parent, const RotatorPresets& presets, const StationHeading& stationHeading,
    const std::function<void(const RotatorPresets&)>& accepted);

}  // namespace skybrant::ui
