#pragma once

#include "callsign_stations.h"
#include "report.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace skybrant::cli {

// Longest line the batch reader holds in memory. Longer comment and blank
// lines are still copied through; longer data lines are reported.
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
};

// Appends the output line for one input line (without its line end) to out,
// followed by '\n': the pair's CSV (see appendCsv) or JSON, the line itself
// for a blank or comment line, or "ERROR: <reason>". Returns false for a
// line that cannot be used. lineNumber counts from 1.
bool appendBatchLine(std::string_view line, const BatchOptions& options, std::uint64_t lineNumber, std::string& out);

struct BatchOutcome {
    std::uint64_t lines = 0;
    std::uint64_t failedLines = 0;
    // Reading or writing failed; ioError says how.
    bool ioFailed = false;
    std::string ioError;
};

// Reads pairs from in until its end and writes one output line per input
// line to out, in constant memory.
BatchOutcome runBatch(std::FILE* in, std::FILE* out, const BatchOptions& options = {});

}  // namespace skybrant::cli
