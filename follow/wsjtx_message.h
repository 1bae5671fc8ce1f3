#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

// The UDP messages WSJT-X and JTDX send to a server: big-endian QDataStream
// fields after a magic number and a schema number. Only what following the
// operator's pick needs is read; every other message is recognised and let be.
namespace skybrant::follow {

// A datagram longer than this is never a message of any program followed.
inline constexpr std::size_t kMaxDatagram = std::size_t{64} * 1024;

inline constexpr std::uint32_t kWsjtxMagic = 0xadbccbda;

enum class WsjtxType : std::uint32_t {
    Heartbeat = 0,
    Status = 1,
    Decode = 2,
    Close = 6,
};

struct WsjtxMessage {
    std::uint32_t schema = 0;
    std::uint32_t type = 0;  // a WsjtxType, or any other number the sender uses
    std::string id;  // the sending program's name ("WSJT-X", "JTDX")
    // Status only, and only when the message reaches the DX grid: the call
    // and grid the operator picked, either possibly empty.
    std::optional<std::string> dxCall;
    std::optional<std::string> dxGrid;
};

// Reads one datagram; nothing when it is not such a message (wrong magic,
// a schema other than 2 or 3, too long, or cut before its id). A Status cut
// short before its DX grid, and a message of any other type, are read as
// far as they go and carry no call.
std::optional<WsjtxMessage> readWsjtx(std::span<const std::byte> datagram);

}  // namespace skybrant::follow
