#pragma once

#include "core/position.h"

#include <chrono>
#include <optional>
#include <string>

namespace skybrant::cli {

enum class MapFormat { Png, Svg };

// What --map, --size and --time ask for.
struct MapRequest {
    std::string file;
    MapFormat format = MapFormat::Png;
    int size = 1024;
    // The time of the night side; none for a map without one.
    std::optional<std::chrono::sys_seconds> time;
};

inline constexpr int kMinimumMapSize = 64;
inline constexpr int kMaximumMapSize = 4096;

// Draws the azimuthal map centred on the own station, with the other one,
// and writes it; false with a sentence when it cannot be written. A note
// (the earth images missing) is set for the caller to show once.
bool writeMap(
    const MapRequest& request, const Position& own, const Position& other, std::string& note, std::string& error);

}  // namespace skybrant::cli
