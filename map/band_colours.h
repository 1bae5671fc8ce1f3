#pragma once

#include <QRgb>

#include <string_view>

namespace skybrant {

// The colour of an amateur band on the map, by its name as the log or the
// cluster writes it ("20m", "20M"); one grey for any other.
QRgb bandColour(std::string_view band);

// The grey of a band without a colour of its own.
inline constexpr QRgb kOtherBandColour = 0xffa8a8a8;

}  // namespace skybrant
