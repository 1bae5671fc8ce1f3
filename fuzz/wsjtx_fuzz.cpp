// WSJT-X and JTDX datagrams: any bytes are read or refused without harm; a
// Status read has both its call and grid or neither, and bytes added after
// a message change nothing read (newer senders add fields at the end).

#include "follow/wsjtx_message.h"
#include "fuzz_text.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span bytes(reinterpret_cast<const std::byte*>(data), size);
    const auto message = skybrant::follow::readWsjtx(bytes);
    if (!message) {
        return 0;
    }
    FUZZ_CHECK(message->dxCall.has_value() == message->dxGrid.has_value());
    FUZZ_CHECK(message->id.size() + message->dxCall.value_or("").size() + message->dxGrid.value_or("").size() <= size);
    if (message->dxCall) {
        std::vector<std::byte> longer(bytes.begin(), bytes.end());
        longer.resize(size + 16, std::byte{0x5a});
        const auto again = skybrant::follow::readWsjtx(longer);
        FUZZ_CHECK(again && again->dxCall == message->dxCall && again->dxGrid == message->dxGrid);
    }
    return 0;
}
