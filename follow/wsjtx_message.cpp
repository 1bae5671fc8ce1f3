#include "wsjtx_message.h"

namespace skybrant::follow {

namespace {

// QDataStream's big-endian fields, read from the front of the datagram; each
// read fails once the bytes run out, and then every later one does too.
class Fields {
public:
    explicit Fields(std::span<const std::byte> bytes) : rest_(bytes) { }

    bool number(std::uint64_t& value, std::size_t size)
    {
        if (rest_.size() < size) {
            rest_ = {};
            return false;
        }
        value = 0;
        for (std::size_t i = 0; i < size; ++i) {
            value = value << 8U | std::to_integer<std::uint64_t>(rest_[i]);
        }
        rest_ = rest_.subspan(size);
        return true;
    }

    bool u32(std::uint32_t& value)
    {
        std::uint64_t wide = 0;
        const bool ok = number(wide, 4);
        value = static_cast<std::uint32_t>(wide);
        return ok;
    }

    bool skip(std::size_t size)
    {
        std::uint64_t ignored = 0;
        return size <= 8 ? number(ignored, size) : false;
    }

    // A QByteArray: a 32-bit length, 0xffffffff for a null one, then the bytes.
    bool utf8(std::string& text)
    {
        std::uint32_t length = 0;
        if (!u32(length)) {
            return false;
        }
        if (length == 0xffffffffU) {
            text.clear();
            return true;
        }
        if (rest_.size() < length) {
            rest_ = {};
            return false;
        }
        text.assign(reinterpret_cast<const char*>(rest_.data()), length);
        rest_ = rest_.subspan(length);
        return true;
    }

private:
    std::span<const std::byte> rest_;
};

// Status: dial frequency, mode, DX call, report, Tx mode, three flags, Rx
// and Tx DF, DE call, DE grid, DX grid. JTDX's fields differ only after
// the DX grid, so nothing after it is read.
void readStatus(Fields& fields, WsjtxMessage& message)
{
    std::string call;
    std::string text;
    const bool ok = fields.skip(8) && fields.utf8(text) && fields.utf8(call) && fields.utf8(text) &&
        fields.utf8(text) && fields.skip(3) && fields.skip(4) && fields.skip(4) && fields.utf8(text) &&
        fields.utf8(text) && fields.utf8(text);
    if (ok) {
        message.dxCall = std::move(call);
        message.dxGrid = std::move(text);
    }
}

}  // namespace

std::optional<WsjtxMessage> readWsjtx(std::span<const std::byte> datagram)
{
    if (datagram.size() > kMaxDatagram) {
        return std::nullopt;
    }
    Fields fields(datagram);
    std::uint32_t magic = 0;
    WsjtxMessage message;
    if (!fields.u32(magic) || magic != kWsjtxMagic || !fields.u32(message.schema) ||
        (message.schema != 2 && message.schema != 3) || !fields.u32(message.type) || !fields.utf8(message.id)) {
        return std::nullopt;
    }
    if (message.type == static_cast<std::uint32_t>(WsjtxType::Status)) {
        readStatus(fields, message);
    }
    return message;
}

}  // namespace skybrant::follow
