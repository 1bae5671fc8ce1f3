#pragma once
// What skybrant-cli says about itself, in one place: --help and the man page
// are both written from these texts and the option table, so they cannot
// drift apart.

#include "option_table.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace skybrant::cli {

inline constexpr std::string_view kProgramName = "skybrant-cli";
inline constexpr std::string_view kSummary = "beam headings and great-circle distance between two radio stations";

// The ways of starting the program, after its name.
std::span<const std::string_view> synopsis();

// What the program does, plain text, one paragraph.
extern const std::string_view kDescription;

// The ways a station may be given.
struct StationForm {
    std::string_view name;  // "a Maidenhead locator"
    std::string_view syntax;  // "LAT LON"
    std::string_view help;  // plain text
};
std::span<const StationForm> stationForms();
// What holds for every form, plain text.
extern const std::string_view kStationNotes;

// The CSV columns of a --batch line are kCsvColumns (batch.h).
// What else --batch does, plain text.
extern const std::string_view kBatchNotes;

struct ExitStatus {
    int code;
    std::string_view help;  // plain text
};
std::span<const ExitStatus> exitStatuses();

struct Example {
    std::string_view title;  // what it shows, plain text
    std::string_view command;  // after "$ "; may hold several lines
    std::string_view output;  // what it writes, or empty
};
std::span<const Example> examples();

// What the man page adds: how figures are shown, the rotator's JSON member,
// and where else to look; roff.
extern const std::string_view kManFigures;
extern const std::string_view kManRotatorOutput;
extern const std::string_view kManSeeAlso;

// "four" for 4, as the texts count things; digits above twelve.
std::string numberWord(std::size_t count);

// A text of the option table with the rotator's figures written in:
// {lowest-azimuth}, {highest-azimuth} and {arrived-degrees} stand for the
// constants of rotator/, so that no text holds a copy of them.
std::string withFigures(std::string_view text);

// --help as the program shows it.
std::string helpText();
// The whole man page, in roff.
std::string manPage(std::string_view version);

}  // namespace skybrant::cli
