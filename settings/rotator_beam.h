#pragma once

namespace skybrant::settings {

// The antenna's -3 dB beam width in degrees, as the map draws it around the
// needle and [Rotator] BeamWidth keeps it: a Yagi's usual width when none
// is saved; from a dish's half degree up to the whole circle of a vertical.
inline constexpr double kDefaultBeamWidth = 60;
inline constexpr double kNarrowestBeam = 0.5;
inline constexpr double kWidestBeam = 360;
inline constexpr int kBeamWidthDecimals = 1;

}  // namespace skybrant::settings
