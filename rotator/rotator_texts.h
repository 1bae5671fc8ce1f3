#pragma once

#include "rotator_range.h"

#include <string>
#include <string_view>

// The sentences of a turn's outcome that the command line and the map
// window's rotator panel both say, so that the same outcome reads the same.
namespace skybrant::rotctl {

// Why no azimuth pointing along a heading lies within the range: "the
// rotator cannot reach 289° (azimuth 299): its range is 0..90", or "the
// rotator at localhost:4533 cannot reach ..." when where names it. The
// heading is as shown (360 is north), the azimuth the heading plus the
// mast's offset.
std::string cannotReachText(std::string_view where, double shownHeading, double offset, AzimuthRange range);

}  // namespace skybrant::rotctl
