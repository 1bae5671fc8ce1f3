#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace skybrant {

// One station's position as the operator typed it. The integers are taken as
// they are (no range checks here); the hemisphere texts are whatever the
// hemisphere boxes show.
struct StationEntry {
    std::int32_t latDegrees = 0;
    std::int32_t latMinutes = 0;
    std::int32_t latSeconds = 0;
    std::int32_t lonDegrees = 0;
    std::int32_t lonMinutes = 0;
    std::int32_t lonSeconds = 0;
    std::string latHemisphere = "N";
    std::string lonHemisphere = "E";
};

// True when the text, with leading and trailing spaces removed, is exactly
// "S" (latitude) or "W" (longitude). Case matters: "s" counts as north.
bool isSouth(std::string_view latHemisphere);
bool isWest(std::string_view lonHemisphere);

// How two positions relate on the sphere, decided exactly on the grid of
// position.h, so that the same place written two ways (180 E and 180 W, any
// longitude at a pole, 60 minutes for a degree) is recognised even where
// floating point would miss it.
enum class StationGeometry {
    Distinct,
    SamePlace,
    Antipodes,
};

}  // namespace skybrant
