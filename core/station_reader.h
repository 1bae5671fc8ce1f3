#pragma once

#include "callsign_station.h"
#include "position.h"
#include "station_fields.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace skybrant {

// How a station was written.
enum class StationForm {
    Fields,  // LAD LAM LAS N|S LOD LOM LOS E|W
    Locator,
    Degrees,  // LAT LON in signed decimal degrees
    Written,  // with hemisphere letters: 51.5N 0.12W, 51°30'N 0°07'W
    Callsign,
};

// One station as read: where it is, how it was written, and what the
// country file says when it was a callsign.
struct Station {
    Position position;
    StationForm form = StationForm::Fields;
    std::optional<StationCall> call;
};

struct ReadingRules {
    // The country file for stations given by callsign; none reads no
    // callsigns.
    CountryFileSource* countryFile = nullptr;
    // The other station is a callsign unless it is written as coordinates
    // (a batch of callsigns that may look like locators).
    bool otherAsCallsign = false;
};

// The one reader of stations as people type them: in arguments, in batch
// lines and in the map window's field. Where a text could be two things:
// '@' before a text makes it a callsign (@GB22GE); a valid locator is a
// locator, and a note says so once when the country file also lists it; a
// text that is no locator and no number is a callsign when it is shaped
// like one or the country file lists it as a prefix or call (VK, TX9).
class StationReader {
public:
    explicit StationReader(ReadingRules rules = {}) : rules_(rules) { }

    // Both stations of a pair, own first, using every token.
    ReadResult readPair(std::span<const std::string_view> tokens, Station& own, Station& other, std::string& error);

    // One station using every token, as an option's value or a field gives it.
    ReadResult readOne(std::span<const std::string_view> tokens, Side side, Station& station, std::string& error);

    // The note for the run, given once by all readers sharing its country
    // file: "DL read as a locator; write @DL for the callsign". Empty when
    // there is none to give now.
    std::string takeNote() { return std::exchange(note_, {}); }

    // Whether every locator must come through this reader to be compared
    // with the country file (the file is read and the note not yet given),
    // rather than a faster path that reads locators alone.
    bool watchesLocators() const;

private:
    // Reads with read(rest, why), first in the plain forms, then in all.
    template <typename Read>
    bool inTwoPasses(std::span<const std::string_view> tokens, std::string& error, Read&& read);
    bool readStation(std::span<const std::string_view>& tokens, Side side, Station& station, std::string& error);
    bool readMarkedCall(
        std::span<const std::string_view>& tokens, bool own, Station& station, std::string& error) const;
    bool readCall(std::string_view text, bool own, Station& station, std::string& error) const;
    bool listed(std::string_view text) const;
    void noteLocator(std::string_view text);

    ReadingRules rules_;
    // Whether the forms beyond the plain ones are read: letters and marks,
    // '@', prefixes the country file lists.
    bool extended_ = false;
    std::string note_;
};

// A text split at blanks, as a shell splits an unquoted text.
std::vector<std::string_view> stationTokens(std::string_view text);

}  // namespace skybrant
