#pragma once

#include "position.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace skybrant {

// A position written as people write it, with a hemisphere letter to each
// coordinate, before or after it, in either case and either order:
//   51.5N 0.12W          N51.5 W0.12           (decimal degrees)
//   51 30 N 0 7 W        51 30 0 N 0 7 0 W     (degrees, minutes, seconds)
//   51°30'N 0°07'W       51d30N 0d7W           51:30:00N 0:07:00W
//   N051 30.000 W000 07.000                    (ADIF's location form)
// Minutes and seconds are below 60, only the last number of a coordinate
// may have a fraction, and a coordinate is at most 90 (latitude) or 180
// (longitude) degrees. The marks ° º d, ' ′ ’, " ″ and : may follow degrees,
// minutes and seconds (':' after degrees or minutes only).
struct WrittenRead {
    // Tokens the position takes from the front; 0 when the tokens do not
    // start with one.
    std::size_t tokens = 0;
    Position position;
    // Why the front is not a position although every token of it is written
    // with numbers, marks and hemisphere letters; empty otherwise.
    std::string error;
};

// Reads from the front of tokens, at most as far as every token is
// written with numbers, marks and hemisphere letters only. own names the
// station in the error.
WrittenRead readWrittenPosition(std::span<const std::string_view> tokens, bool own);

}  // namespace skybrant
