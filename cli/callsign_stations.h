#pragma once

#include "core/callsign_station.h"
#include "core/country_files.h"
#include "core/position.h"
#include "core/station_reader.h"

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace skybrant::cli {

// What the country file says about a station given by its callsign.
using StationCallsign = StationCall;

// The station reader's words, as the command line's code names them.
using skybrant::isFieldBlank;
using skybrant::kEntryFields;
using skybrant::kMaxPairFields;
using skybrant::readCommonPair;
using skybrant::ReadResult;
using skybrant::Side;
using skybrant::wrongFieldCount;

// The country file of one run, read when the first callsign needs it.
// Copies share the file, read once whichever copy needs it first, and each
// keeps its own pair: one copy per thread reads pairs side by side.
class Callsigns {
public:
    // path: the file --cty names, or empty for the operator's own file
    // before the packaged one.
    explicit Callsigns(std::string path = {}) : source_(std::move(path)) { }

    const std::string& path() const { return source_.path(); }

    // Reads the file unless it has been read; false with a sentence naming
    // it when it cannot be used.
    bool ready(std::string& error) { return source_.files(error) != nullptr; }
    // The file itself, read unless it has been; null with a sentence when
    // it cannot be used.
    const CountryFiles* files(std::string& error) { return source_.files(error); }

    // The file's version entry ("VER20240101"), empty before ready() or
    // when the file has none.
    const std::string& version() const { return source_.version(); }

    // The position of a callsign, kept as the own or other station of the
    // pair; false with a sentence when the file cannot be read or the
    // callsign has no position.
    bool lookUp(std::string_view call, bool own, Position& position, std::string& error);

    // Read every batch line's other station as a callsign unless it is
    // written as coordinates.
    void readOtherAsCallsign(bool yes) { otherAsCallsign_ = yes; }

    // Both stations of a pair, or one, through the station reader with
    // this file; the stations given by callsign are kept for the output.
    ReadResult readPair(std::span<const std::string_view> tokens, Position& own, Position& other, std::string& error);
    ReadResult readOne(std::span<const std::string_view> tokens, Side side, Position& station, std::string& error);

    // Whether a locator pair must be read through readPair: for the note,
    // or because the other station is to be a callsign.
    bool watchesLocators() const { return otherAsCallsign_ || (source_.tried() && !source_.noted()); }

    // The note of the run, once ("DL read as a locator; ..."); empty when
    // there is none to give now.
    std::string takeNote() { return std::exchange(note_, {}); }

    // Forgets the stations of the last pair.
    void startPair()
    {
        own_.reset();
        other_.reset();
    }
    // The stations of this pair that were given by callsign.
    const std::optional<StationCallsign>& own() const { return own_; }
    const std::optional<StationCallsign>& other() const { return other_; }

private:
    StationReader reader() { return StationReader({&source_, otherAsCallsign_}); }
    void keep(StationReader& reader, Station& own, Station* other);

    CountryFileSource source_;
    bool otherAsCallsign_ = false;
    std::string note_;
    std::optional<StationCallsign> own_;
    std::optional<StationCallsign> other_;
};

// The same with no country file: no callsigns are read.
ReadResult readPair(std::span<const std::string_view> tokens, Position& own, Position& other, std::string& error,
    Callsigns* callsigns = nullptr);
ReadResult readOneStation(std::span<const std::string_view> tokens, Side side, Position& station, std::string& error,
    Callsigns* callsigns = nullptr);

// "UTC+10", "UTC-3:30", "UTC+5:45", "UTC" for none.
std::string utcOffsetText(double hours);

// The lines a person reads for the stations given by callsign, each
// "Other station: VK2ABC, Australia (VK), OC, CQ zone 30, ITU zone 59,
// UTC+10, about: the country's reference point"; nothing for the others.
void appendCallsignText(const Callsigns& callsigns, std::string& out);

// "Country file: "PATH" (VER20240101)": which file names the entities,
// read if it has not been; the reason when it cannot be.
void appendCountryFileText(Callsigns& callsigns, std::string& out);

// The CSV column group for both stations, each: callsign, entity, primary
// prefix, continent, CQ zone, ITU zone, UTC offset in hours, and "about"
// when the position is the entity's reference point; empty columns for a
// station not given by callsign. Each column begins with its ','.
void appendCallsignCsv(const Callsigns& callsigns, std::string& out);
// Adds to the JSON object that ends json ("...}\n") the members
// own_callsign and other_callsign for the stations given by callsign, each
// {"callsign", "entity", "prefix", "continent", "cq_zone", "itu_zone",
// "utc_offset", "about"}, and with countryFile the member country_file
// {"path", "version"}.
void appendCallsignJson(const Callsigns& callsigns, bool countryFile, std::string& json);

// The run's one note ("DL read as a locator; ..."): a member "note" of the
// JSON object that ends out, or a line on the error stream beside text and
// CSV, which stay as they are.
void appendRunNote(const std::string& note, bool json, std::string& out);

inline constexpr std::string_view kCallsignCsvColumns =
    "own_callsign,own_entity,own_prefix,own_continent,own_cq_zone,own_itu_zone,own_utc_offset,own_about,"
    "other_callsign,other_entity,other_prefix,other_continent,other_cq_zone,other_itu_zone,other_utc_offset,"
    "other_about,own_wae,own_dxcc_entity,other_wae,other_dxcc_entity";

}  // namespace skybrant::cli
