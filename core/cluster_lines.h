#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace skybrant {

// A "DX de" line: a station heard, on a frequency, by a spotter.
struct ClusterSpot {
    std::string spotter;  // a skimmer's "DL1ABC-#" read as "DL1ABC"
    double frequencyKhz = 0;
    std::string dxCall;  // in capitals
    std::string comment;  // blanks at either end removed
    // Minutes after midnight UTC of the line's HHMMZ; none without one.
    std::optional<int> minuteOfDay;
    // The DX station's locator: the one after the time where the cluster
    // adds it (DXSpider's SET/DXGRID), else the last one written in the
    // comment; empty when neither holds one.
    std::string dxGrid;
};

// A "WWV de" or "WCY de" line: the solar flux and the A and K index.
struct ClusterWeather {
    bool wcy = false;  // a WCY line, else WWV
    std::string reporter;
    std::optional<int> solarFlux;
    std::optional<int> aIndex;
    std::optional<int> kIndex;
};

enum class ClusterLineKind { Spot, Weather, Console };

struct ClusterLine {
    ClusterLineKind kind = ClusterLineKind::Console;
    ClusterSpot spot;  // for a Spot
    ClusterWeather weather;  // for Weather
};

// What one line a DX cluster sends is (without its line end): a spot, a
// WWV/WCY report, or anything else for the console, such as a prompt, an
// announcement or a reply to a command. A line that starts as a spot or a
// report but cannot be read as one goes to the console as it is.
ClusterLine readClusterLine(std::string_view line);

// The amateur band a frequency in kHz lies in, "160m" to "6m" by the usual
// edges (1800-2000 kHz to 50-54 MHz); empty outside them.
std::string_view bandOf(double frequencyKhz);

}  // namespace skybrant
