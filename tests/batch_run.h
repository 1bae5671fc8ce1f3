#pragma once

#include "cli/batch.h"

#include <cstdio>
#include <string>

namespace skybrant::cli {

// Runs the batch loop over input through temporary files, as a pipe or a
// file would feed it, and gives back everything it wrote.
inline std::string runBatchOver(
    const std::string& input, BatchOutcome* outcome = nullptr, const BatchOptions& options = {})
{
    std::FILE* in = std::tmpfile();
    std::FILE* out = std::tmpfile();
    std::fwrite(input.data(), 1, input.size(), in);
    std::rewind(in);
    const BatchOutcome result = runBatch(in, out, options);
    if (outcome != nullptr) {
        *outcome = result;
    }
    std::rewind(out);
    std::string written;
    char buf[4096];
    std::size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, out)) > 0) {
        written.append(buf, n);
    }
    std::fclose(in);
    std::fclose(out);
    return written;
}

}  // namespace skybrant::cli
