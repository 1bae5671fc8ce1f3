#pragma once
// A fake WSJT-X: its datagrams built field by field as its published
// message layout gives them (big-endian QDataStream), for the readers and
// the command line to be fed what the real program sends.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace skybrant::fake {

class WsjtxDatagram {
public:
    WsjtxDatagram(std::uint32_t type, std::string_view id = "WSJT-X", std::uint32_t schema = 3)
    {
        u32(0xadbccbda);
        u32(schema);
        u32(type);
        utf8(id);
    }
    WsjtxDatagram& number(std::uint64_t value, int bytes)
    {
        for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8) {
            bytes_.push_back(static_cast<std::byte>((value >> shift) & 0xffU));
        }
        return *this;
    }
    WsjtxDatagram& u32(std::uint32_t value) { return number(value, 4); }
    WsjtxDatagram& flag(bool value) { return number(value ? 1 : 0, 1); }
    WsjtxDatagram& utf8(std::string_view text)
    {
        u32(static_cast<std::uint32_t>(text.size()));
        for (const char c : text) {
            bytes_.push_back(static_cast<std::byte>(c));
        }
        return *this;
    }
    WsjtxDatagram& null() { return u32(0xffffffffU); }
    const std::vector<std::byte>& bytes() const { return bytes_; }
    std::string text() const { return {reinterpret_cast<const char*>(bytes_.data()), bytes_.size()}; }

private:
    std::vector<std::byte> bytes_;
};

inline WsjtxDatagram heartbeat()
{
    WsjtxDatagram d(0);
    d.u32(3).utf8("2.6.1").utf8("abc123");
    return d;
}

// Status up to and including the DX grid, the fields both programs send.
inline WsjtxDatagram statusUpToGrid(std::string_view call, std::string_view grid, std::string_view id = "WSJT-X")
{
    WsjtxDatagram d(1, id);
    d.number(14074000, 8).utf8("FT8").utf8(call).utf8("-10").utf8("FT8").flag(false).flag(false).flag(true);
    d.u32(1500).u32(1500).utf8("G4ABC").utf8("JO01mm").utf8(grid);
    return d;
}

// WSJT-X's whole Status.
inline WsjtxDatagram status(std::string_view call, std::string_view grid)
{
    WsjtxDatagram d = statusUpToGrid(call, grid);
    d.flag(false).utf8("").flag(false).number(0, 1).u32(0xffffffffU).u32(15).utf8("Default").utf8("CQ G4ABC JO01");
    return d;
}

// JTDX's Status: after the DX grid, Tx watchdog, sub-mode, fast mode, Tx first.
inline WsjtxDatagram jtdxStatus(std::string_view call, std::string_view grid)
{
    WsjtxDatagram d = statusUpToGrid(call, grid, "JTDX");
    d.flag(false).utf8("").flag(false).flag(true);
    return d;
}

inline WsjtxDatagram decode(std::string_view message)
{
    WsjtxDatagram d(2);
    d.flag(true).u32(45000000).number(static_cast<std::uint32_t>(-12), 4).number(0x3fb999999999999aULL, 8);
    d.u32(1234).utf8("~").utf8(message).flag(false).flag(false);
    return d;
}

inline WsjtxDatagram close()
{
    return WsjtxDatagram(6);
}

inline std::span<const std::byte> bytesOf(std::string_view text)
{
    return {reinterpret_cast<const std::byte*>(text.data()), text.size()};
}

}  // namespace skybrant::fake
