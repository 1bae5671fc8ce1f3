#pragma once

// What holds of every rotor command a logger's datagram is read as: a
// heading within 0..360, a printable rotor name, and position reports in
// the loggers' plain text.

#include "follow/rotor_command.h"
#include "fuzz_text.h"

#include <algorithm>
#include <optional>
#include <string>

namespace skybrant::fuzz {

inline void checkRotorCommand(const std::optional<follow::RotorCommand>& command)
{
    using namespace skybrant::follow;
    if (!command) {
        return;
    }
    const double heading = commandHeading(*command);
    FUZZ_CHECK(heading >= 0 && heading < 360);
    FUZZ_CHECK(std::ranges::all_of(command->rotor, [](char c) { return c >= ' ' && c <= '~'; }));
    const std::string report = n1mmPosition(command->rotor, heading);
    FUZZ_CHECK(report.size() <= command->rotor.size() + 7);
    const std::string answer = pstPosition(heading);
    FUZZ_CHECK(answer.starts_with("AZ:") && answer.back() == '\r' && answer.size() <= 7);
}

}  // namespace skybrant::fuzz
