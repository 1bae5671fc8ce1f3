// PstRotator's <PST> datagrams: any bytes are read or refused without
// harm; a command read asks for a heading within 0..360, and the position
// reports written for it are the loggers' plain text.

#include "follow/rotor_command.h"
#include "fuzz_text.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace skybrant::follow;
    const auto command = readPst(std::span(reinterpret_cast<const std::byte*>(data), size));
    if (!command) {
        return 0;
    }
    const double heading = commandHeading(*command);
    FUZZ_CHECK(heading >= 0 && heading < 360);
    FUZZ_CHECK(std::ranges::all_of(command->rotor, [](char c) { return c >= ' ' && c <= '~'; }));
    const std::string report = n1mmPosition(command->rotor, heading);
    FUZZ_CHECK(report.size() <= command->rotor.size() + 7);
    const std::string answer = pstPosition(heading);
    FUZZ_CHECK(answer.starts_with("AZ:") && answer.back() == '\r' && answer.size() <= 7);
    return 0;
}
