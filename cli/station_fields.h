#pragma once

#include "core/station.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace skybrant::cli {

// Own station then other station, each LAD LAM LAS N|S LOD LOM LOS E|W.
inline constexpr std::size_t kFieldsPerPair = 16;

struct StationPair {
    StationEntry own;
    StationEntry other;
};

// Reads the sixteen fields into two stations, holding them to the window's
// entry limits. On failure returns false and sets error to a sentence that
// names the field and the allowed range.
bool parseStationFields(
    const std::array<std::string_view, kFieldsPerPair>& fields, StationPair& pair, std::string& error);

std::string wrongFieldCount(std::size_t found);

}  // namespace skybrant::cli
