#pragma once

#include <cstddef>

namespace skybrant::adif {

// The longest tag and the longest value of a field the program uses (the
// longest of those, a callsign with prefix and suffix, is about 20).
inline constexpr std::size_t kMaxTag = 64;
inline constexpr std::size_t kMaxValue = 64;

}  // namespace skybrant::adif
