// JS8Call's JSON datagrams: any bytes are read or refused without harm (no
// exception, no unbounded depth); a call read is upper case and trimmed, a
// selected call carries no grid.

#include "follow/js8call_message.h"
#include "fuzz_text.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using skybrant::follow::Js8Message;
    const auto message = skybrant::follow::readJs8call(std::span(reinterpret_cast<const std::byte*>(data), size));
    if (!message) {
        return 0;
    }
    FUZZ_CHECK(std::ranges::none_of(message->call, [](char c) { return c >= 'a' && c <= 'z'; }));
    FUZZ_CHECK(message->call.empty() || (message->call.front() != ' ' && message->call.back() != ' '));
    if (message->kind == Js8Message::Kind::Status) {
        FUZZ_CHECK(message->grid.empty());
    }
    skybrant::follow::Js8Spots spots;
    spots.take(*message);
    FUZZ_CHECK(message->kind != Js8Message::Kind::Spot || message->call.empty() ||
        spots.gridOf(message->call) == message->grid);
    return 0;
}
