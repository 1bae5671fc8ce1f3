#include "follow_sockets.h"

#include "follow/wsjtx_message.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <charconv>

namespace skybrant::follow {

namespace {

std::string systemError(int error)
{
    return std::strerror(error);
}

sockaddr_in socketAddress(const Endpoint& endpoint)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(endpoint.port);
    address.sin_addr.s_addr = htonl(endpoint.address);
    return address;
}

constexpr std::uint32_t kLoopback = 0x7f000001;

constexpr std::array<std::string_view, 4> kNames{"wsjtx", "js8call", "n1mm", "pst"};

}  // namespace

std::optional<FollowSource> followSourceNamed(std::string_view name)
{
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        if (kNames.at(i) == name) {
            return static_cast<FollowSource>(i);
        }
    }
    return std::nullopt;
}

std::string_view followSourceName(FollowSource source)
{
    return kNames.at(static_cast<std::size_t>(source));
}

Endpoint defaultListen(FollowSource source)
{
    constexpr std::array<std::uint16_t, 4> kPorts{2237, 2242, 12040, 12000};
    return {0x7f000001, kPorts.at(static_cast<std::size_t>(source))};
}

bool parseHost(std::string_view text, std::uint32_t& address, std::string& error)
{
    if (text == "localhost") {
        address = kLoopback;
        return true;
    }
    in_addr parsed{};
    const std::string host(text);
    if (host.size() > 15 || inet_pton(AF_INET, host.c_str(), &parsed) != 1) {
        error = "\"" + std::string(text.substr(0, 40)) + "\" is not an IPv4 address such as 127.0.0.1";
        return false;
    }
    address = ntohl(parsed.s_addr);
    return true;
}

bool parseEndpoint(std::string_view text, Endpoint& endpoint, std::string& error)
{
    const auto colon = text.rfind(':');
    if (colon == std::string_view::npos) {
        error = "\"" + std::string(text.substr(0, 40)) + "\" has no port: give ADDRESS:PORT, such as 127.0.0.1:2237";
        return false;
    }
    Endpoint read;
    if (!parseHost(text.substr(0, colon), read.address, error)) {
        return false;
    }
    const std::string_view port = text.substr(colon + 1);
    unsigned value = 0;
    const auto [end, failure] = std::from_chars(port.data(), port.data() + port.size(), value);
    if (port.empty() || failure != std::errc() || end != port.data() + port.size() || value == 0 || value > 65535) {
        error = "the port \"" + std::string(port.substr(0, 40)) + "\" is not a number from 1 to 65535";
        return false;
    }
    read.port = static_cast<std::uint16_t>(value);
    endpoint = read;
    return true;
}

std::string addressText(std::uint32_t address)
{
    return std::to_string(address >> 24U) + "." + std::to_string((address >> 16U) & 0xffU) + "." +
        std::to_string((address >> 8U) & 0xffU) + "." + std::to_string(address & 0xffU);
}

std::string endpointText(const Endpoint& endpoint)
{
    return addressText(endpoint.address) + ":" + std::to_string(endpoint.port);
}

bool isLoopback(std::uint32_t address)
{
    return address >> 24U == 127;
}

bool isMulticast(std::uint32_t address)
{
    return address >> 28U == 0xe;
}

UdpSocket::~UdpSocket()
{
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool UdpSocket::open(std::string& error)
{
    fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd_ < 0) {
        error = "cannot open a UDP socket: " + systemError(errno);
        return false;
    }
    buffer_.resize(follow::kMaxDatagram + 1);
    return true;
}

bool UdpSocket::listen(const Endpoint& where, std::string& error)
{
    if (!open(error)) {
        return false;
    }
    const bool group = isMulticast(where.address);
    const int yes = 1;
    // Other listeners of a group share its port; a unicast port is this
    // program's alone, so no other program takes its datagrams unseen.
    if (group && ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes) != 0) {
        error = "cannot share the port " + std::to_string(where.port) + ": " + systemError(errno);
        return false;
    }
    const sockaddr_in address = socketAddress(where);
    if (::bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        error = "cannot listen at " + endpointText(where) + ": " + systemError(errno);
        return false;
    }
    if (group) {
        ip_mreq membership{};
        membership.imr_multiaddr.s_addr = htonl(where.address);
        membership.imr_interface.s_addr = htonl(kLoopback);
        if (::setsockopt(fd_, IPPROTO_IP, IP_ADD_MEMBERSHIP, &membership, sizeof membership) != 0) {
            error = "cannot join the group " + addressText(where.address) +
                " on the loopback interface: " + systemError(errno);
            return false;
        }
    }
    return true;
}

std::optional<Received> UdpSocket::receive()
{
    sockaddr_in from{};
    socklen_t length = sizeof from;
    // MSG_TRUNC: the datagram's whole size, so one too long is told apart.
    const ssize_t size =
        ::recvfrom(fd_, buffer_.data(), buffer_.size(), MSG_TRUNC, reinterpret_cast<sockaddr*>(&from), &length);
    if (size < 0) {
        return std::nullopt;
    }
    Received received;
    received.size = static_cast<std::size_t>(size);
    received.bytes = {reinterpret_cast<const std::byte*>(buffer_.data()), std::min(received.size, buffer_.size())};
    received.from = {ntohl(from.sin_addr.s_addr), ntohs(from.sin_port)};
    return received;
}

bool UdpSocket::send(std::span<const std::byte> bytes, const Endpoint& where) const
{
    const sockaddr_in address = socketAddress(where);
    return ::sendto(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&address),
               sizeof address) == static_cast<ssize_t>(bytes.size());
}

}  // namespace skybrant::follow
