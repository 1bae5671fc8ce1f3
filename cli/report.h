#pragma once

#include "core/bearing_chart.h"
#include "core/report.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace skybrant::cli {

// What became of turning the rotator, as texts; a figure not learnt is
// empty.
struct RotatorReport {
    std::string address;  // as given, IPv6 hosts in brackets
    std::string heading;  // the beam heading turned to, as shown
    std::string minAzimuth;  // the range the azimuth was chosen in
    std::string maxAzimuth;
    std::string rangeFrom;  // "rotator", "options", "options and rotator" or "assumed"
    std::string startAzimuth;  // before the turn
    std::string commandedAzimuth;  // the azimuth sent
    std::string result;  // "started", "arrived", "stopped", "wait ran out" or "failed"
    bool waited = false;
    std::string reportedAzimuth;  // the last position read while waiting
    std::string reportedElevation;
    std::string error;  // the sentence for anything but started or arrived
};

// "distance,own_heading,other_heading" and, as the options ask, the long
// path (distance, heading), the ellipsoid (distance, both headings) and the
// locators (own 6 and 8 characters, other 6 and 8), then sunrise and sunset
// at the own station and at the other (kCsvColumns in batch.h names them).
// Ends in '\n'.
void appendCsv(const Report& report, const ReportOptions& options, std::string& out);

// ',' and a CSV field of any text, in double quotes when it holds a comma,
// a quote or a line end ("Juan de Nova, Europa").
void appendCsvField(std::string_view text, std::string& out);

// The bearing chart as CSV: a line naming the columns (prefix, entity,
// continent, heading, distance, long_heading, long_distance, and with the
// magnetic headings magnetic_heading, long_magnetic_heading), then one line
// per entity.
void appendChartCsv(const BearingChart& chart, std::string& out);

// The bearing chart as one JSON object on one line: the own station, date,
// unit, country file and order, and the entities in an array.
void appendChartJson(const BearingChart& chart, std::string& out);

// One JSON object on one line, ending in '\n'. lineNumber 0 leaves out the
// "line" member (a single pair); rotator, when given, goes inside it.
// Numbers are written with a point whatever the options' separator.
void appendJson(const Report& report, const ReportOptions& options, std::uint64_t lineNumber,
    const RotatorReport* rotator, std::string& out);

// "Rotator at HOST:PORT: turn started ..." once the turn was accepted, with
// where it ended when it was awaited; errors go to the error stream.
void appendRotatorText(const RotatorReport& rotator, std::string& out);

// {"line":N,"error":"..."} for a batch line that cannot be used.
void appendJsonError(std::uint64_t lineNumber, std::string_view error, std::string& out);

// A JSON string literal for any bytes: quotes, backslashes and control
// characters escaped, bytes that are not UTF-8 replaced by U+FFFD.
void appendJsonString(std::string_view text, std::string& out);

}  // namespace skybrant::cli
