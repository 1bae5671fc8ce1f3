#pragma once

#include "callsign_stations.h"
#include "report.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace skybrant::cli {

// Longest pair line, in bytes without its line end. Longer comment and
// blank lines are still copied through; longer pair lines are reported.
inline constexpr std::size_t kMaxBatchLine = std::size_t{64} * 1024;

struct BatchOptions {
    ReportOptions report;
    // One JSON object per pair or failed line, each with its line number;
    // blank and comment lines give no output.
    bool json = false;
    // The country file for stations given by callsign; none reads no
    // callsigns.
    Callsigns* callsigns = nullptr;
    // The callsign column group after the CSV columns.
    bool entity = false;
    // Threads that may work on input that arrives fast; 0 for as many as
    // the cores the program may run on (at most four).
    unsigned threads = 0;
    // CSV output begins with a line naming the columns.
    bool header = false;
};

// The CSV column groups, each shown as an option asks (csvColumnsShown).
enum class CsvColumnGroup { Figures, LongPath, Ellipsoid, Locators, Sun, Magnetic, Callsigns };
struct CsvColumns {
    CsvColumnGroup group;
    std::string_view option;  // the option that adds the group; empty for the first
    std::string_view names;  // comma-separated
};

// The columns of --batch output in the order they come: what the header
// line names and the help text lists.
inline constexpr std::array kCsvColumns{
    CsvColumns{CsvColumnGroup::Figures, "", "distance,own_heading,other_heading"},
    CsvColumns{CsvColumnGroup::LongPath, "--long-path", "long_distance,long_heading"},
    CsvColumns{
        CsvColumnGroup::Ellipsoid, "--ellipsoid", "ellipsoid_distance,ellipsoid_own_heading,ellipsoid_other_heading"},
    CsvColumns{CsvColumnGroup::Locators, "--locator", "own_locator,own_locator8,other_locator,other_locator8"},
    CsvColumns{CsvColumnGroup::Sun, "--sun", "own_sunrise,own_sunset,other_sunrise,other_sunset"},
    CsvColumns{CsvColumnGroup::Magnetic, "--magnetic",
        "own_magnetic_heading,other_magnetic_heading,own_declination,other_declination"},
    CsvColumns{CsvColumnGroup::Callsigns, "--entity", kCallsignCsvColumns},
};

bool csvColumnsShown(CsvColumnGroup group, const BatchOptions& options);

// The header line of CSV output for these options, ending in '\n'.
void appendCsvHeader(const BatchOptions& options, std::string& out);

// Appends the output line for one input line (without its line end) to out,
// followed by '\n': the pair's CSV (see appendCsv) or JSON, the line itself
// for a blank or comment line of any length, or "ERROR: <reason>" (also
// for a pair line longer than kMaxBatchLine). Returns false for a line that
// cannot be used. lineNumber counts from 1.
bool appendBatchLine(std::string_view line, const BatchOptions& options, std::uint64_t lineNumber, std::string& out);

struct BatchOutcome {
    std::uint64_t lines = 0;
    std::uint64_t failedLines = 0;
    // Reading or writing failed; ioError says how.
    bool ioFailed = false;
    std::string ioError;
    // How many threads worked on the input.
    unsigned threadsUsed = 0;
};

// Reads pairs from in until its end and writes one output line per input
// line to out (after the header line, when asked for with CSV), in constant memory and in input order. Reads and writes
// the descriptors under in and out directly: every complete line is answered as soon as nothing more has arrived, and
// the run ends at the first end of input. Input that keeps arriving in full blocks is shared out among the threads.
BatchOutcome runBatch(std::FILE* in, std::FILE* out, const BatchOptions& options = {});

// runBatch on standard input and output as skybrant-cli --batch: a failed
// read or write said on standard error; the status to exit with, 1 when a
// line failed or the streams did.
int runBatchMode(const BatchOptions& options);

}  // namespace skybrant::cli
