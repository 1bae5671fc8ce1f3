#pragma once
// The fields of a QSO as ADIF writes them: the checks of its date and time,
// and a value quoted for a message.

#include "adif_reader.h"

#include <string>
#include <string_view>

namespace skybrant {

// A value from the log in a message, quoted and safe to show.
std::string adifShown(std::string_view text);

// Digits only, and at least one.
bool adifDigits(std::string_view text);

// Why the date or time of a QSO cannot be right; empty when it can.
std::string adifDateTimeFault(const AdifQso& qso);

}  // namespace skybrant
