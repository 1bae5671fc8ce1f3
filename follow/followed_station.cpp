#include "followed_station.h"

#include <algorithm>

namespace skybrant::follow {

std::string stationText(std::string_view call, std::string_view grid)
{
    if (!grid.empty()) {
        return std::string(grid);
    }
    if (call.empty()) {
        return {};
    }
    return "@" + std::string(call);
}

std::string shownField(std::string_view text)
{
    constexpr std::size_t kShown = 32;
    std::string shown;
    for (const char c : text.substr(0, kShown)) {
        shown += c > ' ' && c <= '~' ? c : '?';
    }
    return shown;
}

}  // namespace skybrant::follow
