#pragma once

namespace skybrant::settings {
class SettingsStore;
}

namespace skybrant::ui {

class MapWindow;

// Asks for the own station (a locator, coordinates, the eight fields or a
// callsign, read as the other station's field reads them) when none is
// saved, and saves it where the calculator keeps it. Opened over map, not
// blocking it; a settings file that could not be read is never written.
void askOwnStation(MapWindow& map, settings::SettingsStore& store);

}  // namespace skybrant::ui
