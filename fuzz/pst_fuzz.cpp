// PstRotator's <PST> datagrams: any bytes are read or refused without
// harm, and a command read holds what every rotor command holds.

#include "rotor_command_checks.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    skybrant::fuzz::checkRotorCommand(
        skybrant::follow::readPst(std::span(reinterpret_cast<const std::byte*>(data), size)));
    return 0;
}
