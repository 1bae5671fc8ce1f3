#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace skybrant::rotctl {

// Where a Hamlib rotator daemon (rotctld) listens, exactly as the user gave it.
struct RotatorAddress {
    std::string host;  // name, IPv4 address or IPv6 address without brackets
    std::uint16_t port = 0;
};

// Hamlib's port for rotctld, where rotctl looks when none is given.
inline constexpr std::uint16_t kDefaultPort = 4533;

// Reads "HOST:PORT" or "[IPv6]:PORT"; "HOST", "[IPv6]" or a bare IPv6
// address such as "::1" on kDefaultPort. On failure returns false, leaves
// address as it was and sets error to a sentence saying what is wrong with
// the text. Looks nothing up: a host longer than any resolver takes (253
// bytes) is refused here.
bool parseRotatorAddress(std::string_view text, RotatorAddress& address, std::string& error);

// "HOST:PORT" again, an IPv6 host in brackets.
std::string rotatorAddressText(const RotatorAddress& address);

// The address as messages name it: rotatorAddressText, or for a long host
// name its start quoted, so that it cannot fill a line or widen a window.
std::string shownAddress(const RotatorAddress& address);

}  // namespace skybrant::rotctl
