#pragma once

// The reading side of a --batch run: reads what has arrived, cuts it into
// chunks of whole lines and hands them on; lines too long to hold are
// copied or refused piece by piece as they arrive.

#include "batch.h"
#include "batch_io.h"
#include "batch_threads.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace skybrant::cli {

struct BatchReadOutcome {
    std::uint64_t lines = 0;
    // Lines too long to hold that were not comment or blank lines.
    std::uint64_t failedLongLines = 0;
    bool readFailed = false;
};

// Reads input to its end and hands every line to the chunks; before any
// read that would wait, every answer so far is written. Returns once all
// of them are.
BatchReadOutcome readBatchInput(
    BatchInput& input, BatchOutput& output, const BatchOptions& options, BatchChunks& chunks);

// "ERROR: <reason>", or its JSON object, for a line that cannot be used.
void appendLineFailure(
    std::string_view reason, const BatchOptions& options, std::uint64_t lineNumber, std::string& out);

// Why a pair line longer than kMaxBatchLine is refused.
std::string tooLongReason();

}  // namespace skybrant::cli
