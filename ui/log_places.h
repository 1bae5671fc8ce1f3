#pragma once

#include "core/adif_file.h"
#include "core/adif_reader.h"
#include "core/country_files.h"
#include "core/position.h"
#include "map/map_points.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace skybrant::ui {

// One QSO of the log as the map keeps it: where the station worked was.
struct PlacedQso {
    Position position;
    std::string call;
    std::string band;  // lower case: "20m"
    std::string mode;  // upper case: "FT8"
    std::string date;  // YYYYMMDD
    std::string time;  // HHMM or HHMMSS
};

// What one reading of the log gave, from where the last one ended.
struct LogSlice {
    std::vector<PlacedQso> qsos;
    // Records that could not be used, the first of them in full.
    std::uint64_t problems = 0;
    std::optional<AdifProblem> firstProblem;
    AdifFileRead read;
};

// Reads the log at path from where an earlier reading ended, placing each
// QSO's station through the one station reader (the country file at
// countryFile for calls: files when read already, else read here). The
// open record at the end is left for the next reading: the log may be
// being written.
LogSlice readLogSlice(const std::string& path, AdifResume from, const std::string& countryFile,
    std::shared_ptr<const CountryFiles> files);

// The QSOs shown: one band and one mode, each empty for all.
struct LogFilter {
    std::string band;
    std::string mode;
};

// The log's QSOs grouped by the place of the station worked.
class WorkedPlaces {
public:
    void clear();
    void add(std::vector<PlacedQso> qsos);

    std::size_t qsoCount() const { return qsos_.size(); }
    std::size_t placeCount() const { return places_.size(); }
    // The bands (in the order of their wavelengths, longest first) and the
    // modes (in alphabetical order) the log holds.
    std::vector<std::string> bands() const;
    std::vector<std::string> modes() const;

    // One point per place with a QSO the filter lets through, coloured by
    // the band of the latest such QSO and labelled with its call; the
    // places of the latest QSOs first. places gets the place of each point.
    std::vector<MapPoint> points(const LogFilter& filter, std::vector<std::size_t>& places) const;
    // The calls worked at a place (a few, then how many more) and the
    // latest QSO there, as the filter lets them through.
    QString tip(std::size_t place, const LogFilter& filter) const;
    // The latest QSO at a place the filter lets through; null when none.
    const PlacedQso* latest(std::size_t place, const LogFilter& filter) const;

private:
    struct Place {
        Position position;
        std::vector<std::size_t> qsos;  // in the log's order
    };

    std::vector<PlacedQso> qsos_;
    std::vector<Place> places_;
    std::map<std::pair<std::int64_t, std::int64_t>, std::size_t> placeAt_;
};

}  // namespace skybrant::ui
