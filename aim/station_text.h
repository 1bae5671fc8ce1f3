#pragma once

#include "aiming_model.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace skybrant {
class CountryFiles;
}

namespace skybrant::aim {

// A station typed as skybrant-cli takes it (locator, degrees, eight fields,
// a callsign or prefix), or why it cannot be read.
struct StationText {
    std::optional<OtherStation> station;
    std::string error;
    // The word to look up when it may be a callsign and the country file
    // has not been read yet; empty otherwise.
    std::string call;
    // Whether that word is shaped like a callsign (or marked with '@'), so
    // that the country file's answer is the one to give.
    bool callShaped = false;
};

// Reads text through the one reader of stations; files is the country file
// when it has been read.
StationText readStationText(std::string_view text, const std::shared_ptr<const CountryFiles>& files, Source source);

// The short path heading from own to other in whole degrees as shown, or
// none and why.
std::optional<double> headingTo(const Position& own, const Position& other, std::string& why);

// A heading typed as degrees, 0 up to 360, with or without a degree sign.
std::optional<double> parseHeading(std::string_view text);

// "-180..180", "0 450" or "-180 to 180" as a range; none for anything else or
// a range that is empty or beyond the protocol's.
std::optional<rotctl::AzimuthRange> parseRange(std::string_view text);

}  // namespace skybrant::aim
