#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace skybrant::cli {

// Longest line the batch reader holds in memory. Longer comment and blank
// lines are still copied through; longer data lines are reported.
inline constexpr std::size_t kMaxBatchLine = std::size_t{64} * 1024;

// Appends the output line for one input line (without its line end) to out,
// followed by '\n': "distance,own_heading,other_heading", the line itself
// for a blank or comment line, or "ERROR: <reason>". Returns false for an
// ERROR line.
bool appendBatchLine(std::string_view line, std::string& out);

struct BatchOutcome {
    std::uint64_t lines = 0;
    std::uint64_t failedLines = 0;
    // Reading or writing failed; ioError says how.
    bool ioFailed = false;
    std::string ioError;
};

// Reads pairs from in until its end and writes one output line per input
// line to out, in constant memory.
BatchOutcome runBatch(std::FILE* in, std::FILE* out);

}  // namespace skybrant::cli
