#pragma once

#include "core/position.h"
#include "own_station.h"

#include <QString>

#include <array>
#include <cstddef>
#include <span>
#include <vector>

namespace skybrant::settings {

class SettingsStore;

// The own station as the calculator's window keeps it in the store: the
// eight texts of its boxes under the keys of own_station.h.
struct OwnStationTexts {
    // In the order of kOwnStationKeys; "" for a key that is not saved.
    std::array<QString, kOwnStationKeys.size()> texts;
    // The keys (indices into kOwnStationKeys) whose saved text the window's
    // checks refuse on loading: the box is reset, and its reset text is what
    // the next save writes. A line that could not be read at all the store
    // keeps as written until its value changes.
    std::vector<std::size_t> refused;
};

OwnStationTexts loadOwnStation(SettingsStore& store);

// Saves the first texts.size() texts (the boxes the window has filled), in
// the order of kOwnStationKeys, and commits; false, saying why in error,
// when the file cannot be written (error empty when the user was told so
// already).
bool saveOwnStation(SettingsStore& store, std::span<const QString> texts, QString& error);

// The own station saved in the store, as the window would load it: what its
// checks refuse counts as 0, as there; on the globe.
Position savedOwnStationPosition(SettingsStore& store);

// Saves position as the window would save those values typed into its
// boxes, to the nearest whole second. Never into a settings file that could
// not be read: false then, with why in error.
bool saveOwnStation(SettingsStore& store, const Position& position, QString& error);

}  // namespace skybrant::settings
