#pragma once
// skybrant-cli --adif: the figures of every QSO of an ADIF log.

#include "core/position.h"
#include "core/report.h"

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace skybrant::cli {

// The columns of a QSO before the figures of --batch's columns (kCsvColumns
// in batch.h): from is "log" where the QSO's MY_ fields give the station it
// was made from, "own" where the run's own station stands in.
inline constexpr std::string_view kAdifCsvColumns = "record,call,qso_date,time_on,band,mode,from";

struct AdifRunOptions {
    ReportOptions report;
    bool json = false;
    // Text for a person: each QSO's line, then the figures' lines.
    bool text = false;
    // The country file for the stations known only by their callsigns.
    std::string countryFile;
    // The station of the QSOs whose log does not say where they were made
    // from; none makes those QSOs fail.
    std::optional<Position> own = std::nullopt;
};

struct AdifRunOutcome {
    std::uint64_t qsos = 0;
    std::uint64_t failed = 0;
    std::string error;  // the log or the output could not be read or written
};

// Reads the log at path and writes one output for each of its records: the
// QSO's figures, or the fault of a record that cannot be used, in CSV (after
// a line naming the columns), text or JSON Lines.
AdifRunOutcome runAdif(const std::string& path, const AdifRunOptions& options, std::FILE* out);

// runAdif to standard output, faults said on standard error; the status to
// exit with, 1 when a record or the files failed.
int runAdifMode(const std::string& path, const AdifRunOptions& options);

}  // namespace skybrant::cli
