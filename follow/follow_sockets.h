#pragma once
// The UDP side of following another program, over POSIX sockets: the
// addresses as the options give them, the listening socket (a multicast
// group joined on loopback), and the datagrams sent on.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace skybrant::follow {

enum class FollowSource { Wsjtx, Js8call, N1mm, PstRotator };

// "wsjtx", "js8call", "n1mm", "pst"; nothing for any other name.
std::optional<FollowSource> followSourceNamed(std::string_view name);
std::string_view followSourceName(FollowSource source);

// An IPv4 address and port; the address in host byte order.
struct Endpoint {
    std::uint32_t address = 0;
    std::uint16_t port = 0;
    bool operator==(const Endpoint&) const = default;
};

// "127.0.0.1:2237", "239.255.0.1:2237", "localhost:2237"; false with the
// end of a sentence saying what is wrong.
bool parseEndpoint(std::string_view text, Endpoint& endpoint, std::string& error);
// "192.0.2.7" or "localhost".
bool parseHost(std::string_view text, std::uint32_t& address, std::string& error);

std::string addressText(std::uint32_t address);
std::string endpointText(const Endpoint& endpoint);
bool isLoopback(std::uint32_t address);
bool isMulticast(std::uint32_t address);

// Where each program sends by default, on loopback: 2237, 2242, 12040, 12000.
Endpoint defaultListen(FollowSource source);

// A datagram as received: its bytes (at most kMaxDatagram kept), how long it
// really was, and who sent it.
struct Received {
    std::span<const std::byte> bytes;
    std::size_t size = 0;
    Endpoint from;
};

class UdpSocket {
public:
    UdpSocket() = default;
    ~UdpSocket();
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;

    // Listens at where: a multicast group is joined on the loopback
    // interface, the port shared with other listeners of the group. False
    // with a sentence naming the address.
    bool listen(const Endpoint& where, std::string& error);
    // A socket that only sends; false with a sentence.
    bool open(std::string& error);
    int fd() const { return fd_; }
    // The next datagram waiting, without blocking; nothing when none waits.
    std::optional<Received> receive();
    // Sends bytes to where; false when the system refuses (a datagram lost
    // on the way is not told).
    bool send(std::span<const std::byte> bytes, const Endpoint& where) const;

private:
    int fd_ = -1;
    std::string buffer_;
};

}  // namespace skybrant::follow
