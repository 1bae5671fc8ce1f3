#pragma once

#include <string>
#include <string_view>

// The other station of a call and grid picked in another program, as the
// one station reader is given it.
namespace skybrant::follow {

// The text to read: the grid when there is one (it wins over the country
// file), else the call marked as a callsign ("@VK2ABC") for the country file.
// Empty when both are empty.
std::string stationText(std::string_view call, std::string_view grid);

// A call or grid as an event line shows it: printable ASCII only, at most 32
// bytes, so a datagram cannot write control characters to the terminal.
std::string shownField(std::string_view text);

}  // namespace skybrant::follow
