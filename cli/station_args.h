#pragma once

#include "callsign_stations.h"
#include "core/position.h"

#include <optional>
#include <string>
#include <vector>

namespace skybrant::cli {

// The stations as the command line gives them: --from, --to and the station
// fields after the options, each as typed (an argument may hold several
// fields separated by blanks, so "JO01 FN20" reads as two).
struct StationArguments {
    std::optional<std::string> from;
    std::optional<std::string> to;
    std::vector<std::string> fields;
    // --call: the other station by its callsign, never read as a locator or
    // number; it takes the place of --to.
    std::optional<std::string> call = std::nullopt;
    // The country file for stations given by callsign; none reads no
    // callsigns.
    Callsigns* callsigns = nullptr;
    // The settings file whose saved own station stands in when only the
    // other station is given; none reads no file.
    std::optional<std::string> ownStationFile = std::nullopt;
};

// The settings file the window saves the own station in.
std::string savedOwnStationFile();

// The mast offset the map window's rotator panel saved in that file, 0 when
// none is; false, with a sentence naming the file in error, when the saved
// one cannot be read.
bool readSavedMastOffset(double& offset, std::string& error);

struct StationsRead {
    enum class Status {
        Ok,
        Usage,  // fields missing, left over or with no place to go
        BadField,  // a field that is not allowed
    };
    Status status = Status::Usage;
    Position own;  // both set when status is Ok
    Position other;
    // When status is not Ok: one sentence naming the option or station and
    // what is wrong.
    std::string error;
    // When the own station came from the settings file: "own station from
    // PATH: 51 30 0 N 0 7 0 W", to tell once.
    std::string note;
};

// The own and other station from whichever of --from, --to and the station
// fields were given: both options and no fields; one option, the other
// station from the fields; or both stations from the fields, own first.
// When only the other station is given (--to or --call alone, or station
// fields that make one station and no pair), the own station is the one
// saved in ownStationFile.
StationsRead readStationArguments(const StationArguments& arguments);

// The own station alone, for the bearing chart: from --from, the station
// fields or, with neither, the saved one; other is left at zero.
StationsRead readOwnStationArguments(const StationArguments& arguments);

}  // namespace skybrant::cli
