#include "station.h"

namespace skybrant {

namespace {

std::string_view trimSpaces(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

}  // namespace

bool isSouth(std::string_view latHemisphere)
{
    return trimSpaces(latHemisphere) == "S";
}

bool isWest(std::string_view lonHemisphere)
{
    return trimSpaces(lonHemisphere) == "W";
}

}  // namespace skybrant
