#pragma once

#include "batch.h"

#include <optional>
#include <span>
#include <string>

namespace skybrant::cli {

struct QuickBatch {
    BatchOptions options;  // all but the callsigns, which come from cty
    std::string cty;
};

// A --batch run whose arguments are --batch and only the options that shape
// its lines (--json, --long-path, --ellipsoid, --locator, --entity, --units,
// --cty), each once, every value usable and every argument printable UTF-8:
// the same run the full command line makes of them. Anything else gives
// nothing, and the full command line reads it and words any fault.
std::optional<QuickBatch> readQuickBatch(std::span<char* const> arguments);

}  // namespace skybrant::cli
