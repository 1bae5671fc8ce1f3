#include "rotator_address.h"

#include "core/utf8.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>

namespace skybrant::rotctl {

namespace {

constexpr const char* expectedForm =
    "expected HOST or HOST:PORT (port 4533 when none is given), such as localhost, 127.0.0.1:4533 or [::1]:4533";
// Enough of a mistyped address to recognise it; a flood cannot fill the screen.
constexpr std::size_t kShownBytes = 60;
// The longest name the resolver takes; anything longer is refused before a
// lookup, and never fills a message.
constexpr std::size_t kLongestHost = 253;

// An IPv6 address, perhaps with a zone ("fe80::1%eth0") as the resolver
// takes it.
bool isIpv6(std::string_view host)
{
    // inet_pton would stop at a NUL and read only what comes before it.
    if (host.find('\0') != std::string_view::npos) {
        return false;
    }
    const auto percent = host.find('%');
    const std::string address(host.substr(0, percent));
    if (percent != std::string_view::npos) {
        const std::string_view zone = host.substr(percent + 1);
        const auto zoneChar = [](char c) {
            return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '.' || c == '-' || c == '_';
        };
        if (zone.empty() || !std::all_of(zone.begin(), zone.end(), zoneChar)) {
            return false;
        }
    }
    in6_addr parsed{};
    return inet_pton(AF_INET6, address.c_str(), &parsed) == 1;
}

// Splits "[IPv6]:PORT", "[IPv6]", a bare IPv6 address, "HOST:PORT" or
// "HOST"; port is left empty when none is given. Returns what is wrong with
// the host part, or nothing.
std::optional<std::string> splitAddress(std::string_view text, std::string_view& host, std::string_view& port)
{
    if (text.front() == '[') {
        const auto close = text.find(']');
        if (close == std::string_view::npos) {
            return "has no ']' after the IPv6 address";
        }
        host = text.substr(1, close - 1);
        const std::string_view after = text.substr(close + 1);
        if (!after.empty() && after.front() != ':') {
            return "needs \":PORT\" or nothing right after ']'";
        }
        if (!after.empty() && after.size() == 1) {
            return "has no port after the ':'";
        }
        port = after.empty() ? after : after.substr(1);
        if (host.empty()) {
            return "has no host between the brackets";
        }
        if (!isIpv6(host)) {
            return "has " + quote(host, kShownBytes) + " in brackets, which is not an IPv6 address";
        }
        return std::nullopt;
    }
    // "::1" is a host on the default port, as rotctl takes it.
    if (isIpv6(text)) {
        host = text;
        return std::nullopt;
    }
    const auto colon = text.rfind(':');
    host = text.substr(0, colon);
    if (colon != std::string_view::npos) {
        port = text.substr(colon + 1);
        if (port.empty()) {
            return "has no port after the ':'";
        }
    }
    if (host.find(':') != std::string_view::npos) {
        return "is not an IPv6 address, nor a host and port; an IPv6 address with a port goes in brackets";
    }
    if (host.empty()) {
        return "has no host before the ':'";
    }
    const auto hostChar = [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '.' || c == '-' || c == '_';
    };
    if (!std::all_of(host.begin(), host.end(), hostChar)) {
        return "has a host with characters a host name cannot hold";
    }
    return std::nullopt;
}

// Only plain decimal digits: from_chars alone would take a sign.
std::optional<unsigned long> portNumber(std::string_view text)
{
    unsigned long value = 0;
    const auto* end = text.data() + text.size();
    const bool digits =
        !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!digits) {
        return std::nullopt;
    }
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end || value < 1 || value > 65535) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::string rotatorAddressText(const RotatorAddress& address)
{
    const bool ipv6 = address.host.find(':') != std::string::npos;
    return (ipv6 ? "[" + address.host + "]" : address.host) + ":" + std::to_string(address.port);
}

std::string shownAddress(const RotatorAddress& address)
{
    const std::string text = rotatorAddressText(address);
    return text.size() <= kShownBytes ? text : quote(text, kShownBytes);
}

bool parseRotatorAddress(std::string_view text, RotatorAddress& address, std::string& error)
{
    if (text.empty()) {
        error = std::string("the rotator address is empty; ") + expectedForm;
        return false;
    }
    std::string_view host;
    std::string_view port;
    auto wrong = splitAddress(text, host, port);
    std::optional<unsigned long> number;
    if (!wrong && host.size() > kLongestHost) {
        wrong = "has a host of " + std::to_string(host.size()) + " bytes, longer than the " +
            std::to_string(kLongestHost) + " a host name can have";
    } else if (!wrong && port.empty()) {
        number = kDefaultPort;
    } else if (!wrong) {
        number = portNumber(port);
        if (!number) {
            wrong = "has port " + quote(port, kShownBytes) + ", which is not a whole number from 1 to 65535";
        }
    }
    if (wrong) {
        error = "the rotator address " + quote(text, kShownBytes) + " " + *wrong + "; " + expectedForm;
        return false;
    }
    address.host = std::string(host);
    address.port = static_cast<std::uint16_t>(*number);
    return true;
}

}  // namespace skybrant::rotctl
